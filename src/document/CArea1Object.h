#pragma once
// Figure records. A figure is a library-part object placed on a floor plan
// (triangle, rectangle, trapezoid, circle, ellipse, sector, circular
// segment) whose dimensions give an area; CArea1Object is the document's
// record of one: code, sort position, mark and item number, rounding, the
// line breaks of its formula, its kind and its link to an automatic area.
// The figure kinds derive from it and add geometry, formula and area.
//
// Units: GetOrgArea is the raw area in 1e-8 m2; GetRoundArea the rounded
// area in 1e-6 m2.
//
// Ownership: figure records are shared on purpose. A floor's list, copies of
// a floor, document copies, undo snapshots and the entries of calculation
// elements all hold std::shared_ptr to the same record, so a figure changed
// through any of them changes everywhere and none can outlive it.
//
// Stored forms: the project record keeps kind, code, sort index and item
// number per figure (CArea1ObjectArray::Serialize); the full record travels
// in the user data of the figure's own element (type 700, version 9,
// Serialize(CPlenimetraUserDataCore&)), every version 1..9 readable.

#include "CAutoAreaParam.h"
#include "CCrMark.h"
#include "CKelAreaCoord2D.h"
#include "CKelCoord.h"
#include "CodeTables.h"
#include "gs_guid.h"
#include "gs_unistring.h"
#include "host_api_types.h"
#include "host_libpart.h"

#include <array>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

class CArchive;
class CArea1ObjectArray;
class CDumpFigure;
class CPlenimetraParam;
class CPlenimetraUserDataCore;

class CArea1Object {
public:
  // The figure kinds; 2 is an old rectangle that loads as TYPE_RECTSLANT.
  enum TYPE : int {
    TYPE_NONE = 0,
    TYPE_TRIANGLE = 1,
    TYPE_RECT = 2,
    TYPE_RECTSLANT = 3,
    TYPE_ARC3POINT = 4,
    TYPE_ARCCENTER = 5,
    TYPE_TRAPEZOID = 6,
    TYPE_ARC = 7,
    TYPE_CIRCLE = 8,
    TYPE_ELLIPSE = 9,
  };
  static constexpr int kTypeMax = TYPE_ELLIPSE;

  static constexpr int kUserDataType = 700;
  static constexpr short kUserDataVersion = 9;
  // The document's code range (DocCode).
  static bool IsValidCode(int code);
  static bool IsValidNumber(int number);

  // Sort index -1 (not yet ordered), rounding 4 (the figure default), zero
  // element record, no line-break marks, no automatic-area link, automatic
  // line breaks on. The document is not kept.
  CArea1Object(CPlenimetraParam* param, TYPE type, int code, CItemType1Table::ITEMTYPE mark,
               CItemType2Table::ITEMTYPE numbering, int no);
  virtual ~CArea1Object() = default;

  // == Operations of the figure kinds, in slot order ==
  [[nodiscard]] virtual GSErrCode ChangeParam(CPlenimetraParam* param, bool refresh) = 0;
  // A copy of this figure on another floor, through the common CopyObject.
  [[nodiscard]] virtual GSErrCode CopyObject(CPlenimetraParam* param, short floor) = 0;
  // The common part of copying: dest joins the floor's list and gets a new
  // element with this figure's parameters and dest's record in user data.
  [[nodiscard]] virtual GSErrCode CopyObject(CPlenimetraParam* param, short floor, const std::shared_ptr<CArea1Object>& dest);
  // The common part of the user-data record; the kinds append theirs. A
  // short or refused read throws the stream's unsigned int.
  virtual void Serialize(CPlenimetraUserDataCore& data);
  // True when a label on the placed part differs from the one formatted now
  // (a label the part lacks counts as empty); false when the part's list
  // cannot be read.
  virtual bool CheckStringParameter(CPlenimetraParam* param) = 0;
  // Updates the figure's own automatic line-break marks; the document is
  // only read.
  virtual GS::UniString GetEquation(const CPlenimetraParam* param, bool allBreaks, double width) = 0;
  virtual long long GetOrgArea(const CPlenimetraParam* param) const = 0;
  // Placing the figure from points (the kind's corner order; arcs {centre,
  // start, end}) on the story, and reading its points back: the way the
  // automatic areas reach the kinds. A kind that cannot be placed from
  // points answers APIERR_BADPARS and no points.
  [[nodiscard]] virtual GSErrCode Create(CPlenimetraParam* param, CKelAreaCoord2D points, short floor);
  virtual CKelAreaCoord2D GetCoord();
  // Placing the figure's part from a document dump's values (sizes A and
  // B, anchor, rotation, the kind's shape values) on the story and layer.
  // A kind that cannot be placed so answers APIERR_BADPARS.
  [[nodiscard]] virtual GSErrCode CreateFromDump(CPlenimetraParam* param, short floor, short layer, const CDumpFigure& values);
  // The area of the placed part's own shape in m2: its unrounded lengths
  // and the exact pi, as the host measures the element an automatic area
  // was cut from. GetOrgArea's preset pi and lengths cut to the rounding
  // would leave every cut area a little "changed"; 0 for the kinds a cut
  // never makes.
  virtual double GetShapeArea() const { return 0; }

  // == Texts and values ==
  // The mark as printed before the item number: nothing for no mark.
  GS::UniString GetMarkStr(const CPlenimetraParam* param) const;
  GS::UniString GetItemNoStr(const CPlenimetraParam* param) const;
  GS::UniString GetRoundTypeStr(const CPlenimetraParam* param) const;
  // The raw area rounded by m_RoundType with the preset's figure item.
  long long GetRoundArea(const CPlenimetraParam* param) const;
  bool IsDefaultRoundType(const CPlenimetraParam* param) const;
  // "*" first when the rounding is not the figure default.
  GS::UniString GetRoundAreaStr(const CPlenimetraParam* param) const;
  // The raw area with all eight decimals: 12.34567891.
  GS::UniString GetOrgAreaStr(const CPlenimetraParam* param) const;
  int GetEquationLines() const;
  GS::UniString GetInfo() const;
  GS::UniString GetLayerName() const;
  // The pen of the one element of the current pattern listing this figure;
  // 0 without a pattern and when none or several list it.
  int GetColor(const CPlenimetraParam* param) const;

  // == Formula building (widths in UTF-16 units) ==
  // Sets mark i-1 when term i would run past the width, else clears it.
  static void SetAutoCr(const CPlenimetraParam* param, const std::vector<GS::UniString>& terms, CCrMarkArray& marks,
                        int width);
  // The terms joined, "#" at each break (every gap with allBreaks). The
  // marks grow to the formula's gaps first, so they always cover it.
  GS::UniString GetEquation(const CPlenimetraParam* param, bool allBreaks, const std::vector<GS::UniString>& terms,
                            int width);

  // == Persistence ==
  // The figure's part of the project record: code, sort index, item number
  // (read from record version 1002 on). Throws the archive's unsigned int.
  void Serialize(CArchive& ar);
  // Writes the record into the element's user data; the stream's error.
  [[nodiscard]] GSErrCode Save();
  // Why a user-data record was refused.
  enum class LoadFault {
    None,
    Version,  // a version this program does not know
    Damaged,  // cut short, or a code or number no figure can have
    Kind,     // a record of another figure kind than this one
  };
  // Reads the record from the element's user data and completes the link of
  // old versions from the floor's automatic areas. No user data: 0, values
  // kept. A record that is short, refused or of another version range
  // leaves the figure unchanged and answers APIERR_BADPARS; fault, when
  // given, then says why.
  [[nodiscard]] GSErrCode Load(CPlenimetraParam* param, const API_Elem_Head* head, LoadFault* fault = nullptr);
  // Copies everything but code and kind into another record of the same
  // code and kind.
  void Set(CArea1Object* other) const;
  bool SetData(CArea1ObjectArray* list) const;

  // == Placement ==
  [[nodiscard]] GSErrCode CreateElement(CPlenimetraParam* param, API_Element* element, short layer);
  // Mark and numbering from the placed element's parameters.
  [[nodiscard]] GSErrCode LoadMark(CPlenimetraParam* param, const API_Elem_Head& head);

  // == Members ==
  int m_Code;
  int m_SortIndex = -1;  // 0-based position among the floor's figures; -1 not ordered
  // The index the figure's own record holds, and the place the figure had
  // when it was read or written. A list that closes a gap in memory only
  // keeps the recorded indices (another user may hold those figures), so a
  // figure written again at its place keeps its recorded index and the
  // records go on ordering the figures as the list shows them.
  struct RecordedIndex {
    int place = -1;
    int stored = -1;
  };
  RecordedIndex m_Recorded;
  // The sort index a write of the record stores now.
  int RecordSortIndex() const { return m_SortIndex == m_Recorded.place ? m_Recorded.stored : m_SortIndex; }
  int m_No;              // 0-based index into the numbering style; negative: none
  CItemType1Table::ITEMTYPE m_ItemType1;
  CItemType2Table::ITEMTYPE m_ItemType2;
  API_Element m_Element;  // the figure's element as last read or created
  CRoundTypeTable::ROUNDTYPE m_RoundType = CRoundTypeTable::ROUNDTYPE_DEFAULT;
  CCrMarkArray m_Cr;  // one mark per gap between the formula's terms
  TYPE m_Type;
  CAutoAreaParamCodeList m_AutoArea;  // source element of an automatic area
  bool m_bAutoCr = true;              // line breaks follow the column width

protected:
  // Fetches the placed element's parameters (floor plan made current for
  // it, the user's database current again afterwards) into params.
  [[nodiscard]] GSErrCode GetElementParams(API_AddParType**& params) const;
  // Reads the user-data record into this figure: the stream's error
  // (APIERR_NOUSERDATA included), or APIERR_BADPARS with the figure
  // unchanged for a record that is short, of an unknown version, of another
  // kind or with a code or number no figure can have (fault says which).
  [[nodiscard]] GSErrCode ReadUserData(const API_Elem_Head* head, short* version, LoadFault* fault);

private:
  struct Common;
  Common TakeCommon() const;
  void PutCommon(const Common& common);
  LoadFault JudgeReadRecord(const Common& before);
  void CompleteOldLink(CPlenimetraParam* param, const API_Elem_Head* head, short version);
};

// The plain record that reads the common part of any figure element without
// knowing its kind.
class CArea1ObjectCore : public CArea1Object {
public:
  explicit CArea1ObjectCore(CPlenimetraParam* param = nullptr, TYPE type = TYPE_NONE, int code = 0,
                            CItemType1Table::ITEMTYPE mark = CItemType1Table::ITEMTYPE_NONE,
                            CItemType2Table::ITEMTYPE numbering = CItemType2Table::ITEMTYPE_NONE, int no = -1);

  using CArea1Object::CopyObject;
  using CArea1Object::GetEquation;
  using CArea1Object::Load;
  using CArea1Object::Serialize;

  [[nodiscard]] GSErrCode ChangeParam(CPlenimetraParam*, bool) override { return 0; }
  [[nodiscard]] GSErrCode CopyObject(CPlenimetraParam*, short) override { return 0; }
  bool CheckStringParameter(CPlenimetraParam*) override { return false; }
  GS::UniString GetEquation(const CPlenimetraParam*, bool, double) override { return {}; }
  long long GetOrgArea(const CPlenimetraParam*) const override { return 0; }

  [[nodiscard]] GSErrCode Save() { return 0; }
  // The common record from the element's user data; unlike the figure's
  // Load, an element without user data answers APIERR_NOUSERDATA.
  [[nodiscard]] GSErrCode Load(const API_Elem_Head* head);
  [[nodiscard]] GSErrCode CreateElement(CPlenimetraParam*, API_Element*, short) { return 0; }
};

// A selection of figures; shares them with their floors.
class CArea1ObjectPtrArray : public std::vector<std::shared_ptr<CArea1Object>> {
public:
  // Appends unless the same record is present.
  void Add(const std::shared_ptr<CArea1Object>& figure);
  int SearchIndex(int code) const;  // -1 when none
  int GetMaxItemNo() const;         // -1 when empty
};

// The figures of one floor in list order (the order they were added or
// loaded). clear() drops the list's shares, never a figure others hold.
class CArea1ObjectArray : public std::vector<std::shared_ptr<CArea1Object>> {
public:
  std::shared_ptr<CArea1Object> Search(int code) const;
  std::shared_ptr<CArea1Object> Search(const API_Elem_Head* head) const;
  // Unlinks the first figure of the element; the figure itself stays.
  bool Remove(const API_Elem_Head* head);
  void Remove(const CArea1ObjectPtrArray& figures);

  int GetSize(short layer) const;
  bool IsExistNo(const CPlenimetraParam* param, CItemType1Table::ITEMTYPE mark, CItemType2Table::ITEMTYPE style,
                 int no) const;
  int GetMaxItemNo(const CPlenimetraParam* param, CItemType1Table::ITEMTYPE mark,
                   CItemType2Table::ITEMTYPE style) const;
  // The smallest free item number of the pair from start (from 0 when the
  // settings fill gaps).
  int GetStartNo(const CPlenimetraParam* param, CItemType1Table::ITEMTYPE mark, CItemType2Table::ITEMTYPE style,
                 int start) const;
  // Numbers the figures of each (mark, numbering) pair; a failed save of a
  // renumbered figure is returned. Without save, in memory only: the
  // caller writes the figures whose number moved.
  [[nodiscard]] GSErrCode CheckItemNo(CPlenimetraParam* param, bool save = true);
  // Unless the sort indices are already a permutation of 0..n-1, numbers
  // them so in the order they give (repeated ones in list order, unordered
  // ones last, as a figure just added) and saves each figure whose index
  // changed: the order the user gave the list survives figures added or
  // removed. A failed save is returned.
  [[nodiscard]] GSErrCode SetSortIndex();
  // Numbers the sort indices 0..n-1 in the order of the indices they have
  // (unordered ones last), in memory only: the stored indices keep their
  // gaps for figures that are placed but left out of the list.
  void CloseSortIndexGaps();
  // The figures whose sort index or number the list takes when the leaving
  // figures are gone and SetSortIndex and CheckItemNo have run: what such
  // an edit writes. Worked out in memory; every figure keeps what it has.
  std::vector<CArea1Object*> MovedWithout(CPlenimetraParam* param, const CArea1ObjectPtrArray& leaving) const;

  // The floor's figures in the project record. Reading appends to the list;
  // kinds 1..9 are built by the document's figure factory, other kinds are
  // skipped with their three numbers. Throws the archive's unsigned int on
  // a short read, on a kind the factory does not know and on a code that
  // cannot be a figure's.
  void Serialize(CArchive& ar, CPlenimetraParam* param);

  // The figures' area table: one table part per call, up to maxRows rows
  // from figure *start; *start and *lines advance.
  [[nodiscard]] GSErrCode CreateObject(CPlenimetraParam* param, short floor, CKelCoord2D position, int* start, int maxRows,
                         int* lines);
  [[nodiscard]] GSErrCode SetParam(CPlenimetraParam* param, short floor, int* start, int maxRows, int* lines,
                     API_ParamOwnerType& owner, API_GetParamsType& params);

private:
  // One stored figure appended; false when it cannot be rebuilt or carries
  // a code or number no figure can have.
  void ReadFigure(CArchive& ar, CPlenimetraParam* param);
  // The figures on the figure layer in use, by sort index (stable).
  std::vector<CArea1Object*> GetTableRows(CPlenimetraParam* param) const;
  [[nodiscard]] GSErrCode SetTableHeader(CPlenimetraParam* param);
  [[nodiscard]] GSErrCode SetTableRows(CPlenimetraParam* param, int* start, int maxRows, int* lines, int* rows);
  [[nodiscard]] GSErrCode SetTableTotal(CPlenimetraParam* param, int rows);

  // The position of each figure by its element's guid, for a story of
  // thousands that the host reports on element by element. The list is a
  // plain vector changed in many places, so the index is a hint: an entry
  // is checked against the list before it is believed, and the index is
  // built again when a figure is found where it does not point.
  mutable std::unordered_map<GS::Guid, std::size_t> m_GuidIndex;
  void Reindex() const;
};

// Builds the figure record of a stored kind. The document owns one; the
// figure kinds register their constructors, so the document's readers never
// need to know the kinds.
class CArea1ObjectFactory {
public:
  using Maker = std::function<std::shared_ptr<CArea1Object>(
      CPlenimetraParam* param, int code, CItemType1Table::ITEMTYPE mark, CItemType2Table::ITEMTYPE numbering, int no)>;

  // Kinds outside 1..9 are refused (false).
  bool Register(CArea1Object::TYPE type, Maker maker);
  bool IsRegistered(CArea1Object::TYPE type) const;
  // A new record of the kind, or null when no maker is registered. The old
  // rectangle (2) is built by the maker of TYPE_RECTSLANT unless it has its
  // own.
  std::shared_ptr<CArea1Object> Create(CPlenimetraParam* param, CArea1Object::TYPE type, int code,
                                       CItemType1Table::ITEMTYPE mark, CItemType2Table::ITEMTYPE numbering,
                                       int no) const;

private:
  std::array<Maker, CArea1Object::kTypeMax + 1> m_Makers;
};
