#pragma once
// The common base of the two objects a calculation tree holds: the
// calculation element (CArea2Object) and the subtotal or total folder
// (CArea4Object). Both have a mark and numbering style for their item
// number, names per floor with a default name, a rounding type, sort index,
// item number, code, the automatic line-break switch, the list type and a
// pen that colours their rows and tables.
//
// Areas are signed 64-bit integers: rounded areas in 1e-6 m2. A tree node
// names a folder by its code and an element by the negated code; the
// document's lists own the objects by value.
//
// Stored form (project record, CArchive): the base record written by
// Serialize, gated by the record version on reading.

#include "CodeTables.h"
#include "gs_guid.h"
#include "gs_unistring.h"

#include <vector>

class CArchive;
class CAreaTree;
class CPlenimetraParam;

// The name of one floor.
class CAreaName {
public:
  CAreaName() = default;
  CAreaName(const GS::UniString& name, short floor) : m_Floor(floor), m_Name(name) {}

  bool operator==(const CAreaName&) const = default;

  // short floor, then the name (a host string from version 1043 on, before
  // that an 8-bit text in character code 32).
  void Serialize(CArchive& ar);

  short m_Floor = 0;  // story index
  GS::UniString m_Name;
};

// Names of the floors that have one of their own, in the order they got it,
// at most one a floor; every other floor shows the default name.
class CAreaNameArray : public std::vector<CAreaName> {
public:
  explicit CAreaNameArray(const GS::UniString& defaultName = GS::UniString()) : m_DefaultName(defaultName) {}

  const GS::UniString& GetName(short floor) const;
  // A name equal to the default erases the floor's entry.
  void SetName2(short floor, const GS::UniString& name);
  void Erase(short floor);

  bool operator==(const CAreaNameArray& other) const;
  bool operator!=(const CAreaNameArray& other) const { return !(*this == other); }

  // Default name, int count, the entries. A count that cannot fit in what
  // remains is refused (the archive's unsigned int 2) before resizing.
  void Serialize(CArchive& ar);

  GS::UniString m_DefaultName;
};

// GUIDs in insertion order, without repeats.
class CGuidArray : public std::vector<GS::Guid> {
public:
  void Add(const GS::Guid& guid);
};

class CAreaObject {
public:
  // Rounding type 4 (the default of the node's item), automatic line breaks
  // on, no pen. The document is not kept.
  CAreaObject(CPlenimetraParam* param, CAreaNameArray names, int code, CArea2ListTypeTable::LISTTYPE listType,
              CItemType1Table::ITEMTYPE mark, CItemType2Table::ITEMTYPE numbering, int itemNo, int sortIndex);
  virtual ~CAreaObject() = default;
  CAreaObject(const CAreaObject&) = default;
  CAreaObject& operator=(const CAreaObject&) = default;

  // == Areas and texts of each kind, in slot order ==
  // Every one but GetEquation only reads; a floor without a record of its
  // own reads as an empty one and stays without.
  virtual long long GetOrgArea(const CPlenimetraParam* param, short floor) const = 0;
  // The node is the object's own tree node.
  virtual long long GetRoundArea(const CPlenimetraParam* param, const CAreaTree* node, short floor) const = 0;
  virtual GS::UniString GetItemNoStr(const CPlenimetraParam* param) const = 0;
  // Refreshes the automatic line-break marks the formula is built with.
  virtual GS::UniString GetEquation(CPlenimetraParam* param, short floor, bool breakAll, char crMark) = 0;
  virtual GS::UniString GetOrgAreaStr(const CPlenimetraParam* param, short floor) const = 0;
  // "*" first when the rounding type is not the default of its level.
  virtual GS::UniString GetRoundAreaStr(const CPlenimetraParam* param, const CAreaTree* node, short floor) const = 0;
  virtual GS::UniString GetRoundTypeStr(const CPlenimetraParam* param) const = 0;
  virtual bool IsDefaultRoundType(const CPlenimetraParam* param, const CAreaTree* node) const = 0;

  // Copies every member of the source but the code; the kinds add theirs.
  virtual void Duplicate(const CAreaObject* source);

  // Every member of the base compared.
  bool operator==(const CAreaObject& other) const;
  bool operator!=(const CAreaObject& other) const { return !(*this == other); }

  // Empty when the mark table has no such mark.
  // The mark as printed before the item number: nothing for no mark.
  GS::UniString GetMarkStr(const CPlenimetraParam* param) const;
  // Whether the object's node in the working tree has no area on the floor;
  // false when the tree has no node of this code.
  bool IsNull(const CPlenimetraParam* param, short floor) const;

  // The base record; throws the archive's unsigned int on a short read.
  void Serialize(CArchive& ar);
  // The fewest bytes a base record of that record version can take (empty
  // texts, no floor names): the bound on a stored count of objects.
  static long long MinStoredBytes(int version);

  // == Members ==
  CItemType1Table::ITEMTYPE m_ItemType1;  // mark shape
  CItemType2Table::ITEMTYPE m_ItemType2;  // numbering style
  CAreaNameArray m_Name;
  CRoundTypeTable::ROUNDTYPE m_RoundType = CRoundTypeTable::ROUNDTYPE_DEFAULT;
  int m_SortIndex;  // numbering order in the pattern; negative: not yet placed
  int m_No;         // 0-based index into the numbering style; negative: none
  int m_Code;       // unique within its kind; an element and a folder may share one
  bool m_AutoCr = true;
  CArea2ListTypeTable::LISTTYPE m_ListType;
  short m_ColorPen = 0;  // > 0 replaces the pens of the object's rows and tables
};
