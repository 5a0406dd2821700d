#pragma once
// Calculation elements. An element gathers area figures into one area per
// story; per story a floor record says how that area is obtained (MODE):
// from figure entries, from a manual value and formula, from the figures of
// an automatic division, or both. The element's formula names each entry by
// mark, number and operator ("□1+□2-□3"); its texts format the areas.
//
// Areas are signed 64-bit integers in 1e-6 m2 (the figures' rounded areas).
// An area passes three roundings: the figure's own (figure default item),
// the entry's (list-entry default item), and the element's rounding of the
// story sum with its tree node's per-floor item.
//
// Entries share their figures with the floors (std::shared_ptr), so an entry
// read back, copied or kept in an undo snapshot never dangles.
//
// Stored form (project record, CArchive): the base record, the floor
// records and the show-total value; every older layout from record version
// 1001 on is read and migrated. A stored MODE outside 1..4, an operator
// other than 1 or 2, two entries of one figure code and the record version
// 1025 are refused (the reader answers false).

#include "CAreaObject.h"
#include "CCrMark.h"
#include "CKelCoord.h"
#include "CodeTables.h"
#include "gs_guid.h"
#include "gs_unistring.h"
#include "host_api_types.h"
#include "host_libpart.h"

#include <list>
#include <memory>
#include <vector>

class CArchive;
class CArea1Object;
class CArea1ObjectPtrArray;
class CArea2ObjectPtrArray;
class CAreaTree;
class CAutoAreaParam;
class CPlenimetraParam;

// One figure entry of a floor record.
class CArea2List {
public:
  CArea2List() = default;
  // Rounding type 4, mark clear; the int is not used.
  CArea2List(std::shared_ptr<CArea1Object> figure, COperatorTable::OPERATOR op, int = 0)
      : m_pArea1(std::move(figure)), m_Operator(op)
  {
  }

  // Entries name their figure by its code, the identity that survives the
  // project record; two documents' entries of the same figure are equal.
  bool operator==(const CArea2List& other) const;

  // The figure's rounded area; then rounded again by the entry's type with
  // the list-entry default item.
  long long GetOrgArea(const CPlenimetraParam* param) const;
  long long GetRoundArea(const CPlenimetraParam* param) const;
  bool IsDefaultRoundType(const CPlenimetraParam* param) const;
  GS::UniString GetOrgAreaStr(const CPlenimetraParam* param) const;
  GS::UniString GetRoundAreaStr(const CPlenimetraParam* param) const;
  GS::UniString GetRoundTypeStr(const CPlenimetraParam* param) const;
  GS::UniString GetOperatorStr(const CPlenimetraParam* param) const;

  std::shared_ptr<CArea1Object> m_pArea1;
  CRoundTypeTable::ROUNDTYPE m_RoundType = CRoundTypeTable::ROUNDTYPE_DEFAULT;
  COperatorTable::OPERATOR m_Operator = COperatorTable::OPERATOR_PLUS;  // 1 adds, 2 subtracts
  CCrMark m_CrMark;                                                     // the formula breaks its line after this entry
};

class CArea2ListArray : public std::vector<CArea2List> {
public:
  CArea2List* Search(const CArea1Object* figure);
  CArea2List* Search(int code);
  int SearchIndex(const CArea1Object* figure) const;
  // Removes the first entry of the element; true when one went.
  bool RemoveArea1(const API_Elem_Head* head);
  // RemoveArea1 for each figure; those removed are appended to removed.
  void Remove(const CArea1ObjectPtrArray& figures, CArea1ObjectPtrArray* removed);
  // Existing entries take the operator of their figure's automatic-area
  // link; new figures are appended with it.
  void SetAutoArea(const CArea1ObjectPtrArray& figures);
};

// The entries with the list story stored before them.
class CArea2ListArray2 : public CArea2ListArray {
public:
  bool operator==(const CArea2ListArray2& other) const;

  short m_Floor = 0;
};

// A stored entry naming no figure of the document while a figure of its
// story is placed but could not be read: it may be that figure's. It is
// kept as stored, out of every total and formula, and written back in its
// place, so the figure takes its place again once its record can be read.
struct CArea2HeldEntry {
  bool operator==(const CArea2HeldEntry&) const = default;

  int m_Code = 0;
  int m_RoundType = CRoundTypeTable::ROUNDTYPE_DEFAULT;
  int m_Operator = COperatorTable::OPERATOR_PLUS;
  CCrMark m_CrMark;
  // Its place: the code of the entry stored just before it, 0 when it came
  // first. An entry whose neighbour has gone since is written last.
  int m_After = 0;
};

class CArea2ObjectAutoAreaGuidArray : public std::vector<GS::Guid> {
public:
  void Add(const GS::Guid& guid);     // unless present
  void Remove(const GS::Guid& guid);  // first occurrence
};

// The record of one story.
class CArea2ObjectFloor {
public:
  enum MODE : int {
    MODE_FIGURE = 1,  // 求積区画: sum of the entries
    MODE_MANUAL = 2,  // 手動入力: the manual area and formula
    MODE_AUTO = 3,    // 自動分割区画: the automatic division's entries
    MODE_BOTH = 4,    // 自動+求積
  };

  CArea2ObjectFloor() = default;
  explicit CArea2ObjectFloor(short floor) : m_Floor(floor) {}

  bool operator==(const CArea2ObjectFloor&) const = default;

  static bool IsValidMode(int mode) { return mode >= MODE_FIGURE && mode <= MODE_BOTH; }
  // "未定義" for a value outside 1..4.
  static GS::UniString GetAreaTypeName(MODE mode);

  // Break marks from the element table's formula width, in list order.
  void SetAutoCr(const CPlenimetraParam* param);
  // MODE 2: the manual area; else the signed sum of the entries' rounded
  // areas (an entry with another operator counts nothing).
  long long GetOrgArea(const CPlenimetraParam* param) const;
  // Takes story and MODE of the other record, nothing else.
  void Duplicate(const CArea2ObjectFloor& other);

  // Throws the archive's unsigned int on a short or refused read.
  void Serialize(CArchive& ar, CPlenimetraParam* param);

  short m_Floor = 0;
  long long m_ManualArea = 0;
  GS::UniString m_ManualEquation;
  CArea2ListArray2 m_List;
  std::vector<CArea2HeldEntry> m_HeldList;  // stored among m_List at their places, in the same count
  CArea2ObjectAutoAreaGuidArray m_AutoAreaGuidArray;
  MODE m_Mode = MODE_AUTO;
};

class CArea2ObjectFloorArray : public std::vector<CArea2ObjectFloor> {
public:
  // The story's record; a missing one is appended (MODE 3). Never null.
  // Only edits and readers of stored records use it.
  CArea2ObjectFloor* SearchFloor(short floor);
  // The story's record, or null: a story without one reads as an empty
  // MODE 3 record, and looking never adds it.
  const CArea2ObjectFloor* FindFloor(short floor) const;
  CArea2ObjectFloor* FindFloor(short floor);
};

class CArea2Object : public CAreaObject {
public:
  // The total row of the element's area table.
  enum SHOWTOTAL : int {
    SHOWTOTAL_HIDE = 0,    // 表示しない
    SHOWTOTAL_MARK = 1,    // 表示(記号有)
    SHOWTOTAL_NOMARK = 2,  // 表示(記号無)
  };

  CArea2Object(CPlenimetraParam* param, CAreaNameArray names, int code, CArea2ListTypeTable::LISTTYPE listType,
               SHOWTOTAL showTotal, CItemType1Table::ITEMTYPE mark, CItemType2Table::ITEMTYPE numbering, int itemNo,
               int sortIndex);

  long long GetOrgArea(const CPlenimetraParam* param, short floor) const override;
  long long GetRoundArea(const CPlenimetraParam* param, const CAreaTree* node, short floor) const override;
  GS::UniString GetItemNoStr(const CPlenimetraParam* param) const override;
  // The character argument is not used.
  GS::UniString GetEquation(CPlenimetraParam* param, short floor, bool breakAll, char crMark) override;
  GS::UniString GetOrgAreaStr(const CPlenimetraParam* param, short floor) const override;
  GS::UniString GetRoundAreaStr(const CPlenimetraParam* param, const CAreaTree* node, short floor) const override;
  GS::UniString GetRoundTypeStr(const CPlenimetraParam* param) const override;
  bool IsDefaultRoundType(const CPlenimetraParam* param, const CAreaTree* node) const override;

  // The base's copy, then one empty record per story of the source with
  // only its story and MODE.
  void Duplicate(const CAreaObject* source) override;

  // The entries of a record ordered by their figures' sort index (stable).
  static std::vector<CArea2List*> GetList(CArea2ObjectFloor* floor);
  // Index of the record's source GUID in the list; -1 when absent or null.
  static int SearchAutoAreaIndex(const CAutoAreaParam* record, const CArea2ObjectAutoAreaGuidArray* guids);
  // False in MODE 2; else whether an entry names a figure of that code.
  bool IsIncluded(const CArea1Object* figure, short floor) const;

  // Throws the archive's unsigned int when reading fails or refuses the
  // record (what was read stays) and, in the project record, when a text
  // cannot be stored: the load or save that began the record catches it.
  void Serialize(CArchive& ar, CPlenimetraParam* param);

  // == Area table of one story (CArea2ObjectTable.cpp) ==
  // Fills the table part's parameters (owner names the part) from the
  // element, its record of the story and the element-table style; node is
  // the element's own tree node. A list table writes the entries from *next
  // on, at most maxRows, advancing *next and *lines; only the last table of
  // the list has the total row. A formula table (list type 1, or a story
  // with a manual area) is one row and sets *lines. entries: the record's
  // entries in display order (GetList); null takes them from the record.
  // The first failing write ends the writes; the list is closed always.
  [[nodiscard]] GSErrCode SetParam(CPlenimetraParam* param, short floor, CAreaTree* node, std::vector<CArea2List*>* entries,
                     int* next, int maxRows, int* lines, API_ParamOwnerType& owner, API_GetParamsType& params);
  // Places one table on the layer at the position (see SetParam).
  [[nodiscard]] GSErrCode CreateObject(CPlenimetraParam* param, short floor, CAreaTree* node, short layer, CKelCoord2D position,
                         int* lines, std::vector<CArea2List*>* entries, int* next, int maxRows);

  bool operator==(const CArea2Object& other) const;
  bool operator!=(const CArea2Object& other) const { return !(*this == other); }

  CArea2ObjectFloorArray m_FloorArray;
  SHOWTOTAL m_ShowTotal;

private:
  // Reading, in the record's order; each throws the archive's unsigned int
  // on a short or refused read.
  void ReadFloors(CArchive& ar, CPlenimetraParam* param);
  void ReadShowTotalAndListType(CArchive& ar);
  void ReadOldLists(CArchive& ar);
  GS::UniString GetListEquation(const CPlenimetraParam* param, CArea2ObjectFloor* floor, bool breakAll);
  GS::UniString GetFormulaEquation(const CPlenimetraParam* param, CArea2ObjectFloor* floor, bool breakAll);
};

// The document's elements in creation or reading order. A list, so an
// element's address stays valid while others are added or removed.
class CArea2ObjectArray : public std::list<CArea2Object> {
public:
  CArea2Object* Search(int code);
  const CArea2Object* Search(int code) const;
  // Each figure's entry leaves every element's record of its story.
  void Remove(const CArea1ObjectPtrArray& figures);
  // The record's source GUID leaves every element's record of its story.
  void Remove(const CAutoAreaParam* record);
  void RemoveArea1(const API_Elem_Head* head);
  // Erases the first element of each pointed element's code.
  void Remove(const CArea2ObjectPtrArray& elements);

  // Reading appends; an element that fails throws (the elements read before
  // it stay), as does one that cannot be written.
  void Serialize(CArchive& ar, CPlenimetraParam* param);

  bool operator==(const CArea2ObjectArray& other) const;
  bool operator!=(const CArea2ObjectArray& other) const { return !(*this == other); }
};

class CArea2ObjectPtrArray : public std::vector<CArea2Object*> {
public:
  CArea2Object* Search(int code) const;
};

// Old stored layouts, read only to migrate records before version 1030.
class CArea2ObjectManual {
public:
  short m_Floor = 0;
  long long m_Area = 0;
  GS::UniString m_Text;
};

class CArea2ObjectManualArray : public std::vector<CArea2ObjectManual> {};

class CArea2ObjectAutoArea {
public:
  CArea2ObjectAutoArea() = default;
  // A null GUID leaves the list empty.
  CArea2ObjectAutoArea(short floor, const GS::Guid& guid);

  short m_Floor = 0;
  CArea2ObjectAutoAreaGuidArray m_AutoAreaGuidArray;
};

class CArea2ObjectAutoAreaArray : public std::vector<CArea2ObjectAutoArea> {};
