// The document dump file: the calculation with the project's zones and the
// placement of every figure, carried to another project. Reading parses
// the whole file into a scratch document first, so a file that cannot be
// read whole changes nothing; only then is the project rebuilt, in one
// undoable step.

#include "CPlenimetraParam.h"

#include "CArchive.h"
#include "CArea1Object.h"
#include "CGSUtil.h"
#include "CLayerControl.h"
#include "GSWriteReport.h"
#include "host_attributes.h"
#include "host_elements.h"
#include "host_errors.h"
#include "host_notify.h"

#include <unordered_set>

namespace {

// The replaced figures go with the old document; another user's holding
// one stops the whole import.
constexpr const char16_t* kImportNotMine =
    u"インポートできません。置き換える求積図形に、確保されていないものがあります（フロア未確保）。";
constexpr const char16_t* kImportNotDone = u"インポートできませんでした。";
constexpr const char16_t* kImportNotUndone = u"インポートを元に戻せませんでした。プロジェクトが不整合になっている可能性があります";

// Ends the read at the file's first error: a short read zero-fills, and
// what follows it is not the stored data.
void RequireNoError(CFileArchiveNew& ar, bool read = true)
{
  if (!read || ar.GetError() != 0)
    throw CArchive::kPastEnd;
}

// The layer itself when the project has it, else the add-on's own layer
// (made when missing).
short ExistingLayerOrDefault(int layer)
{
  if (layer > 0 && layer <= SHRT_MAX) {
    API_Attribute attribute{};
    attribute.header.typeID = API_LayerID;
    attribute.header.index = short(layer);
    if (ACAPI_Attribute_Get(&attribute) == NoError)
      return short(layer);
  }
  return CGSUtil::GSSelectLayer(reinterpret_cast<const unsigned short*>(CEnvParam::kDefaultLayerName), 0);
}

}  // namespace

void CPlenimetraParam::Export(const GS::UniString& path)
{
  CFileArchiveNew ar;
  bool written = ar.Save(path, kDumpVersion) == 0;
  if (written)
    written = Serialize(ar);
  // A write that failed half way must not pass for a dump, nor take the
  // place of the one there was.
  if (!written)
    ar.Abandon();
  if (ar.Close() != 0)
    written = false;
  if (!written)
    GSWriteReport(path + GS::UniString(u"が保存できません"));
}

bool CPlenimetraParam::Serialize(CFileArchiveNew& ar)
{
  // The dump's load and save begin here: every code thrown below ends here.
  try {
    SerializeDumpSections(ar);
  } catch (unsigned int) {
    return false;
  }
  return ar.GetError() == 0;
}

void CPlenimetraParam::SerializeDumpSections(CFileArchiveNew& ar)
{
  const bool reading = ar.m_bOpen;
  if (reading) {
    m_DumpZones.clear();
    m_DumpFigures.clear();
    CFloorParamArray stored;
    stored.m_bCalcPerFloor = m_FloorParamArray.m_bCalcPerFloor;
    stored.Serialize(ar, this);
    RequireNoError(ar);
    // Figures of a story the project lacks keep their floor all the same.
    CFloorParamArray floors;
    FloorsOfStories(floors);
    floors.m_bCalcPerFloor = stored.m_bCalcPerFloor;
    MergeFloors(floors, stored, true);
    m_FloorParamArray = std::move(floors);
    // The tree comes before the objects it names: it is checked after them.
    RequireNoError(ar, m_AreaTree2.ReadNested(ar));
  } else {
    m_FloorParamArray.Serialize(ar, this);
    RequireNoError(ar);
    RequireNoError(ar, m_AreaTree2.Serialize(ar, this));
  }
  const FigureIndexScope index(*this, reading);
  m_Area2ObjectArray.Serialize(ar, this);
  m_Area4ObjectArray.Serialize(ar, this);
  RequireNoError(ar);
  if (reading)
    RequireNoError(ar, m_AreaTree2.NamesOnlyObjectsOf(this));
  int mark = m_CurItemType1;
  int numbering = m_CurItemType2;
  ar.Serialize(mark);
  ar.Serialize(numbering);
  m_CurItemType1 = CItemType1Table::ITEMTYPE(mark);
  m_CurItemType2 = CItemType2Table::ITEMTYPE(numbering);
  ar.Serialize(m_LastArea1Code);
  ar.Serialize(m_LastAreaCode);
  m_EnvParam.Serialize(ar);
  int cutType = m_AutoCutType.m_Type;
  ar.Serialize(cutType);
  m_AutoCutType.m_Type = CAutoCutType::AUTOCUTTYPE(cutType);
  ar.Serialize(m_AutoCutType.m_bWithHoles);
  ar.Serialize(m_AutoCutType.m_bCutAcross);
  ar.Serialize(m_AutoCutType.m_bFollowEdges);
  ar.Serialize(m_CurTreeCode);
  RequireNoError(ar);
  if (!reading) {
    WriteDumpZones(ar);
    WriteDumpFigures(ar);
    return;
  }
  for (CDumpZone zone; zone.Serialize(ar); zone = CDumpZone{}) {
    RequireNoError(ar);
    m_DumpZones.push_back(std::move(zone));
  }
  RequireNoError(ar);
  for (CDumpFigure figure; figure.Serialize(ar); figure = CDumpFigure{}) {
    RequireNoError(ar);
    m_DumpFigures.push_back(std::move(figure));
  }
  RequireNoError(ar);
  m_EnvParam.SetDefaultLayers();
}

void CPlenimetraParam::WriteDumpZones(CArchive& ar)
{
  // An import places the zones it finds here: a dump without a zone the
  // host failed to give would lose it without a word.
  GS::Array<API_Guid> zones;
  if (ACAPI_Element_GetElemList(API_ZoneID, &zones) != NoError)
    throw CArchive::kPastEnd;
  for (const API_Guid& guid : zones) {
    CDumpZone zone;
    GSErrCode hostError = NoError;
    // A zone whose shape the dump cannot hold is left out; a failed write is the archive's.
    if (CDumpZone::FromElement(guid, zone, &hostError))
      static_cast<void>(zone.Serialize(ar));
    if (hostError != NoError)
      throw CArchive::kPastEnd;
  }
  GS::Guid end;
  ar << end;
}

void CPlenimetraParam::WriteDumpFigures(CArchive& ar)
{
  for (const CFloorParam& floor : m_FloorParamArray)
    for (const auto& figure : floor.m_Area1ObjectArray)
      static_cast<void>(CDumpFigure::FromFigure(*figure).Serialize(ar));  // a failed write is the archive's
  ar << 0;
}

void CPlenimetraParam::Import(const GS::UniString& path)
{
  CFileArchiveNew ar;
  if (ar.Open(path) != 0) {
    GSWriteReport(path + GS::UniString(u"が読み込めません"));
    return;
  }
  if (ar.GetVersion() < kRecordVersionMin || ar.GetVersion() > kDumpVersion) {
    GSWriteReport(GS::UniString(u"ファイルのバージョンが異なります"));
    return;
  }
  CPlenimetraParam loaded;
  loaded.m_Area1Factory = m_Area1Factory;
  loaded.m_FloorParamArray.m_bCalcPerFloor = m_FloorParamArray.m_bCalcPerFloor;
  if (!loaded.Serialize(ar)) {
    GSWriteReport(path + GS::UniString(u"が読み込めません"));
    return;
  }
  ar.Close();
  GSErrCode err = NoError;
  bool restored = true;
  const GSErrCode command = ACAPI_CallUndoableCommand(GS::UniString(kImportUndoName), [&]() -> GSErrCode {
    err = ImportWhole(loaded, restored);
    return err;
  });
  if (err == NoError)
    err = command;  // the host did not run it
  NotifyReplaced();
  // A second failure while the first was taken back leaves the plan or the
  // stored record unlike the document: the first error comes with that
  // warning, in one message.
  GS::UniString why;
  if (err == APIERR_NOTMINE)
    why = kImportNotMine;
  else if (const GS::UniString cause = GSCauseText(err); !cause.IsEmpty())
    why = kImportNotDone + cause;
  if (!restored)
    GSWriteReport(why + u"\n" + kImportNotUndone);
  else if (!why.IsEmpty())
    GSWriteReport(why);
}

// All or nothing: the elements made so far are deleted again and the
// document taken back when one zone or figure cannot be placed, the record
// cannot be saved or the figures of the replaced document cannot all go,
// so the step leaves the project as it was.
GSErrCode CPlenimetraParam::ImportWhole(CPlenimetraParam& loaded, bool& restored)
{
  const CPlenimetraParam before = *this;
  std::vector<GS::Guid> replaced;
  for (const CFloorParam& floor : m_FloorParamArray)
    for (const auto& figure : floor.m_Area1ObjectArray)
      if (!figure->m_Element.header.guid.IsNull())
        replaced.push_back(ToGSGuid(figure->m_Element.header.guid));
  // The teamwork user is this session's, not the document's: a cleared id
  // would leave every later reservation test without a user.
  const short teamworkUser = m_TeamworkUserId;
  Clear();
  LoadDefault();
  TakeDump(loaded);
  m_TeamworkUserId = teamworkUser;
  std::vector<GS::Guid> made;
  GSErrCode err = PlaceDumpZones(loaded.m_DumpZones, made);
  if (err == NoError)
    err = PlaceDumpFigures(loaded.m_DumpFigures, made);
  if (err == NoError)
    err = SaveData();
  const bool saved = err == NoError;
  // The figures of the replaced document go with it, all or none: one left
  // on the plan would come back as a figure at the next loading. They go
  // after the save, which can be written again; a deletion cannot be taken
  // back within the step.
  if (err == NoError)
    err = CGSUtil::GSDeleteWhole(replaced);
  if (err == NoError)
    return NoError;
  // The first error is what the caller hears of; a failure of the taking
  // back only says that it was not whole.
  restored = CGSUtil::GSDeleteWhole(made) == NoError;
  CDocumentListener* listener = m_pListener;
  *this = before;
  m_pListener = listener;
  if (saved && SaveData() != NoError)
    restored = false;  // the stored record is the imported one
  return err;
}

// A zone on a hidden or locked layer is placed all the same.
GSErrCode CPlenimetraParam::PlaceDumpZones(const std::vector<CDumpZone>& zones, std::vector<GS::Guid>& made)
{
  for (CDumpZone zone : zones) {
    zone.m_Layer = ExistingLayerOrDefault(zone.m_Layer);
    CLayerControl layer(short(zone.m_Layer));
    API_Guid created{};
    GSErrCode err = zone.Create(&created);
    if (const GSErrCode restored = layer.Reset(); err == NoError)
      err = restored;
    if (!created.IsNull())
      made.push_back(ToGSGuid(created));
    if (err != NoError)
      return err;
  }
  return NoError;
}

// Every figure record the dump brought must end with its placed part: a
// record left without one would list an area the plan does not show.
GSErrCode CPlenimetraParam::PlaceDumpFigures(const std::vector<CDumpFigure>& figures, std::vector<GS::Guid>& made)
{
  std::unordered_set<CArea1Object*> placed;
  for (const CDumpFigure& values : figures) {
    std::shared_ptr<CArea1Object> figure;
    API_Guid element{};
    const GSErrCode err = PlaceDumpFigure(values, figure, element);
    if (!element.IsNull())
      made.push_back(ToGSGuid(element));
    if (err != NoError)
      return err;
    if (figure != nullptr)
      placed.insert(figure.get());
  }
  for (const CFloorParam& floor : m_FloorParamArray)
    for (const auto& figure : floor.m_Area1ObjectArray)
      if (placed.count(figure.get()) == 0)
        return APIERR_BADPARS;
  return NoError;
}

void CPlenimetraParam::TakeDump(CPlenimetraParam& loaded)
{
  m_FloorParamArray = std::move(loaded.m_FloorParamArray);
  m_AreaTree2 = std::move(loaded.m_AreaTree2);
  // The stored copy stands for the tree as it came in.
  m_AreaTreeStore = m_AreaTree2;
  m_Area2ObjectArray = std::move(loaded.m_Area2ObjectArray);
  m_Area4ObjectArray = std::move(loaded.m_Area4ObjectArray);
  m_CurItemType1 = loaded.m_CurItemType1;
  m_CurItemType2 = loaded.m_CurItemType2;
  m_LastArea1Code = loaded.m_LastArea1Code;
  m_LastAreaCode = loaded.m_LastAreaCode;
  m_EnvParam = std::move(loaded.m_EnvParam);
  m_AutoCutType = loaded.m_AutoCutType;
  m_CurTreeCode = loaded.m_CurTreeCode;
}

// A record without a figure of its code and kind on its story places
// nothing; a figure on a hidden or locked layer is placed all the same.
GSErrCode CPlenimetraParam::PlaceDumpFigure(const CDumpFigure& values, std::shared_ptr<CArea1Object>& placed,
                                            API_Guid& made)
{
  CFloorParam* floor = m_FloorParamArray.Search(values.m_Story);
  if (floor == nullptr)
    return NoError;
  std::shared_ptr<CArea1Object> figure = floor->m_Area1ObjectArray.Search(values.m_Code);
  if (figure == nullptr || figure->m_Type != values.m_Type)
    return NoError;
  values.PutInto(*figure);
  const API_Guid before = figure->m_Element.header.guid;
  const short layerIndex = ExistingLayerOrDefault(values.m_Layer);
  CLayerControl layer(layerIndex);
  GSErrCode err = figure->CreateFromDump(this, values.m_Story, layerIndex, values);
  if (const GSErrCode restored = layer.Reset(); err == NoError)
    err = restored;
  if (err == NoError)
    placed = figure;
  if (!(figure->m_Element.header.guid == before))
    made = figure->m_Element.header.guid;
  return err;
}
