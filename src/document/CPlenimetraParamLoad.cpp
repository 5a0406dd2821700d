// Loading the document from the project: settings, the project record with
// its migrations, the default pattern, the floors of the project's stories
// and the figure records of the placed figure parts.
//
// The record is read into a scratch document and taken only whole. A
// record that cannot be read (or breaks what the rest of the loader relies
// on) is first copied, byte for byte, into a file of the user's settings
// folder; only then does the document start afresh, so neither the stored
// calculation nor the user's new work is lost.
//
// A placed figure whose own record cannot be read is no reason to refuse
// the record: that figure alone is left out of its floor's list, so nothing
// writes to its element, and is named in one alert at opening. The
// elements' entries that may be its are held and saved as they were read,
// in their places (CArea2ObjectFloor::m_HeldList); new codes stay above
// them and the story's other figures keep their stored sort indices, so the
// figure takes its place again once its record can be read. Leaving a
// figure out writes nothing.
//
// A load that does not complete is another matter: a host read that fails
// while the record, the automatic areas or the figures are read, or the
// user's cancel of the figures' progress, leaves a calculation that lacks
// what was not read. It is shown as read, the user is told what is missing,
// and nothing is saved over the stored record, nor written to the placed
// figures, until a later load completes.

#include "CPlenimetraParam.h"

#include "CArchive.h"
#include "CArea1Object.h"
#include "CAreaObject.h"
#include "CDlgProgress.h"
#include "CGSUtil.h"
#include "CMyUserData.h"
#include "CTeamworkControl.h"
#include "DocRecord.h"
#include "GSWriteReport.h"
#include "GetAppDataPath.h"
#include "GetLibPartInd.h"
#include "HostHandles.h"
#include "CKelFileIO.h"
#include "KelFileFunctions.h"
#include "host_elements.h"
#include "host_environment.h"
#include "host_errors.h"
#include "host_memory.h"
#include "host_notify.h"
#include "host_userdata.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace {

constexpr int kMigratePatternsUntil = 1012;  // the preset id moved from a pattern's child to the pattern
constexpr int kOldAutoAreaLinksUntil = 1018;  // figures of automatic areas stored no operator

// The library parts of the eight figure kinds, in the order of the kinds
// that place them; the table part is looked up but never read as a figure.
struct FigurePart {
  const char16_t* name;
  CArea1Object::TYPE type;
};
constexpr std::array<FigurePart, 8> kFigureParts{{
    {u"TalvoSoftwareAreaTriangle", CArea1Object::TYPE_TRIANGLE},
    {u"TalvoSoftwareAreaRect", CArea1Object::TYPE_RECTSLANT},
    {u"TalvoSoftwareAreaArc3Point", CArea1Object::TYPE_ARC3POINT},
    {u"TalvoSoftwareAreaArcOrigo", CArea1Object::TYPE_ARCCENTER},
    {u"TalvoSoftwareAreaTrapezoid", CArea1Object::TYPE_TRAPEZOID},
    {u"TalvoSoftwareAreaArc", CArea1Object::TYPE_ARC},
    {u"TalvoSoftwareAreaCircle", CArea1Object::TYPE_CIRCLE},
    {u"TalvoSoftwareAreaEllipse", CArea1Object::TYPE_ELLIPSE},
}};
constexpr const char16_t* kSchedulePart = u"TalvoSoftwareAreaSchedule";

const unsigned short* AsUShort(const char16_t* text) { return reinterpret_cast<const unsigned short*>(text); }

void KeepFirstError(GSErrCode& kept, GSErrCode err)
{
  if (kept == NoError)
    kept = err;
}

// The stored bytes of a module-data record; false when it cannot be read.
bool ReadRecordBytes(const char* name, std::string& bytes)
{
  API_ModulData data;
  const GS::UniString recordName(name, CC_Default);
  if (ACAPI_ModulData_GetInfo(&data, recordName) != NoError || ACAPI_ModulData_Get(&data, recordName) != NoError)
    return false;
  const GSSize size = BMGetHandleSize(data.dataHdl);
  bytes.assign(size > 0 ? *data.dataHdl : nullptr, size > 0 ? std::size_t(size) : 0);
  BMKillHandle(&data.dataHdl);
  return true;
}

// "<project>_<yyyymmdd>_<hhmmss>.dat"; "PLENIMETRA" for an untitled project.
GS::UniString KeptRecordName()
{
  GS::UniString project(CPlenimetraParam::kRecordName, CC_Default);
  IO::Location location = CGSUtil::GetProjectPathName();
  IO::Name name;
  if (!location.IsEmpty() && location.GetLastLocalName(&name) == NoError)
    project = name.ToString();
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "_%Y%m%d_%H%M%S.dat", &local);
  return project + GS::UniString(stamp, CC_UTF8);
}

// The placed figure parts that carry the add-on's record, each read once
// with its record, and the highest figure code among them. An area table
// carries the same record type but is no figure part: only the eight parts
// count, for the highest code too. A part whose record is refused (another
// version, cut short, another kind than the part) is set apart and the
// list goes on; any other failure ends the list there, with its error.
struct PlacedFigure {
  API_Element element;
  std::shared_ptr<CArea1Object> figure;  // code 0 until its record is read
};

struct PlacedFigures {
  std::array<int, kFigureParts.size()> parts{};
  std::vector<PlacedFigure> placed;
  std::vector<CPlenimetraParam::UnreadFigure> unread;
  int maxCode = 0;
  GSErrCode stop = NoError;  // the error that ended the list
};

GSErrCode LookUpParts(PlacedFigures& placed)
{
  for (std::size_t i = 0; i < kFigureParts.size(); ++i) {
    if (GSErrCode err = GetLibPartInd(AsUShort(kFigureParts[i].name), &placed.parts[i]); err != NoError)
      return err;
  }
  int schedule = 0;
  return GetLibPartInd(AsUShort(kSchedulePart), &schedule);
}

// The mark and number a figure part shows ("○1"), read from its own
// parameters: what the user finds on the plan when its record is unreadable.
GS::UniString PartLabel(const API_Guid& guid)
{
  pln::gsutil::MemoGuard guard;
  if (ACAPI_Element_GetMemo(guid, &guard.memo, APIMemoMask_AddPars) != NoError || guard.memo.params == nullptr)
    return {};
  const GSSize count = BMGetHandleSize(reinterpret_cast<GSConstHandle>(guard.memo.params)) /
                       static_cast<GSSize>(sizeof(API_AddParType));
  GS::UniString mark;
  GS::UniString number;
  for (GSSize i = 0; i < count; ++i) {
    const API_AddParType& par = (*guard.memo.params)[i];
    const std::string name(par.name);
    if (name == "area_symbol_fig")
      mark = GS::UniString(par.uStrValue);
    else if (name == "area_symbol_str")
      number = GS::UniString(par.uStrValue);
  }
  return mark + number;
}

GSErrCode FindPlacedFigures(CPlenimetraParam* param, PlacedFigures& placed)
{
  if (GSErrCode err = LookUpParts(placed); err != NoError)
    return err;
  GS::Array<API_Guid> objects;
  if (GSErrCode err = ACAPI_Element_GetElemList(API_ObjectID, &objects); err != NoError)
    return err;
  for (const API_Guid& guid : objects) {
    if (!ACAPI_Element_Filter(guid, 0))
      continue;
    API_Element element{};
    element.header.guid = guid;
    if (GSErrCode err = ACAPI_Element_Get(&element); err != NoError)
      return err;
    const auto part = std::find(placed.parts.begin(), placed.parts.end(), element.object.libInd);
    if (part == placed.parts.end())
      continue;
    const auto kind = kFigureParts[std::size_t(part - placed.parts.begin())].type;
    auto figure =
        param->m_Area1Factory.Create(param, kind, 0, CItemType1Table::ITEMTYPE(0), CItemType2Table::ITEMTYPE(0), -1);
    if (figure == nullptr) {
      placed.stop = APIERR_BADPARS;  // no figure class for the kind
      break;
    }
    CArea1Object::LoadFault fault = CArea1Object::LoadFault::None;
    placed.stop = figure->Load(param, &element.header, &fault);
    if (placed.stop == APIERR_BADPARS && fault != CArea1Object::LoadFault::None) {
      placed.stop = NoError;
      placed.unread.push_back({element.header.guid, element.header.floorInd, fault, PartLabel(element.header.guid)});
      continue;
    }
    if (placed.stop != NoError)
      break;
    if (figure->m_Code == 0)
      continue;  // no record: not the add-on's
    placed.maxCode = std::max(placed.maxCode, figure->m_Code);
    placed.placed.push_back(PlacedFigure{element, figure});
  }
  return NoError;
}

const char16_t* UnreadReason(CArea1Object::LoadFault fault)
{
  switch (fault) {
    case CArea1Object::LoadFault::Version:
      return u"データのバージョンが異なります";
    case CArea1Object::LoadFault::Kind:
      return u"オブジェクトとデータの種類が異なります";
    default:
      return u"データが壊れています";
  }
}

// The figure codes of every floor, for lookups during the rebuild.
using FloorCodes = std::unordered_map<short, std::unordered_map<int, CArea1Object*>>;

FloorCodes IndexFloorCodes(const CFloorParamArray& floors)
{
  FloorCodes codes;
  for (const CFloorParam& floor : floors) {
    auto& byCode = codes[floor.m_FloorNo];
    for (const auto& figure : floor.m_Area1ObjectArray)
      byCode.emplace(figure->m_Code, figure.get());
  }
  return codes;
}

}  // namespace

// ---- LoadData2 ----------------------------------------------------------------

int CPlenimetraParam::LoadData2(bool skipRecord)
{
  m_bSaveBlocked = false;
  Clear();
  LoadDefault();
  m_AreaListItemArray.Initialize();
  const int result = LoadCleared(skipRecord, true);
  // Told at each opening, not at each reload after undo or redo.
  ReportUnreadFigures();
  NotifyReplaced();
  return result;
}

// The settings in force, the paths and the columns come with the record;
// the current mark and numbering and the teamwork user are not part of it.
int CPlenimetraParam::ReloadData()
{
  const CItemType1Table::ITEMTYPE mark = m_CurItemType1;
  const CItemType2Table::ITEMTYPE numbering = m_CurItemType2;
  const short user = m_TeamworkUserId;
  Clear();
  m_CurItemType1 = mark;
  m_CurItemType2 = numbering;
  m_TeamworkUserId = user;
  const int result = LoadCleared(false, false);
  // Only an undo or redo puts back a record to read again; one that names
  // figures no longer placed does not match the figures that are.
  if (m_DroppedEntries > 0) {
    NoteLoadGap(LoadGap::Entries, NoError);
    ReportIncompleteLoad();
  }
  NotifyReplaced();
  return result;
}

bool CPlenimetraParam::IsRecordReplaced(GSErrCode* unread) const
{
  return IsStoredRecordOtherThan(m_bSaveFailed ? std::string() : m_RecordStamp, unread);
}

bool CPlenimetraParam::IsStoredRecordOtherThan(const std::string& stamp, GSErrCode* unread) const
{
  if (m_bSaveBlocked)
    return false;
  CArchiveOld ar(kRecordName);
  const int err = ar.Open();
  if (err == APIERR_NOMODULEDATA)
    return !stamp.empty();
  // A record that cannot be read now is no sign of another state.
  if (err != NoError && unread != nullptr)
    *unread = err;
  return err == NoError && ar.Stamp() != stamp;
}

void CPlenimetraParam::NotifyReplaced()
{
  if (m_pListener != nullptr)
    m_pListener->DocumentReplaced();
}

// Inside an undoable command when loading, so that the user-data writes of
// new figure codes are one step; a reload after undo or redo runs where no
// step can be opened.
int CPlenimetraParam::LoadCleared(bool skipRecord, bool asUndoableCommand)
{
  m_RecordStamp.clear();
  m_bSaveFailed = false;
  m_LoadGap = LoadGap::None;
  m_LoadGapError = NoError;
  m_bLoadGapTold = false;
  m_DroppedEntries = 0;
  int result = 0;
  const auto load = [&]() -> GSErrCode {
    if (!asUndoableCommand) {
      result = RunLoader(skipRecord);
      return NoError;
    }
    bool ran = false;
    const GSErrCode err = ACAPI_CallUndoableCommand(GS::UniString(u"求積読込"), [&]() -> GSErrCode {
      ran = true;
      result = RunLoader(skipRecord);
      return NoError;
    });
    // A step the host refuses must not leave the document cleared (a later
    // save would replace the stored record with it): load without a step.
    if (err != NoError && !ran)
      result = RunLoader(skipRecord);
    return NoError;
  };
  bool onPlan = false;
  // A reload after Undo may come while a worksheet is in front.
  const GSErrCode planErr = CGSUtil::OnFloorPlan([&] {
    onPlan = true;
    return load();
  });
  // Without the floor plan neither figures nor automatic areas can be
  // listed: the stored record stays as it is, unread and not saved over.
  if (!onPlan) {
    NoteLoadGap(LoadGap::Record, planErr);
    result = RunLoader(true);
  } else {
    GSWriteFailure(GS::UniString(u"求積データは読み込みましたが、表示していた図面に戻れませんでした。"), planErr);
  }
  CFloorParamArray floors;
  const bool stories = FloorsOfStories(floors);
  if (stories) {
    floors.m_bCalcPerFloor = m_FloorParamArray.m_bCalcPerFloor;
    MergeFloors(floors, m_FloorParamArray, false);
    m_FloorParamArray = std::move(floors);
  }
  ReportIncompleteLoad();
  if (result == -1)
    return -1;
  return stories ? 1 : 0;
}

bool CPlenimetraParam::FloorsOfStories(CFloorParamArray& floors)
{
  API_StoryInfo info;
  if (ACAPI_Environment('GSTO', &info) != NoError || info.data == nullptr)
    return false;
  for (short story = info.firstStory; story <= info.lastStory; ++story) {
    const API_StoryType& type = (*info.data)[story - info.firstStory];
    floors.push_back(CFloorParam(story, GS::UniString(type.uName), true, {}, {}, {}, {}, {}));
  }
  BMKillHandle(reinterpret_cast<GSHandle*>(&info.data));
  return true;
}

void CPlenimetraParam::MergeFloors(CFloorParamArray& floors, CFloorParamArray& stored, bool keepOthers)
{
  for (CFloorParam& floor : floors) {
    CFloorParam* old = stored.Search(floor.m_FloorNo);
    if (old == nullptr)
      continue;
    floor.m_bCalc = old->m_bCalc;
    floor.m_CalcExcludeCodes = std::move(old->m_CalcExcludeCodes);
    floor.m_OutputExcludeCodes = std::move(old->m_OutputExcludeCodes);
    floor.m_Area1ObjectArray = std::move(old->m_Area1ObjectArray);
    floor.m_AutoAreaParamArray = std::move(old->m_AutoAreaParamArray);
    floor.m_HotLinkParamArray = std::move(old->m_HotLinkParamArray);
    old->m_FloorNo = CGSUtil::kDefaultStory;  // taken
  }
  if (!keepOthers)
    return;
  for (CFloorParam& old : stored) {
    if (old.m_FloorNo != CGSUtil::kDefaultStory && floors.Search(old.m_FloorNo) == nullptr)
      floors.push_back(std::move(old));
  }
}

// ---- the loader ---------------------------------------------------------------

int CPlenimetraParam::RunLoader(bool skipRecord)
{
  int result = 0;
  if (!skipRecord) {
    CArchiveOld ar(kRecordName);
    const int err = ar.Open();
    if (err != NoError && err != APIERR_NOMODULEDATA) {
      // The host could not give the record now: it stays as stored, and
      // no save replaces it unseen.
      result = err;
      NoteLoadGap(LoadGap::Record, err);
    } else if (err == NoError && ar.GetVersion() > kRecordVersion) {
      // Seen as well: only another record is a reason to read again.
      m_RecordStamp = ar.Stamp();
      return -1;
    } else if (err == NoError)
      result = ReadRecord(ar, ar.GetVersion());
  }
  if (m_AreaTree2.m_Child.empty())
    MakeDefaultPattern();
  RenumberPatterns();
  if (GetTree() == nullptr && !m_AreaTree2.m_Child.empty())
    m_CurTreeCode = m_AreaTree2.m_Child.front().m_AreaCode;
  DumpTrees();
  CheckPatternPresets();
  // Labels made from a calculation that lacks figures are not written.
  const int refreshed = m_LoadGap == LoadGap::None ? RefreshPlacedFigures() : NoError;
  // Only marks: a record that cannot be checked, or a cancelled check,
  // leaves the marks set so far.
  static_cast<void>(CheckAutoArea());
  return result != 0 ? result : refreshed;
}

int CPlenimetraParam::ReadRecord(CArchiveOld& ar, int version)
{
  // Seen, even when it cannot be taken: only another record is news.
  m_RecordStamp = ar.Stamp();
  if (version < kRecordVersionMin) {
    KeepUnreadableRecord();
    Clear();
    return 0;
  }
  m_DroppedEntries = 0;
  CPlenimetraParam loaded(*this);
  const bool read = loaded.Serialize(ar) && loaded.HoldsLoadInvariants() &&
                    (version > kMigratePatternsUntil || loaded.MigrateOldPatterns());
  if (!read) {
    KeepUnreadableRecord();
    Clear();
    return 0;
  }
  if (version <= kOldAutoAreaLinksUntil)
    loaded.RepairOldAutoAreaLinks();
  TakeLoaded(loaded);
  return m_LoadError;
}

// A record whose outline cannot be read keeps its figures' links as read;
// the check at the end of the loading marks it.
void CPlenimetraParam::RepairOldAutoAreaLinks()
{
  for (CFloorParam& floor : m_FloorParamArray) {
    for (CAutoAreaParam& record : floor.m_AutoAreaParamArray)
      static_cast<void>(record.CheckOldAutoArea(this));
  }
}

// What the loader, the palette and the tree code rely on: both trees with
// as many patterns, each pattern with exactly one child, a current pattern
// that exists.
bool CPlenimetraParam::HoldsLoadInvariants() const
{
  if (m_AreaTree2.m_Child.size() != m_AreaTreeStore.m_Child.size())
    return false;
  for (const CAreaTree& pattern : m_AreaTree2.m_Child) {
    if (pattern.m_Child.size() != 1)
      return false;
  }
  return m_CurTreeCode == 0 || m_AreaTree2.Search(m_CurTreeCode) != nullptr;
}

// Old records kept the preset id on the pattern's only child and named
// that child as the current pattern.
bool CPlenimetraParam::MigrateOldPatterns()
{
  for (CAreaTree& pattern : m_AreaTree2.m_Child) {
    CAreaTree& child = pattern.m_Child.front();
    pattern.m_RoundTypeId = child.m_RoundTypeId;
    child.m_RoundTypeId = 0;
  }
  if (CAreaTree* current = GetTree()) {
    const CAreaTree* parent = m_AreaTree2.GetParent(current);
    m_CurTreeCode = parent != nullptr ? parent->m_AreaCode : 0;
  }
  return true;
}

// The loaded record becomes the document; the user-data writes of new
// figure codes and the sort indices happen only now.
void CPlenimetraParam::TakeLoaded(CPlenimetraParam& loaded)
{
  *this = loaded;
  GSErrCode err = m_LoadError;
  // A load cut short writes nothing: new codes and sort indices are given
  // in memory only, and the load that completes gives them again.
  if (m_LoadGap != LoadGap::None)
    m_PendingSaves.clear();
  for (const auto& figure : m_PendingSaves) {
    CTeamworkControl reserve(figure->m_Element.header.guid);
    KeepFirstError(err, figure->Save());
  }
  m_PendingSaves.clear();
  const std::unordered_set<short> unread = StoriesOfUnreadFigures();
  for (CFloorParam& floor : m_FloorParamArray) {
    // The place of a figure left out stays its own: the others are
    // numbered without gaps in memory only, in their stored order, and
    // nothing is written, so the figure is back in its place once readable.
    if (unread.contains(floor.m_FloorNo) || m_LoadGap != LoadGap::None)
      floor.m_Area1ObjectArray.CloseSortIndexGaps();
    else
      KeepFirstError(err, floor.m_Area1ObjectArray.SetSortIndex());
  }
  m_LoadError = err;
}

void CPlenimetraParam::KeepUnreadableRecord()
{
  std::string bytes;
  bool kept = false;
  GS::UniString path;
  const std::string folder = GetAppDataPath();
  if (ReadRecordBytes(kRecordName, bytes) && !folder.empty()) {
    path = GS::UniString(folder.c_str(), CC_Default) + KeptRecordName();
    std::FILE* file = CKelFileIO::Fopen(path.ToStdString(CC_UTF8).c_str(), "wb");
    if (file != nullptr) {
      kept = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
      kept = std::fclose(file) == 0 && kept;
    }
  }
  if (kept) {
    GSWriteReport(GS::UniString(u"保存されている求積データを読み込めません。元のデータを保存しました：") + path);
    return;
  }
  m_bSaveBlocked = true;
  GSWriteReport(GS::UniString(u"保存されている求積データを読み込めません。このプロジェクトでは変更を保存しません"));
}

void CPlenimetraParam::MakeDefaultPattern()
{
  CPlenimetraParam scratch;
  scratch.m_Area1Factory = m_Area1Factory;
  const GS::UniString path = GS::UniString(GetExecFolder().c_str(), CC_UTF8) +
                             GS::UniString(CAreaTree::kDefaultPatternFileName);
  const int read = scratch.m_AreaTree2.Load3(&scratch, path);
  if (read == 1 && !scratch.m_AreaTree2.m_Child.empty()) {
    m_AreaTree2.InsertTree(this, scratch, scratch.m_AreaTree2.m_Child.front());
  } else {
    // The file is optional, but one that is there and cannot be read is
    // the user's pattern lost: said, not silently replaced by the default.
    if (read == 0)
      GSWriteReport(path + GS::UniString(u"が読み込めません"));
    const CRoundTypeItem item(CRoundTypeTable::ROUNDTYPE_CUT, 2);
    int parent = 0;
    for (int i = 0; i < 2; ++i) {
      const int code = ++m_LastAreaCode;
      m_Area4ObjectArray.push_back(CArea4Object(this, CAreaNameArray(GS::UniString(u"未定義")), code,
                                                CArea2ListTypeTable::LISTTYPE(1), CItemType1Table::ITEMTYPE(7),
                                                CItemType2Table::ITEMTYPE(3), -1, -1));
      m_AreaTree2.Insert2(parent, code, item, item);
      parent = code;
    }
  }
  m_AreaTreeStore = m_AreaTree2;
}

void CPlenimetraParam::RenumberPatterns()
{
  for (CAreaTree& pattern : m_AreaTree2.m_Child) {
    pattern.SetItemNo(this);
    for (const CAreaTreeIndentArray& group : pattern.GetFlat()) {
      std::vector<CAreaObject*> objects;
      for (const CAreaTreeIndent& node : group) {
        if (CAreaObject* object = FindAreaObject(node.m_AreaCode))
          objects.push_back(object);
      }
      AreaObjectSetSortIndex(objects);
    }
  }
}

// What was loaded, for the host's debug output only.
void CPlenimetraParam::DumpTrees()
{
  m_AreaTree2.Dump(this, 0);
  for (CPlenimetraParam& pattern : m_EnvParam.m_PatternArray)
    pattern.m_AreaTree2.Dump(&pattern, 0);
}

void CPlenimetraParam::CheckPatternPresets()
{
  const CRoundTypeParamArray& presets = m_EnvParam.m_RoundTypeParamArray;
  if (presets.empty())
    return;
  GS::UniString report;
  for (CAreaTree& pattern : m_AreaTree2.m_Child) {
    const CAreaObject* object = FindAreaObject(pattern.m_AreaCode);
    if (object == nullptr || presets.Search(pattern.m_RoundTypeId) != nullptr)
      continue;
    pattern.m_RoundTypeId = presets.front().m_Id;
    report += object->m_Name.m_DefaultName + GS::UniString(u" の端数処理が見つかりません。\n") +
              presets.front().m_Name + GS::UniString(u" に再設定しました\n\n");
  }
  if (!report.IsEmpty())
    GSWriteReport(report);
}

int CPlenimetraParam::RefreshPlacedFigures()
{
  int total = 0;
  for (const CFloorParam& floor : m_FloorParamArray)
    total += int(floor.m_Area1ObjectArray.size());
  CDlgProgress progress;
  progress.OpenProgress(GS::UniString(), true);
  progress.SetRange(total, GS::UniString());
  GSErrCode result = NoError;
  for (CFloorParam& floor : m_FloorParamArray) {
    for (const auto& figure : floor.m_Area1ObjectArray) {
      if (figure->m_Element.header.guid.IsNull() || !figure->CheckStringParameter(this))
        continue;
      KeepFirstError(result, figure->ChangeParam(this, true));
    }
    progress.StepIt();
  }
  progress.Close();
  return result;
}

// ---- rebuilding the figure records from the placed parts -----------------------

GSErrCode CPlenimetraParam::GetElement2()
{
  const GSErrCode err = GetElement2(nullptr, nullptr);
  GSWriteFailure(GS::UniString(u"配置されている求積区画を読み込めませんでした。"), err);
  ReportUnreadFigures();
  return err;
}

void CPlenimetraParam::NoteLoadGap(LoadGap part, GSErrCode err)
{
  if ((err == NoError && part != LoadGap::Entries) || m_LoadGap != LoadGap::None)
    return;
  m_LoadGap = part;
  m_LoadGapError = err;
}

void CPlenimetraParam::ReportIncompleteLoad()
{
  if (m_LoadGap == LoadGap::None || m_bLoadGapTold)
    return;
  m_bSaveBlocked = true;
  m_bLoadGapTold = true;
  GSWriteReport(IncompleteLoadText());
}

GS::UniString CPlenimetraParam::IncompleteLoadText() const
{
  if (m_LoadGap == LoadGap::None)
    return GS::UniString();
  if (m_LoadGap == LoadGap::Entries)
    return GS::UniString(u"元に戻した（やり直した）求積データが、配置されている求積区画と合いません。"
                         u"計算要素から外れた求積区画があり、表示している集計には含まれていません。\n"
                         u"保存されている求積データはそのまま残し、変更を保存しません。"
                         u"やり直し（元に戻す）で前の状態に戻してから、パレットを開き直してください");
  const char16_t* part = m_LoadGap == LoadGap::Record      ? u"保存されている求積データ"
                         : m_LoadGap == LoadGap::AutoAreas ? u"自動作成区画"
                                                           : u"求積区画";
  GS::UniString reason =
      m_LoadGapError == APIERR_CANCEL ? GS::UniString(u"中止しました") : GSReportText(m_LoadGapError);
  reason.Trim();  // the error's name comes padded
  return GS::UniString(u"求積データを最後まで読み込めませんでした（") + part + u"：" + reason +
         u"）。\n表示している集計は読み込めた分だけのものです。保存されている求積データはそのまま残し、"
         u"読み込みが終わるまで変更を保存しません。パレットを開き直すと読み込み直します";
}

// One line per figure: its story, the mark and number its part shows (the
// GUID when the part shows none) and, in brackets, the elements whose
// entries of that story are held for it.
void CPlenimetraParam::ReportUnreadFigures() const
{
  if (m_UnreadFigures.empty())
    return;
  GS::UniString report(u"次の求積区画のデータを読み込めません。集計から外しました：");
  for (const UnreadFigure& unread : m_UnreadFigures) {
    report += u"\n";
    const CFloorParam* floor = m_FloorParamArray.Search(unread.story);
    if (floor != nullptr && !floor->m_FloorName.IsEmpty())
      report += floor->m_FloorName + u"　";
    report += unread.label.IsEmpty() ? APIGuidToString(unread.guid) : unread.label;
    if (const GS::UniString elements = ElementsHoldingEntries(unread.story); !elements.IsEmpty())
      report += u"（" + elements + u"）";
    report += u"：" + GS::UniString(UnreadReason(unread.fault));
  }
  GSWriteReport(report);
}

GS::UniString CPlenimetraParam::ElementsHoldingEntries(short story) const
{
  GS::UniString names;
  for (const CArea2Object& element : m_Area2ObjectArray) {
    const CArea2ObjectFloor* floor = element.m_FloorArray.FindFloor(story);
    if (floor == nullptr || floor->m_HeldList.empty())
      continue;
    if (!names.IsEmpty())
      names += u"・";
    names += element.m_Name.GetName(story);
  }
  return names;
}

bool CPlenimetraParam::HasUnreadFigures(short story) const
{
  // A load that did not complete may have left out figures of any story.
  if (m_LoadGap != LoadGap::None)
    return true;
  return std::any_of(m_UnreadFigures.begin(), m_UnreadFigures.end(), [story](const UnreadFigure& unread) {
    if (unread.story != story)
      return false;
    API_Element element{};
    element.header.guid = unread.guid;
    const GSErrCode err = ACAPI_Element_Get(&element);
    return err != APIERR_DELETED && err != APIERR_BADID;
  });
}

GSErrCode CPlenimetraParam::GetElement2(CArea1ObjectPtrArray* deferred, std::unordered_set<GS::Guid>* read)
{
  PlacedFigures placed;
  if (GSErrCode err = FindPlacedFigures(this, placed); err != NoError)
    return err;
  if (read != nullptr)
    for (const PlacedFigure& one : placed.placed)
      read->insert(ToGSGuid(one.element.header.guid));
  // Only those of a floor: a part on a story without one is not taken either.
  m_UnreadFigures.clear();
  for (const UnreadFigure& unread : placed.unread)
    if (m_FloorParamArray.Search(unread.story) != nullptr)
      m_UnreadFigures.push_back(unread);
  m_LastArea1Code = std::max(m_LastArea1Code, placed.maxCode);
  CDlgProgress progress;
  progress.OpenProgress(GS::UniString(), true);
  progress.SetRange(int(placed.placed.size()), GS::UniString(u"オブジェクト"));
  FloorCodes codes = IndexFloorCodes(m_FloorParamArray);
  std::unordered_set<int> met;
  GSErrCode err = NoError;
  for (const PlacedFigure& one : placed.placed) {
    if (CFloorParam* floor = m_FloorParamArray.Search(one.element.header.floorInd))
      err = TakePlacedFigure(one.element, one.figure, *floor, codes[floor->m_FloorNo], met, deferred);
    progress.StepIt();
    if (err != NoError)
      break;
    if (progress.CheckAbort()) {
      err = APIERR_CANCEL;
      break;
    }
  }
  if (err == NoError)
    err = placed.stop;
  progress.Close();
  return err;
}

// One placed figure part with its record: it joins the floor, or updates
// the floor's record of the same code. Every code read is below the fresh
// one, so a record that repeats a code met before is a copied element.
GSErrCode CPlenimetraParam::TakePlacedFigure(const API_Element& element, const std::shared_ptr<CArea1Object>& figure,
                                             CFloorParam& floor, std::unordered_map<int, CArea1Object*>& byCode,
                                             std::unordered_set<int>& met, CArea1ObjectPtrArray* deferred)
{
  const int fresh = m_LastArea1Code + 1;
  figure->m_Element = element;
  if (!met.insert(figure->m_Code).second)
    figure->m_Code = fresh;
  if (auto known = byCode.find(figure->m_Code); known != byCode.end()) {
    if (known->second->m_Type == figure->m_Type) {
      figure->Set(known->second);
      return NoError;
    }
    // A stored record of another kind is stale: the placed part wins.
    std::replace_if(
        floor.m_Area1ObjectArray.begin(), floor.m_Area1ObjectArray.end(),
        [&](const std::shared_ptr<CArea1Object>& stored) { return stored.get() == known->second; }, figure);
    known->second = figure.get();
    return NoError;
  }
  GSErrCode err = NoError;
  if (figure->m_Code == fresh) {
    ++m_LastArea1Code;
    if (deferred != nullptr) {
      deferred->push_back(figure);
    } else {
      CTeamworkControl reserve(element.header.guid);
      err = figure->Save();
    }
  }
  floor.m_Area1ObjectArray.push_back(figure);
  byCode.emplace(figure->m_Code, figure.get());
  return err;
}

// ---- settings at document start ----------------------------------------------------

void CPlenimetraParam::LoadDefault()
{
  const GS::UniString own = GS::UniString(GetExecFolder().c_str(), CC_UTF8) + m_EnvFileName;
  if (m_EnvParam.LoadData(own)) {
    // The add-on's folder is no choice of the user's: a path there that the
    // record cannot hold is not kept, or no save of the project could
    // store it.
    m_EnvPath = DocText::FirstUnheld(own).IsEmpty() ? own : GS::UniString();
  } else {
    const std::string folder = GetAppDataPath();
    const GS::UniString user = GS::UniString(folder.c_str(), CC_Default) + m_EnvFileName;
    if (folder.empty() || !m_EnvParam.LoadData(user)) {
      m_EnvPath = GS::UniString();
      m_EnvParam2 = CEnvParam();
      return;
    }
    m_EnvPath = user;
  }
  m_EnvParam2 = m_EnvParam;
}

// ---- sort indices -----------------------------------------------------------------

void CPlenimetraParam::AreaObjectSetSortIndex(std::vector<CAreaObject*>& objects)
{
  const int n = int(objects.size());
  std::vector<bool> seen(objects.size(), false);
  bool permutation = true;
  for (const CAreaObject* object : objects) {
    const int index = object->m_SortIndex;
    if (index < 0 || index >= n || seen[std::size_t(index)]) {
      permutation = false;
      break;
    }
    seen[std::size_t(index)] = true;
  }
  if (permutation)
    return;
  for (int i = 0; i < n; ++i)
    objects[std::size_t(i)]->m_SortIndex = i;
}
