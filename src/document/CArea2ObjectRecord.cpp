// The stored form of calculation elements inside the project record, with
// the migration of every older layout from version 1001 on.
//
// Entries store their figure's code; reading resolves it among the figures
// of the document's floors, which are therefore read first. An entry whose
// figure is gone is dropped, unless it may be a placed figure's whose own
// record could not be read: that one is held as stored and written back in
// its place among the others.
// Stored values the calculation cannot use (a MODE outside 1..4, an
// operator other than 1 or 2, two entries of one figure, codes no element
// can have, the ambiguous version 1025) refuse the record: the reader
// answers false and the loader keeps the document out.

#include "CArea2Object.h"

#include "CArchive.h"
#include "CArea1Object.h"
#include "CPlenimetraParam.h"
#include "DocRecord.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>

namespace {

// Smallest stored sizes, to bound counts before anything is allocated.
constexpr long long kMinEntryBytes = 4 + 4 + 4 + 4;              // the break mark is absent before 1001
constexpr long long kMinFloorBytes = 4 + 2 + 8 + 3 + 2 + 4 + 4;  // empty text, no entries, no zones
constexpr long long kMinGuidBytes = 3;                           // an empty text
constexpr long long kMinManualRowBytes = 2 + 8 + 3;
constexpr long long kMinAutoRowBytes = 2 + 4;

// The fewest bytes an element of the record version takes: the base
// record, no floors, the show-total value and the list type and old row
// counts of its versions.
long long MinElementBytes(int version)
{
  long long bytes = CAreaObject::MinStoredBytes(version) + 4;
  if (version >= DocVersion::kShowTotalInt)
    bytes += 4;
  else if (version >= DocVersion::kFigurePart)
    bytes += 1;
  if (version >= DocVersion::kElementListTypeFrom && version <= DocVersion::kListTypeUntil)
    bytes += 4;
  if (version >= DocVersion::kNameArray && version <= DocVersion::kOldElementRowsUntil)
    bytes += 4;
  if (version >= DocVersion::kAutoRows && version <= DocVersion::kOldElementRowsUntil)
    bytes += 4;
  return bytes;
}
constexpr int kReservedEntryField = -1;

[[noreturn]] void Refuse()
{
  throw CArchive::kPastEnd;
}

void CheckCount(CArchive& ar, int count, long long bytesEach)
{
  if (!ar.CanHold(count, bytesEach))
    Refuse();
}

// The figure of a stored code: the first floor whose list holds it; with a
// filter, only when that floor is the filter's story. While the project
// record is read the document answers from its index of codes.
std::shared_ptr<CArea1Object> FindFigure(CPlenimetraParam* param, int code, const short* filter, short* story)
{
  const CPlenimetraParam::FigureIndex::Entry* found = param->m_pFigureIndex != nullptr
                                                          ? param->m_pFigureIndex->Find(code)
                                                          : nullptr;
  if (param->m_pFigureIndex == nullptr) {
    for (const CFloorParam& floor : param->m_FloorParamArray) {
      if (std::shared_ptr<CArea1Object> figure = floor.m_Area1ObjectArray.Search(code)) {
        if (filter != nullptr && *filter != floor.m_FloorNo)
          return nullptr;
        *story = floor.m_FloorNo;
        return figure;
      }
    }
    return nullptr;
  }
  if (found == nullptr || (filter != nullptr && *filter != found->story))
    return nullptr;
  *story = found->story;
  return found->figure;
}

// Writes one entry: rounding, operator, the reserved field, break mark, code.
void WriteEntry(CArchive& ar, CArea2List& entry)
{
  ar << static_cast<int>(entry.m_RoundType) << static_cast<int>(entry.m_Operator) << kReservedEntryField;
  entry.m_CrMark.Serialize(ar);
  ar << entry.m_pArea1->m_Code;
}

void WriteHeldEntry(CArchive& ar, CArea2HeldEntry& entry)
{
  ar << entry.m_RoundType << entry.m_Operator << kReservedEntryField;
  entry.m_CrMark.Serialize(ar);
  ar << entry.m_Code;
}

// Reads one entry; false when its figure no longer exists (the entry is
// dropped), *story then untouched. *code receives the stored code.
bool ReadEntry(CArchive& ar, CPlenimetraParam* param, const short* filter, CArea2List& entry, short* story,
               int* code)
{
  int roundType = 0;
  int op = 0;
  int reserved = 0;
  ar >> roundType >> op >> reserved;
  entry.m_CrMark.Serialize(ar);
  ar >> *code;
  if (op != COperatorTable::OPERATOR_PLUS && op != COperatorTable::OPERATOR_MINUS)
    Refuse();
  entry.m_RoundType = static_cast<CRoundTypeTable::ROUNDTYPE>(roundType);
  entry.m_Operator = static_cast<COperatorTable::OPERATOR>(op);
  entry.m_pArea1 = FindFigure(param, *code, filter, story);
  return entry.m_pArea1 != nullptr;
}

bool IsHeldCode(const std::vector<CArea2HeldEntry>& held, int code)
{
  return std::any_of(held.begin(), held.end(), [code](const CArea2HeldEntry& entry) { return entry.m_Code == code; });
}

// Appends the entry unless the record already has one of its figure's code.
void AppendUnique(CArea2ListArray& list, const std::vector<CArea2HeldEntry>& held, const CArea2List& entry)
{
  if (list.Search(entry.m_pArea1->m_Code) != nullptr || IsHeldCode(held, entry.m_pArea1->m_Code))
    Refuse();
  list.push_back(entry);
}

// after: the code of the entry kept just before it, 0 for none.
void HoldUnique(std::vector<CArea2HeldEntry>& held, const CArea2List& entry, int code, int after)
{
  if (IsHeldCode(held, code))
    Refuse();
  held.push_back(CArea2HeldEntry{code, entry.m_RoundType, entry.m_Operator, entry.m_CrMark, after});
}

// Writes the live entries with each held one in its place: after the
// entry it followed when read (0: first). One whose neighbour has gone
// since comes last, as do those that followed it.
void WriteEntries(CArchive& ar, CArea2ListArray& list, std::vector<CArea2HeldEntry>& held)
{
  std::vector<bool> written(held.size(), false);
  auto writeHeldAfter = [&](int code) {
    for (bool more = true; more;) {
      more = false;
      for (std::size_t i = 0; i < held.size(); ++i) {
        if (written[i] || held[i].m_After != code)
          continue;
        written[i] = true;
        WriteHeldEntry(ar, held[i]);
        code = held[i].m_Code;
        more = true;
        break;
      }
    }
  };
  writeHeldAfter(0);
  for (CArea2List& entry : list) {
    WriteEntry(ar, entry);
    writeHeldAfter(entry.m_pArea1->m_Code);
  }
  for (std::size_t i = 0; i < held.size(); ++i) {
    if (written[i])
      continue;
    written[i] = true;
    WriteHeldEntry(ar, held[i]);
    writeHeldAfter(held[i].m_Code);
  }
}

}  // namespace

void CArea2ObjectFloor::Serialize(CArchive& ar, CPlenimetraParam* param)
{
  int mode = m_Mode;
  ar.Serialize(mode);
  if (ar.m_bOpen && !IsValidMode(mode))
    Refuse();
  m_Mode = static_cast<MODE>(mode);
  ar.Serialize(m_Floor);
  ar.Serialize(m_ManualArea);
  DocText::Serialize(ar, m_ManualEquation, DocVersion::kHostStringNames);
  ar.Serialize(m_List.m_Floor);

  int count = static_cast<int>(m_List.size() + m_HeldList.size());
  ar.Serialize(count);
  if (!ar.m_bOpen) {
    WriteEntries(ar, m_List, m_HeldList);
  } else {
    CheckCount(ar, count, kMinEntryBytes);
    m_List.clear();
    m_HeldList.clear();
    const CPlenimetraParam::FigureIndex* index = param->m_pFigureIndex;
    int kept = 0;  // the code of the last entry kept
    for (int i = 0; i < count; ++i) {
      CArea2List entry;
      short story = 0;
      int code = 0;
      if (ReadEntry(ar, param, &m_Floor, entry, &story, &code)) {
        AppendUnique(m_List, m_HeldList, entry);
        kept = code;
      } else if (index != nullptr && index->Holds(code, m_Floor)) {
        HoldUnique(m_HeldList, entry, code, kept);
        kept = code;
      } else {
        ++param->m_DroppedEntries;
      }
    }
  }

  int zones = static_cast<int>(m_AutoAreaGuidArray.size());
  ar.Serialize(zones);
  if (ar.m_bOpen) {
    CheckCount(ar, zones, kMinGuidBytes);
    m_AutoAreaGuidArray.assign(static_cast<std::size_t>(zones), GS::Guid());
  }
  for (GS::Guid& guid : m_AutoAreaGuidArray)
    ar.Serialize(guid);
}

void CArea2Object::Serialize(CArchive& ar, CPlenimetraParam* param)
{
  if (!ar.m_bOpen) {
    CAreaObject::Serialize(ar);
    ar << static_cast<int>(m_FloorArray.size());
    for (CArea2ObjectFloor& floor : m_FloorArray)
      floor.Serialize(ar, param);
    ar << static_cast<int>(m_ShowTotal);
    return;
  }
  if (ar.GetVersion() == DocVersion::kRefused)
    throw CArchive::kPastEnd;
  CAreaObject::Serialize(ar);
  if (!DocCode::IsValidCode(m_Code))
    throw CArchive::kPastEnd;
  ReadFloors(ar, param);
  ReadShowTotalAndListType(ar);
  ReadOldLists(ar);
}

void CArea2Object::ReadFloors(CArchive& ar, CPlenimetraParam* param)
{
  int count = 0;
  ar >> count;
  if (ar.GetVersion() >= DocVersion::kFloorRecords) {
    CheckCount(ar, count, kMinFloorBytes);
    m_FloorArray.assign(static_cast<std::size_t>(count), CArea2ObjectFloor());
    for (CArea2ObjectFloor& floor : m_FloorArray)
      floor.Serialize(ar, param);
    return;
  }
  // Older records kept one flat list; each entry goes to its figure's story.
  // An entry naming no figure names no story either: while figures are left
  // out, it is held on each story that has one, and once the figure can be
  // read it is found on its own story and the other stories drop it.
  CheckCount(ar, count, kMinEntryBytes);
  const CPlenimetraParam::FigureIndex* index = param->m_pFigureIndex;
  const std::vector<short> heldStories = index != nullptr ? index->HeldStories() : std::vector<short>{};
  std::set<int> codes;
  std::map<short, int> kept;  // per story, the code of the last entry kept
  for (int i = 0; i < count; ++i) {
    CArea2List entry;
    short story = 0;
    int code = 0;
    const bool found = ReadEntry(ar, param, nullptr, entry, &story, &code);
    if (!found) {
      // Whether a code is held does not depend on which of these stories asks.
      if (heldStories.empty() || !index->Holds(code, heldStories.front())) {
        ++param->m_DroppedEntries;
        continue;
      }
      if (!codes.insert(code).second)
        Refuse();
      for (short held : heldStories) {
        CArea2ObjectFloor* floor = m_FloorArray.SearchFloor(held);
        HoldUnique(floor->m_HeldList, entry, code, kept[held]);
        kept[held] = code;
        floor->m_Mode = CArea2ObjectFloor::MODE_FIGURE;
      }
      continue;
    }
    if (!codes.insert(code).second)
      Refuse();
    CArea2ObjectFloor* floor = m_FloorArray.SearchFloor(story);
    floor->m_List.push_back(entry);
    kept[story] = code;
    floor->m_Mode = CArea2ObjectFloor::MODE_FIGURE;
  }
}

void CArea2Object::ReadShowTotalAndListType(CArchive& ar)
{
  const int version = ar.GetVersion();
  if (version >= DocVersion::kShowTotalInt) {
    int showTotal = 0;
    ar >> showTotal;
    m_ShowTotal = static_cast<SHOWTOTAL>(showTotal);
  } else if (version >= DocVersion::kFigurePart) {
    bool shown = false;
    ar >> shown;
    m_ShowTotal = shown ? SHOWTOTAL_MARK : SHOWTOTAL_HIDE;
  }
  if (version >= DocVersion::kElementListTypeFrom && version <= DocVersion::kListTypeUntil) {
    int listType = 0;
    ar >> listType;
    m_ListType = static_cast<CArea2ListTypeTable::LISTTYPE>(listType);
  }
}

void CArea2Object::ReadOldLists(CArchive& ar)
{
  const int version = ar.GetVersion();
  if (version > DocVersion::kOldElementRowsUntil)
    return;
  if (version >= DocVersion::kNameArray) {
    int count = 0;
    ar >> count;
    CheckCount(ar, count, kMinManualRowBytes);
    for (int i = 0; i < count; ++i) {
      CArea2ObjectManual row;
      ar >> row.m_Floor >> row.m_Area;
      DocText::ReadOld(ar, row.m_Text);
      CArea2ObjectFloor* floor = m_FloorArray.SearchFloor(row.m_Floor);
      floor->m_Mode = CArea2ObjectFloor::MODE_MANUAL;
      floor->m_ManualArea = row.m_Area;
      floor->m_ManualEquation = row.m_Text;
    }
  }
  if (version >= DocVersion::kAutoRows) {
    int count = 0;
    ar >> count;
    CheckCount(ar, count, kMinAutoRowBytes);
    for (int i = 0; i < count; ++i) {
      CArea2ObjectAutoArea row;
      int guids = 0;
      ar >> row.m_Floor >> guids;
      CheckCount(ar, guids, kMinGuidBytes);
      row.m_AutoAreaGuidArray.assign(static_cast<std::size_t>(guids), GS::Guid());
      for (GS::Guid& guid : row.m_AutoAreaGuidArray)
        ar >> guid;
      CArea2ObjectFloor* floor = m_FloorArray.SearchFloor(row.m_Floor);
      floor->m_Mode = CArea2ObjectFloor::MODE_AUTO;
      floor->m_AutoAreaGuidArray = row.m_AutoAreaGuidArray;
    }
  }
}

void CArea2ObjectArray::Serialize(CArchive& ar, CPlenimetraParam* param)
{
  if (!ar.m_bOpen) {
    ar << static_cast<int>(size());
    for (CArea2Object& element : *this)
      element.Serialize(ar, param);
    return;
  }
  if (ar.GetVersion() < DocVersion::kObjectLists)
    return;
  int count = 0;
  ar >> count;
  CheckCount(ar, count, MinElementBytes(ar.GetVersion()));
  for (int i = 0; i < count; ++i) {
    CArea2Object element(param, CAreaNameArray(), 0, CArea2ListTypeTable::LISTTYPE_FORMULA,
                         CArea2Object::SHOWTOTAL_MARK, CItemType1Table::ITEMTYPE_SQUARE,
                         CItemType2Table::ITEMTYPE_DECIMAL, -1, -1);
    // A refused element throws before it is added: the elements read
    // before it stay.
    element.Serialize(ar, param);
    push_back(std::move(element));
  }
}
