#pragma once
// Automatic-area records as data. An automatic area is the set of figures
// the system cuts out of one source element (a zone, slab, fill or closed
// polyline) of a story; the record keeps, per source element, how its
// outline is cut and which mark and numbering its figures take. Each figure
// links back to its source through CAutoAreaParamCodeList.
//
// Stored forms:
//  - user data of the source element (type 700, version 9), through
//    Serialize(CPlenimetraUserDataCore&); records of every version 1..9 read;
//  - the project record, for elements of hot-linked modules (they cannot
//    carry user data), through SerializeRecord(CArchive&); the source GUID
//    is written by the list that holds the record.
// Both readers bound the old code list by the bytes that remain.

#include "CodeTables.h"
#include "gs_guid.h"
#include "gs_unistring.h"
#include "host_api_types.h"

#include <memory>
#include <vector>

class CArchive;
class CArea1Object;
class CAutoAreaListings;
class CFloorParam;
class CPlenimetraParam;
class CSelectList;
class CPlenimetraUserDataCore;

// How an outline is cut into figures.
class CAutoCutType {
public:
  enum AUTOCUTTYPE : int {
    AUTOCUTTYPE_TRIANGLE = 1,    // triangles only
    AUTOCUTTYPE_HORIZONTAL = 2,  // strips cut by horizontal lines
    AUTOCUTTYPE_VERTICAL = 3,    // strips cut by vertical lines
    AUTOCUTTYPE_EDGE = 4,        // strips along the outline's main edge direction
  };

  bool operator==(const CAutoCutType&) const = default;

  // Archive form (document dump): int kind, then the three flags in order.
  void Serialize(CArchive& ar);

  AUTOCUTTYPE m_Type = AUTOCUTTYPE_TRIANGLE;
  bool m_bWithHoles = true;    // holes become subtracted figures
  bool m_bCutAcross = false;   // kind 4: cut across the main direction
  bool m_bFollowEdges = true;  // kind 4: main direction from the edges, else the x axis
};

// A figure's link to the source element it was cut from; all zero for a
// figure placed by hand.
class CAutoAreaParamCodeList {
public:
  bool operator==(const CAutoAreaParamCodeList&) const = default;

  bool IsNull() const { return m_Operator == COperatorTable::OPERATOR_NONE && m_ElemGuid.IsNull(); }
  void Clear() { *this = CAutoAreaParamCodeList(); }

  // Archive form (document dump): GUID, then int operator.
  void Serialize(CArchive& ar);

  COperatorTable::OPERATOR m_Operator = COperatorTable::OPERATOR_NONE;  // 1 added, 2 subtracted
  GS::Guid m_ElemGuid;
};

class CAutoAreaParam {
public:
  static constexpr short kUserDataVersion = 9;

  // A copy of the element's header (all zero without one) and the default cut.
  explicit CAutoAreaParam(const API_Elem_Head* head = nullptr);

  bool operator==(const CAutoAreaParam&) const = default;

  const API_Guid& GetGuid() const { return m_ElemHead.guid; }
  short GetFloor() const { return m_ElemHead.floorInd; }
  // Whether the early-version code list holds the figure code.
  bool SearchOld(int code) const;

  // The user-data form, in the stream's direction. Reading follows the
  // stored version; a short or refused read throws the stream's unsigned int.
  void Serialize(CPlenimetraUserDataCore& data);
  // The project-record form (without the GUID), gated by the archive version;
  // throws the archive's unsigned int on a short or refused read.
  void SerializeRecord(CArchive& ar);

  // == Operations on the record's store (CAutoAreaParamStore.cpp) ==
  // The store is the element's user data, or for an element of a hot-linked
  // module its floor's hot-link list. The floor is the first floor of the
  // header's story; without one the operations change nothing and answer
  // false or APIERR_BADINDEX.
  // Whether the element carries a record; a failing host call gives false.
  bool IsHaveData(const CPlenimetraParam* param) const;
  // The same, telling a failing host read (its error) from no record (0,
  // has false; also for user data that is no record at all).
  [[nodiscard]] GSErrCode FindData(const CPlenimetraParam* param, bool& has) const;
  // Fills the record from its store, then SetItemType. An element without
  // user data: 0, nothing else. A record that cannot be read leaves this
  // record unchanged and answers APIERR_BADPARS.
  int Load(CPlenimetraParam* param);
  // m_AutoCutType = cutType, then writes the record to its store.
  int Save(CPlenimetraParam* param, CAutoCutType cutType);
  // Empties the store: the hot-link entry goes, user data becomes an empty
  // block.
  int ClearData(CPlenimetraParam* param);
  // Gives the record a mark type and numbering style: from its first figure
  // that has both (the record is then saved), else the document's current
  // choices (not saved).
  int SetItemType(CPlenimetraParam* param);
  // The figures of the record's floor linked to its element, in list order.
  std::vector<std::shared_ptr<CArea1Object>> GetAutoArea(const CPlenimetraParam* param) const;
  // Deletes the record's figures through the document. When freedNumbers
  // is given, the item numbers of the figures sharing the first figure's
  // mark and numbering are appended to it first, in figure order, for the
  // new figures to take again.
  int DoDeleteArea1(CPlenimetraParam* param, CSelectList* freedNumbers);
  // The item numbers DoDeleteArea1 frees for these figures.
  static void FreedNumbers(const std::vector<std::shared_ptr<CArea1Object>>& figures, CSelectList& numbers);
  // Clears the figure's link to its source.
  static void Area1Deleted(CArea1Object* figure);

  // == Rebuilding (CPlenimetraParamAutoAreaBuild.cpp) ==
  // Rebuilds the figures from the element's outline, all or nothing: the
  // old figures are set aside (their numbers freed for the new ones, which
  // take them in the old order before counting from startNo), the new ones
  // placed, linked and saved and the record saved; only then do the old
  // figures' elements and their entries go, all of them or none. On any
  // failure what was placed is deleted and the old figures come back as
  // they were. An unreadable or
  // refused outline keeps the old figures; an empty one deletes them and
  // saves nothing. A piece that could not be cut leaves m_bChanged set.
  int DoCreateArea1(CPlenimetraParam* param, int& startNo);
  // Rebuilds a changed record and merges its new figures into the
  // calculation elements that take this area on its story. A failure keeps
  // m_bChanged and is returned.
  int UpdateAutoArea(CPlenimetraParam* param);

  // Records of early versions stored no operator on their figures: each
  // figure takes it from the contour it is found on (the outer one adds, a
  // hole takes away; arcs by their sense). A record already marked changed
  // is left alone. (CPlenimetraParamAutoAreaOld.cpp)
  int CheckOldAutoArea(CPlenimetraParam* param);

  // == Checking against the element (CPlenimetraParamAutoAreaCheck.cpp) ==
  // Marks the record changed (m_bChanged) when its figures no longer match
  // the element: a missing figure or one of a kind the cut never makes, an
  // operator other than added or subtracted, a signed area more than
  // KelTol::AutoAreaChanged m2 from the element's, or a calculation element
  // that lists the area without listing exactly its figures. Answers the
  // error of the element-area query.
  int CheckAutoArea(CPlenimetraParam* param);
  // The same check with the calculation elements' listings of every area
  // gathered once, for a check of many records.
  int CheckAutoArea(CPlenimetraParam* param, const CAutoAreaListings& listings);
  // The source element's area in m2 (0 when it cannot be measured).
  int GetElementArea(double* area) const;

  // == Texts and colour of the source element (CAutoAreaParamStore.cpp) ==
  GS::UniString GetName() const;
  GS::UniString GetInfo() const;
  GS::UniString GetRoomName() const;
  GS::UniString GetRoomNo() const;
  GS::UniString GetZoneCategory() const;
  // The zone's category colour unless black; white otherwise.
  API_RGBColor GetColor() const;

  std::vector<int> m_CodeList;  // figure codes, kept only by records older than version 7
  API_Elem_Head m_ElemHead;     // the source element: type, GUID, story, layer
  CAutoCutType m_AutoCutType;
  CItemType1Table::ITEMTYPE m_ItemType1 = CItemType1Table::ITEMTYPE_NONE;  // 0: not chosen yet
  CItemType2Table::ITEMTYPE m_ItemType2 = CItemType2Table::ITEMTYPE_NONE;
  bool m_bChanged = false;  // the figures no longer match the element

private:
  // The versions at which the fields appeared in one stored form.
  struct Gates;
  static const Gates kUserDataGates;
  static const Gates kRecordGates;
  template <class Stream> void WriteFields(Stream& out) const;
  template <class Stream> void ReadFields(Stream& in, int version, const Gates& gates);
};

// The records of one story, in the order they were added.
class CAutoAreaParamArray : public std::vector<CAutoAreaParam> {
public:
  // The first record of the element, or null.
  CAutoAreaParam* Search(const API_Guid* guid);
  const CAutoAreaParam* Search(const API_Guid* guid) const;
  // The first record whose early-version code list holds the figure code.
  CAutoAreaParam* SearchOld(int code);
  // Replaces every field of the record with the same element GUID, else
  // appends a copy.
  void Add(const CAutoAreaParam& record);

  // Releasing a record: its figures lose their link (they stay as ordinary
  // figures), then the record leaves the list. ReleaseAutoArea also empties
  // the record's store; Remove does not. Nothing for an unknown element.
  void Remove(CPlenimetraParam* param, const API_Guid* guid);
  int ReleaseAutoArea(CPlenimetraParam* param, const CAutoAreaParam& record);
  // A figure was deleted: its link is cleared when the list holds a record.
  void Area1Deleted(CArea1Object* figure) const;

private:
  void Unlink(const CPlenimetraParam* param, const CAutoAreaParam& record);
};
