#pragma once
// Subtotal and total folders: the inner nodes of a calculation pattern. A
// folder's area on a floor is the signed sum of the rounded areas of its
// children in the working tree (elements or further folders); its formula
// names the children by mark and number joined by their operators
// ("□1+□2-□3"). Per floor the user may replace the formula by a text of
// their own, which may hold "#" line breaks.
//
// Areas are signed 64-bit integers in 1e-6 m2. The folder finds its own
// node in the document's working tree by its code (a folder whose node is
// missing has area 0 and an empty formula).
//
// Stored form (project record, CArchive): the base record, the manual
// equations (from record version 1024) and, for versions 1036 to 1045, the
// list type.

#include "CAreaObject.h"
#include "CKelCoord.h"
#include "gs_unistring.h"
#include "host_libpart.h"

#include <list>
#include <vector>

class CArchive;
class CAreaTree;
class CPlenimetraParam;

// The formula text of one floor as the user gave it.
class CAreaObjectManualEquation {
public:
  static constexpr short kNoFloor = 15000;

  explicit CAreaObjectManualEquation(short floor = kNoFloor, GS::UniString text = GS::UniString())
      : m_Floor(floor), m_Equation(std::move(text))
  {
  }

  bool operator==(const CAreaObjectManualEquation&) const = default;

  // short floor, then the text (host string from version 1043, before that
  // an 8-bit text in character code 32).
  void Serialize(CArchive& ar);

  short m_Floor;
  GS::UniString m_Equation;
};

// At most one text a floor, in the order floors first got one.
class CAreaObjectManualEquationArray : public std::vector<CAreaObjectManualEquation> {
public:
  // Replaces the floor's text or appends one.
  void Add(short floor, const GS::UniString& text);
  void Erase(short floor);
  const CAreaObjectManualEquation* Search(short floor) const;

  // int count, then the entries; a count that cannot fit is refused (the
  // archive's unsigned int 2) before resizing.
  void Serialize(CArchive& ar);
};

class CArea4Object : public CAreaObject {
public:
  CArea4Object(CPlenimetraParam* param, CAreaNameArray names, int code, CArea2ListTypeTable::LISTTYPE listType,
               CItemType1Table::ITEMTYPE mark, CItemType2Table::ITEMTYPE numbering, int itemNo, int sortIndex);

  // The signed sum of the children's rounded areas; a child of another
  // operator or without an object counts nothing.
  long long GetOrgArea(const CPlenimetraParam* param, short floor) const override;
  long long GetRoundArea(const CPlenimetraParam* param, const CAreaTree* node, short floor) const override;
  GS::UniString GetItemNoStr(const CPlenimetraParam* param) const override;
  // The floor's manual text, else the children's terms; crMark > 0 is
  // appended after every term.
  GS::UniString GetEquation(CPlenimetraParam* param, short floor, bool breakAll, char crMark) override;
  GS::UniString GetOrgAreaStr(const CPlenimetraParam* param, short floor) const override;
  GS::UniString GetRoundAreaStr(const CPlenimetraParam* param, const CAreaTree* node, short floor) const override;
  GS::UniString GetRoundTypeStr(const CPlenimetraParam* param) const override;
  bool IsDefaultRoundType(const CPlenimetraParam* param, const CAreaTree* node) const override;

  // Break marks of the child nodes from the folder table's formula width:
  // each term counts its operator and two characters.
  static void SetAutoCr(const CPlenimetraParam* param, std::vector<CAreaTree>& children, bool = false);

  // The base's copy; the manual texts are neither copied nor cleared.
  void Duplicate(const CAreaObject* source) override;

  // Throws the archive's unsigned int when a read fails (what was read
  // stays) and, in the project record, when a text cannot be stored.
  void Serialize(CArchive& ar);

  // == Area table of one story (CArea4ObjectTable.cpp) ==
  // node is the folder's own tree node. A row is four texts: mark, item
  // number, formula or name, area.
  //
  // The rows of a list table: per child in tree order, an element child's
  // figure rows ("-" before a subtracted figure's area) and its summary
  // row, or a sub-folder's rows (figure rows of its element children
  // without the sign, a summary row of each folder child) and its summary
  // row. With a manual equation of the story, an element's figure rows give
  // way to one row of the equation and the element's manual area.
  std::vector<std::vector<GS::UniString>> GetList(CPlenimetraParam* param, CAreaTree* node, short floor);
  // Fills the table part's parameters from the folder and the folder-table
  // style. A list table (list type 0) writes rows from *next on, at most
  // maxRows, advancing *next and *lines, and always a total row below them
  // that only the last table counts and shows; null rows take GetList. A
  // formula table (list type 1) is one row and sets *lines. The first
  // failing write ends the writes; the list is closed always.
  [[nodiscard]] GSErrCode SetParam(CPlenimetraParam* param, CAreaTree* node, short floor,
                     std::vector<std::vector<GS::UniString>>* rows, int* next, int maxRows, int* lines,
                     API_ParamOwnerType& owner, API_GetParamsType& params);
  // Places one table on the layer at the position (see SetParam).
  [[nodiscard]] GSErrCode CreateObject(CPlenimetraParam* param, CAreaTree* node, short floor, short layer, CKelCoord2D position,
                         std::vector<std::vector<GS::UniString>>* rows, int* next, int maxRows, int* lines);

  CAreaObjectManualEquationArray m_ManualEquationArray;

private:
  CAreaTree* GetOwnNode(CPlenimetraParam* param) const;
  const CAreaTree* GetOwnNode(const CPlenimetraParam* param) const;
};

// The document's folders in creation and load order. A list, so a folder's
// address stays valid while others are added or removed.
class CArea4ObjectArray : public std::list<CArea4Object> {
public:
  CArea4Object* Search(int code);
  const CArea4Object* Search(int code) const;

  // Base parts pair by pair; manual texts take no part.
  bool operator==(const CArea4ObjectArray& other) const;
  bool operator!=(const CArea4ObjectArray& other) const { return !(*this == other); }

  // Reading appends every folder read, also one that failed, which then
  // throws; a folder that cannot be written throws too.
  void Serialize(CArchive& ar, CPlenimetraParam* param);
};
