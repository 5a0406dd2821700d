#include "AreaScheduleTable.h"

#include "HostHandles.h"

#include "CAreaListAttr.h"
#include "CGSUtil.h"
#include "CLayerControl.h"
#include "CMyUserData.h"
#include "GetLibPartInd.h"
#include "host_elements.h"

namespace AreaScheduleTable {

namespace {
// The user-data type every element the output places carries.
constexpr int kOutputTagType = 700;
}  // namespace

ParamWriter& ParamWriter::Take(GSErrCode error)
{
  if (m_Error == NoError)
    m_Error = error;
  return *this;
}

GSErrCode ParamWriter::Change(const char* name, bool value, int i1, int i2)
{
  return CGSUtil::ChangeObjectParameter(name, value, i1, i2);
}

GSErrCode ParamWriter::Change(const char* name, int value, int i1, int i2)
{
  return CGSUtil::ChangeObjectParameter(name, value, i1, i2);
}

GSErrCode ParamWriter::Change(const char* name, double value, int i1, int i2)
{
  return CGSUtil::ChangeObjectParameter(name, value, i1, i2);
}

GSErrCode ParamWriter::Change(const char* name, const GS::UniString& value, int i1, int i2)
{
  return CGSUtil::ChangeObjectParameter(name, value, i1, i2);
}

GSErrCode FillParams(API_ParamOwnerType& owner, API_GetParamsType& params,
                     const std::function<void(ParamWriter&)>& write)
{
  pln::gsutil::ParamsEditing editing;
  ParamWriter writer(editing.Open(owner));
  write(writer);
  if (!writer.Failed())
    writer.Take(ACAPI_Goodies('GPAR', &params));
  return writer.Take(editing.Close()).Error();
}

void SetHeaderTexts(ParamWriter& writer, int firstIndex2)
{
  writer.Set("matrix_heder_text", GS::UniString(u"記号"), 1, firstIndex2)
      .Set("matrix_heder_text", GS::UniString(u"計算式"), 2, 1)
      .Set("matrix_heder_text", GS::UniString(u"面積"), 3, 1);
}

void SetColumns(ParamWriter& writer, const CAreaListAttr& style)
{
  writer.Set("matrix_colw1", style.m_ColWidth1)
      .Set("matrix_colw2", style.m_ColWidth2)
      .Set("matrix_colw3", style.m_ColWidth3)
      .Set("matrix_rowh", style.m_RowHeight);
}

void SetPens(ParamWriter& writer, const CAreaListAttr& style, short objectPen)
{
  const bool own = objectPen > 0;
  writer.Set("matrix_pen", own ? objectPen : style.m_FramePen)
      .Set("text_pen", own ? objectPen : style.m_TextPen)
      .Set("text_pen_minus", own ? objectPen : style.m_MinusPen);
}

void SetMarks(ParamWriter& writer, const CAreaListAttr& style, const GS::UniString& mark,
              const GS::UniString& number)
{
  writer.SetUnchecked("show_mark", style.m_bShowMark)
      .SetUnchecked("matrix_title_mark1", mark)
      .SetUnchecked("matrix_title_mark2", number)
      .SetUnchecked("matrix_mark1", mark)
      .SetUnchecked("matrix_mark2", number);
}

GSErrCode PlaceTable(short layer, CKelCoord2D position,
                     const std::function<GSErrCode(API_ParamOwnerType&, API_GetParamsType&)>& setParam)
{
  int libInd = 0;
  if (GSErrCode err = GetLibPartInd(reinterpret_cast<const unsigned short*>(kPartName), &libInd); err != NoError)
    return err;
  API_ParamOwnerType owner;
  owner.libInd = libInd;
  owner.typeID = API_ObjectID;
  API_GetParamsType params;
  const GSErrCode setErr = setParam(owner, params);
  pln::gsutil::ParamsGuard taken;
  taken.params = params.params;
  if (setErr != NoError)
    return setErr;

  API_Element element;
  element.header.typeID = API_ObjectID;
  GSErrCode err = ACAPI_Element_GetDefaults(&element, nullptr);
  element.header.layer = layer;
  element.object.libInd = libInd;
  element.object.pos = API_Coord{position.m_x, position.m_y};
  element.object.xRatio = params.a;
  element.object.yRatio = params.b;
  if (err != NoError)
    return err;
  // The layer written, and no other, is opened for the creation and the
  // tag and put back afterwards.
  return CLayerControl::Write(layer, [&]() {
    API_ElementMemo memo;
    memo.params = taken.params;
    if (const GSErrCode created = ACAPI_Element_Create(&element, &memo); created != NoError)
      return created;
    CMyUserData tag(kOutputTagType, CMyUserData::kVersion);
    return TagPlacedElement(tag, element.header);
  });
}

}  // namespace AreaScheduleTable
