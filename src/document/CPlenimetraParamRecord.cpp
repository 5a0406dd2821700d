// The project record: the document's fields in stored order, with the
// version gates of older records and the steps that rebuild what older
// records kept elsewhere (inline settings, one figure list for all floors,
// a separate record of hot-link areas).

#include "CPlenimetraParam.h"

#include "CArchive.h"
#include "CArea1Object.h"
#include "DocRecord.h"
#include "host_elements.h"
#include "host_errors.h"

#include <algorithm>

namespace {

// Record versions at which the layout changed.
namespace V {
constexpr int kWithHoles = 1017;
constexpr int kCutFlags = 1039;
constexpr int kEnvPathText = 1014;  // older: no settings path
constexpr int kSettingsBlocks = 1014;
constexpr int kLengthTenthDigit = 1012;
constexpr int kDroppedIntUntil = 1007;
constexpr int kInlineSettingsUntil = 1013;
constexpr int kInlineAttributes = 1006;
constexpr int kInlineTotalArea = 1007;
constexpr int kOldFiguresUntil = 1028;
constexpr int kOldHotLinksUntil = 1028;
constexpr int kPatternsFrom = 1006;
constexpr int kPresetResetUntil = 1005;
constexpr int kOutputLayout = 1032;
constexpr int kTotalExclude = 1033;
constexpr int kOutputMode = 1034;
constexpr int kListItems = 1041;
constexpr int kOutputFile = 1044;
}  // namespace V

}  // namespace

bool CPlenimetraParam::Serialize(CArchive& ar)
{
  // The project record's load and save begin here: every code thrown below
  // ends here.
  try {
    SerializeFields(ar);
  } catch (unsigned int) {
    return false;
  }
  return true;
}

int CPlenimetraParam::SaveData()
{
  if (m_bSaveBlocked)
    return NoError;
  CArchiveOld ar(kRecordName);
  ar.Save(kRecordVersion);
  // Until a save succeeds the stored record is not this document's: an
  // undo then reads it back rather than keep what it lacks.
  const int err = Serialize(ar) ? ar.Store() : APIERR_GENERAL;
  m_bSaveFailed = err != NoError;
  if (err == NoError)
    m_RecordStamp = ar.Stamp();
  return err;
}

// The path is refused where it is chosen when the record's code cannot
// hold it, so that the writer, as strict as every other, never stores
// another path in its place.
void CPlenimetraParam::SerializeEnvPath(CArchive& ar) { DocText::Serialize(ar, m_EnvPath, DocVersion::kHostStringNames); }

void CPlenimetraParam::SerializeFields(CArchive& ar)
{
  const bool reading = ar.m_bOpen;
  const int v = ar.GetVersion();
  auto has = [&](int since) { return !reading || v >= since; };
  auto until = [&](int last) { return reading && v <= last; };

  if (reading) {
    m_PendingSaves.clear();
    m_LoadError = NoError;
    m_LoadGap = LoadGap::None;
    m_LoadGapError = NoError;
    // Every story has its floor while the record is read, so old figure
    // lists, old hot-link records and figures on new stories find theirs.
    CFloorParamArray floors;
    if (FloorsOfStories(floors)) {
      floors.m_bCalcPerFloor = m_FloorParamArray.m_bCalcPerFloor;
      m_FloorParamArray = std::move(floors);
    }
  }
  ar.Serialize(m_LastArea1Code);
  ar.Serialize(m_LastAreaCode);
  int cutType = m_AutoCutType.m_Type;
  ar.Serialize(cutType);
  m_AutoCutType.m_Type = CAutoCutType::AUTOCUTTYPE(cutType);
  if (has(V::kWithHoles))
    ar.Serialize(m_AutoCutType.m_bWithHoles);
  if (has(V::kCutFlags)) {
    ar.Serialize(m_AutoCutType.m_bCutAcross);
    ar.Serialize(m_AutoCutType.m_bFollowEdges);
  }
  if (has(V::kEnvPathText))
    SerializeEnvPath(ar);
  if (has(V::kSettingsBlocks)) {
    m_EnvParam.Serialize(ar);
    m_EnvParam2.Serialize(ar);
    if (reading)
      ReadFloors(ar);
    else
      m_FloorParamArray.Serialize(ar, this);
  } else {
    ReadOldInlineSettings1(ar);
  }
  if (until(V::kOldHotLinksUntil))
    TakeOldHotLinks();
  // The records of ordinary elements live in the elements themselves. A
  // failing observer is reported by the collection; the records read so
  // far are kept, and the load counts as not complete.
  if (reading)
    NoteLoadGap(LoadGap::AutoAreas, GetAutoElement2());
  if (until(V::kDroppedIntUntil)) {
    int dropped = 0;
    ar >> dropped;
  }
  if (until(V::kInlineSettingsUntil))
    ar >> m_EnvParam.m_NumberFillGaps;
  ar.Serialize(m_CurTreeCode);
  if (until(V::kInlineSettingsUntil))
    ReadOldInlineSettings3(ar);
  if (until(V::kOldFiguresUntil))
    TakeOldFigures(ar);
  if (reading) {
    // Placed figures are the truth: their records are rebuilt from them.
    // A placed figure whose own record cannot be read is left out (and
    // reported once the record is taken); a kind no figure class is
    // registered for refuses the whole record.
    std::unordered_set<GS::Guid> placed;
    m_LoadError = GetElement2(&m_PendingSaves, &placed);
    if (m_LoadError == APIERR_BADPARS)
      throw CArchive::kPastEnd;
    // Cut short (a failed read, or the user's cancel): the record is still
    // read, so that what was loaded can be shown, but not saved over.
    NoteLoadGap(LoadGap::Figures, m_LoadError);
    DropUnreadableFigures(placed);
  }
  const FigureIndexScope index(*this, reading, reading ? StoriesOfUnreadFigures() : std::unordered_set<short>{});
  m_Area2ObjectArray.Serialize(ar, this);
  if (reading)
    KeepCounterAboveHeldEntries();
  m_Area4ObjectArray.Serialize(ar, this);
  // Repaired trees are kept as repaired; a tree refused on writing is the
  // archive's error.
  static_cast<void>(m_AreaTree2.Serialize(ar, this));
  static_cast<void>(m_AreaTreeStore.Serialize(ar, this));
  // The only answer kept as a bool here: an old inline pattern list read
  // with repairs answers false and keeps its sound part, as the settings
  // file takes it; a project record is taken whole or not at all, so it
  // ends this load as a short read would.
  if (reading && v >= V::kPatternsFrom && v <= V::kInlineSettingsUntil && !m_EnvParam.m_PatternArray.SerializeEnv(ar))
    throw CArchive::kPastEnd;
  if (until(V::kPresetResetUntil))
    ResetOldPatternPresets();
  if (has(V::kOutputLayout))
    ar.Serialize(m_OutputLayout);
  if (has(V::kTotalExclude)) {
    m_TotalExcludeCodes.Serialize(ar);
    ar.Serialize(m_bTuboRow);
  }
  if (has(V::kOutputMode))
    ar.Serialize(m_OutputMode);
  if (has(V::kListItems))
    m_AreaListItemArray.Serialize(ar);
  if (has(V::kOutputFile)) {
    ar.Serialize(m_OutputFileType);
    ar.Serialize(m_bOutputCheck);
  } else {
    m_OutputFileType = 0;
  }
  if (reading) {
    // Records before the settings blocks name no layers at all.
    m_EnvParam.SetDefaultLayers();
    m_EnvParam2.SetDefaultLayers();
  }
}

// Settings that records before the settings blocks kept inline.
void CPlenimetraParam::ReadOldInlineSettings1(CArchive& ar)
{
  ar >> m_EnvParam.m_TriangleAttr.m_bVertexOrder;
  ar >> m_EnvParam.m_BlankDecimals;
  if (ar.GetVersion() >= V::kLengthTenthDigit)
    ar >> m_EnvParam.m_LengthTenthDigit;
}

void CPlenimetraParam::ReadOldInlineSettings3(CArchive& ar)
{
  CEnvParam& env = m_EnvParam;
  ar >> env.m_LengthComma;
  ar >> env.m_AreaComma;
  if (ar.GetVersion() < V::kInlineAttributes)
    return;
  static_cast<void>(env.m_RoundTypeParamArray.Serialize(ar));  // repaired presets are kept as repaired
  env.m_TriangleAttr.Serialize(ar);
  env.m_RectAttr.Serialize(ar);
  env.m_ArcAttr.Serialize(ar);
  env.m_TrapezoidAttr.Serialize(ar);
  env.m_CircleAttr.Serialize(ar);
  env.m_AttributeCommonParamArray.Serialize(ar);
  env.m_ListAttr1.Serialize(ar);
  env.m_ListAttr3.Serialize(ar);
  env.m_ListAttr2 = env.m_ListAttr3;
  if (ar.GetVersion() >= V::kInlineTotalArea)
    env.m_TotalAreaParam.Serialize(ar);
}

// The floors already stand for every story (the loader built them), so a
// stored floor list is merged by story and nothing read later is lost for
// want of a floor.
void CPlenimetraParam::ReadFloors(CArchive& ar)
{
  CFloorParamArray stored;
  stored.m_bCalcPerFloor = m_FloorParamArray.m_bCalcPerFloor;
  static_cast<void>(stored.Serialize(ar, this));  // a refused list throws
  m_FloorParamArray.m_bCalcPerFloor = stored.m_bCalcPerFloor;
  MergeFloors(m_FloorParamArray, stored, true);
}

void CPlenimetraParam::TakeOldHotLinks()
{
  CHotLinkParamArray old;
  NoteLoadGap(LoadGap::Record, old.LoadData());
  for (const CAutoAreaParam& record : old) {
    if (CFloorParam* floor = m_FloorParamArray.Search(record.GetFloor()))
      floor->m_HotLinkParamArray.push_back(record);
  }
}

void CPlenimetraParam::TakeOldFigures(CArchive& ar)
{
  CArea1ObjectArray old;
  static_cast<void>(old.Serialize(ar, this));  // a refused list throws
  for (const auto& figure : old) {
    if (CFloorParam* floor = m_FloorParamArray.Search(figure->m_Element.header.floorInd))
      floor->m_Area1ObjectArray.push_back(figure);
  }
}

// Figures whose placed part was just read need no second look.
void CPlenimetraParam::DropUnreadableFigures(const std::unordered_set<GS::Guid>& read)
{
  for (CFloorParam& floor : m_FloorParamArray) {
    std::erase_if(floor.m_Area1ObjectArray, [&](const std::shared_ptr<CArea1Object>& figure) {
      if (read.contains(ToGSGuid(figure->m_Element.header.guid)))
        return false;
      API_Element element{};
      element.header.guid = figure->m_Element.header.guid;
      const GSErrCode err = ACAPI_Element_Get(&element);
      return err == APIERR_BADID || err == APIERR_BADINDEX;
    });
  }
}

std::unordered_set<short> CPlenimetraParam::StoriesOfUnreadFigures() const
{
  std::unordered_set<short> stories;
  for (const UnreadFigure& unread : m_UnreadFigures)
    stories.insert(unread.story);
  return stories;
}

void CPlenimetraParam::KeepCounterAboveHeldEntries()
{
  for (const CArea2Object& element : m_Area2ObjectArray)
    for (const CArea2ObjectFloor& floor : element.m_FloorArray)
      for (const CArea2HeldEntry& entry : floor.m_HeldList)
        m_LastArea1Code = std::max(m_LastArea1Code, entry.m_Code);
}

CPlenimetraParam::FigureIndex::FigureIndex(const CFloorParamArray& floors, std::unordered_set<short> held)
    : m_Held(std::move(held))
{
  for (const CFloorParam& floor : floors)
    for (const auto& figure : floor.m_Area1ObjectArray)
      m_ByCode.emplace(figure->m_Code, Entry{figure, floor.m_FloorNo});
}

bool CPlenimetraParam::FigureIndex::Holds(int code, short story) const
{
  // A code no figure can have is no unread figure's (and would overrun the
  // counter kept above held codes).
  return m_Held.contains(story) && CArea1Object::IsValidCode(code) && !m_ByCode.contains(code);
}

std::vector<short> CPlenimetraParam::FigureIndex::HeldStories() const
{
  std::vector<short> stories(m_Held.begin(), m_Held.end());
  std::sort(stories.begin(), stories.end());
  return stories;
}

const CPlenimetraParam::FigureIndex::Entry* CPlenimetraParam::FigureIndex::Find(int code) const
{
  auto it = m_ByCode.find(code);
  return it != m_ByCode.end() ? &it->second : nullptr;
}

void CPlenimetraParam::ResetOldPatternPresets()
{
  const CRoundTypeParamArray& presets = m_EnvParam.m_RoundTypeParamArray;
  if (presets.empty())
    return;
  for (CAreaTree& pattern : m_AreaTree2.m_Child) {
    if (presets.Search(pattern.m_RoundTypeId) == nullptr)
      pattern.m_RoundTypeId = presets.front().m_Id;
  }
}
