#include "CWorksheetFloor.h"

#include "CAreaArc.h"
#include "CAreaArc3Point.h"
#include "CAreaArcCenter.h"
#include "CAreaCircle.h"
#include "CAreaEllipse.h"
#include "CAreaRectSlant.h"
#include "CAreaTrapezoid.h"
#include "CAreaTriangle.h"
#include "CDlgProgress.h"
#include "CGSUtil.h"
#include "CLayerControl.h"
#include "CMyUserData.h"
#include "CPlenimetraParam.h"
#include "GetLibPartInd.h"
#include "WorksheetDatabase.h"
#include "WorksheetReplacement.h"
#include "WorksheetTeamwork.h"
#include "host_assert.h"
#include "host_environment.h"
#include "host_elements.h"
#include "host_errors.h"
#include "host_libpart.h"
#include "host_notify.h"

#include <algorithm>

namespace {

constexpr int kOutputTag = 700;

// The eight figure parts, whose objects on a worksheet are all output.
constexpr const char16_t* kFigureParts[] = {
    CAreaTriangle::kPartName,  CAreaRectSlant::kPartName, CAreaArc3Point::kPartName, CAreaArcCenter::kPartName,
    CAreaTrapezoid::kPartName, CAreaArc::kPartName,       CAreaCircle::kPartName,    CAreaEllipse::kPartName,
};

WorksheetTeamwork TeamworkOf(const CPlenimetraParam& doc, short story)
{
  return WorksheetTeamwork(doc, [story](const CAreaObject& root, std::optional<API_DatabaseUnId>& found) {
    return CWorksheetFloor::GetDatabase(found, root.m_Name.GetName(story), story);
  });
}

// The objects of every figure part; nothing when a part is missing.
GSErrCode GatherFigureParts(GS::Array<API_Guid>& guids)
{
  int parts[std::size(kFigureParts)] = {};
  for (std::size_t i = 0; i < std::size(kFigureParts); ++i)
    if (GetLibPartInd(reinterpret_cast<const unsigned short*>(kFigureParts[i]), &parts[i]) != NoError)
      return NoError;
  for (int part : parts) {
    GS::Array<API_Elem_Head> heads;
    if (GSErrCode err = CGSUtil::GSGetElement(API_ObjectID, nullptr, part, CMyUserDataCore::TYPE(0), nullptr, nullptr,
                                              nullptr, &heads);
        err != NoError)
      return err;
    for (const API_Elem_Head& head : heads)
      guids.Push(head.guid);
  }
  return NoError;
}

}  // namespace

// ---- sheets ---------------------------------------------------------------------------

void CWorksheetFloor::GetSheetName(GS::UniString& name, short story)
{
  GS::UniString storyName = CGSUtil::GetFlrName(story);
  if (storyName.IsEmpty())
    storyName = story >= 0 ? GS::UniString::Printf("%d階", story + 1) : GS::UniString::Printf("B%d階", -story);
  name = name + u" " + storyName;
}

GSErrCode CWorksheetFloor::GetDatabase(std::optional<API_DatabaseUnId>& found, GS::UniString name, short story)
{
  GetSheetName(name, story);
  return FindWorksheet(name, found);
}

GSErrCode CWorksheetFloor::CreateDatabase(API_DatabaseUnId& created, GS::UniString name, short story)
{
  GetSheetName(name, story);
  return CreateWorksheet(name, created);
}

// ---- output ---------------------------------------------------------------------------

GSErrCode CWorksheetFloor::DoCreate(CDlgProgress& progress, CFloorParam* floor)
{
  GSErrCode first = NoError;
  for (const CAreaTree& pattern : m_pParam->m_AreaTree2.m_Child) {
    const int code = pattern.m_AreaCode;
    m_pParam->m_CurTreeCode = code;
    PLN_ASSERT(m_pParam->GetAreaObject(code) != nullptr);
    if (!floor->IsCalc(&m_pParam->m_FloorParamArray, code) || !floor->IsOutputWorksheet(code))
      continue;
    const GSErrCode err = CreatePatternSheet(floor, progress);
    if (first == NoError)
      first = err;
    if (err == APIERR_CANCEL)
      break;
  }
  return first;
}

GSErrCode CWorksheetFloor::CreatePatternSheet(CFloorParam* floor, CDlgProgress& progress)
{
  const CAreaObject* root = m_pParam->GetAreaObject(m_pParam->m_CurTreeCode);
  const GS::UniString name = root->m_Name.GetName(floor->m_FloorNo);
  std::optional<API_DatabaseUnId> sheet;
  if (GSErrCode err = GetDatabase(sheet, name, floor->m_FloorNo); err != NoError)
    return err;
  if (!sheet) {
    API_DatabaseUnId created;
    if (GSErrCode err = CreateDatabase(created, name, floor->m_FloorNo); err != NoError)
      return err;
    sheet = created;
  }
  if (GSErrCode err = ShowWorksheet(*sheet); err != NoError)
    return err;
  return ACAPI_CallUndoableCommand(GS::UniString(u"メンセラ[出力]"), [&]() {
    return ReplaceSheet(m_pReplacement, *m_pParam, *sheet, GatherOutput, [&]() { return Create(floor, progress); });
  });
}

GSErrCode CWorksheetFloor::Create(CFloorParam* floor, CDlgProgress& progress)
{
  CKelCoord2D point;
  progress.SetRange(int(m_pParam->m_Area2ObjectArray.size() + floor->m_Area1ObjectArray.size() +
                        2 * m_pParam->m_Area4ObjectArray.size()),
                    GS::UniString());
  if (GSErrCode err = DrawArea1Element(floor, progress, point); err != NoError)
    return err;
  if (GSErrCode err = DrawArea1List(floor, progress, point); err != NoError)
    return err;
  if (GSErrCode err = DrawArea2(floor, progress, point); err != NoError)
    return err;
  if (m_pParam->m_bOutputCheck)
    return DrawAutoArea(floor, progress, point);
  return NoError;
}

GSErrCode CWorksheetFloor::GatherOutput(GS::Array<API_Guid>& guids)
{
  CMyUserData tag(kOutputTag, CMyUserData::kVersion);
  if (GSErrCode err = CGSUtil::GSGetElement(API_ObjectID, &tag, CMyUserDataCore::TYPE(kOutputTag), 0, guids);
      err != NoError)
    return err;
  // Lines and texts go whoever drew them: hand-drawn ones on an output
  // sheet are replaced with the rest.
  if (GSErrCode err = GatherLinesAndTexts(guids); err != NoError)
    return err;
  return GatherFigureParts(guids);
}

GSErrCode CWorksheetFloor::DrawArea1Element(CFloorParam* floor, CDlgProgress& progress, CKelCoord2D& point)
{
  const short figureLayer = m_pParam->GetLayer();
  // Survey coordinates are often negative: the tables start beside the
  // drawing's own corner, not at the origin hundreds of kilometres away.
  bool copied = false;
  for (const auto& figure : floor->m_Area1ObjectArray) {
    if (figure->m_Element.header.layer == figureLayer) {
      // The copies go where the tables go: that layer is opened for them
      // as for the tables, and closed again.
      const short tableLayer = m_pParam->m_EnvParam.m_ListLayer;
      API_Element copy;
      if (GSErrCode err = CLayerControl::Write(tableLayer, [&]() {
            if (GSErrCode created = figure->CreateElement(m_pParam, &copy, tableLayer); created != NoError)
              return created;
            CMyUserData tag(kOutputTag, CMyUserData::kVersion);
            return TagPlacedElement(tag, copy.header);
          });
          err != NoError)
        return err;
      API_Box3D box;
      if (GSErrCode err = ACAPI_Goodies('CABO', &copy.header.guid, &box); err != NoError)
        return err;
      point.m_x = copied ? std::max(point.m_x, box.xMax) : box.xMax;
      point.m_y = copied ? std::max(point.m_y, box.yMax) : box.yMax;
      copied = true;
    }
    progress.StepIt();
    if (progress.CheckAbort())
      return APIERR_CANCEL;
  }
  return NoError;
}

// ---- teamwork -------------------------------------------------------------------------

GSErrCode CWorksheetFloor::TeamworkReceive(short story) { return TeamworkOf(*m_pParam, story).Reserve(); }

GSErrCode CWorksheetFloor::TeamworkRelease(short story) { return TeamworkOf(*m_pParam, story).Release(); }

bool CWorksheetFloor::GetTeamworkStatus(short story) { return TeamworkOf(*m_pParam, story).IsOwned(); }
