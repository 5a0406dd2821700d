#pragma once
// Floors as the document sees them: one record per story of the project,
// carrying the figure records placed on that story, its automatic-area
// records and the pattern codes that switch calculation patterns off there.
//
// A pattern code is the code of a calculation pattern's node in the
// document's working tree. Figure records are shared, not owned: copying a
// floor (or the whole document, or taking an undo snapshot) copies the
// shared pointers, so a figure changed through one copy is changed in all.

#include "CArea1Object.h"
#include "CAutoAreaParam.h"
#include "gs_unistring.h"
#include "host_api_types.h"

#include <vector>

class CArchive;
class CPlenimetraParam;
class CFloorParamArray;

// Pattern codes in insertion order, each at most once when filled by Add.
class CTreeCodeArray : public std::vector<int> {
public:
  CTreeCodeArray() = default;

  bool IsExisted2(int code) const;
  // Appends the code unless it is present already.
  void Add(int code);
  // Removes the first occurrence; nothing when the code is absent.
  void Erase(int code);

  // int count, then the codes; reading adds each through Add, so stored
  // duplicates collapse. Throws the archive's unsigned int.
  void Serialize(CArchive& ar);

private:
  static int Next(CArchive& ar);
};

// Automatic-area records of elements from hot-linked modules: such elements
// cannot carry user data, so their records live in the project record.
// A record is known by the element GUID inside its header.
class CHotLinkParamArray : public std::vector<CAutoAreaParam> {
public:
  // Whether the element belongs to a hot-linked module, as the host says;
  // false when the host call fails.
  static bool IsHotLink(const API_Guid& guid);

  bool IsHaveData(const API_Guid& guid) const;
  CAutoAreaParam* Search(const API_Guid& guid);
  // Replaces the contents of the record with the same element GUID, else
  // appends a copy.
  void Add(const CAutoAreaParam* record);
  // Erases the first record with the GUID; nothing when there is none.
  void Remove(const API_Guid& guid);

  // int count, then per record the element GUID and the record's fields.
  // Reading appends a record only for an element still hot-linked, with the
  // element's own header (a zero one with the GUID when it cannot be read);
  // the others are read and dropped. Throws the archive's unsigned int.
  void Serialize(CArchive& ar);
  // The old separate record of version kOldRecordVersion: missing, the
  // array is unchanged; another version empties it; a failed read keeps
  // what was read before it. The host's error when it could not give the
  // record, else 0.
  static constexpr const char* kOldRecordName = "PLENIMETRA_HOTLINK";
  static constexpr int kOldRecordVersion = 2001;
  [[nodiscard]] GSErrCode LoadData();
};

class CFloorParam {
public:
  // The record a floor list is resized with: story 0, calculated, no lists.
  CFloorParam() = default;
  CFloorParam(short floorNo, const GS::UniString& name, bool calc, CTreeCodeArray calcExclude,
              CTreeCodeArray outputExclude, CArea1ObjectArray figures, CAutoAreaParamArray autoAreas,
              CHotLinkParamArray hotLinks);

  // Whether the pattern with the tree code is calculated on this floor: in
  // per-floor mode the floor's own switch, otherwise unless the code is in
  // the floor's list of excluded patterns.
  bool IsCalc(const CFloorParamArray* floors, int treeCode) const;
  bool IsOutputWorksheet(int treeCode) const;

  // Story, switch, then from the record versions that added them the
  // excluded codes, the figures, the hot-link records and the output
  // exclusions. Throws the archive's unsigned int on a short read and when
  // the figures cannot be written.
  void Serialize(CArchive& ar, CPlenimetraParam* param);

  short m_FloorNo = 0;                      // story index
  CTreeCodeArray m_CalcExcludeCodes;        // patterns not calculated here (list mode)
  CTreeCodeArray m_OutputExcludeCodes;      // patterns left out of this floor's worksheet
  bool m_bCalc = true;                      // calculated (per-floor mode)
  GS::UniString m_FloorName;                // refreshed from the stories on load, never stored
  CArea1ObjectArray m_Area1ObjectArray;     // the story's figure records (shared)
  CAutoAreaParamArray m_AutoAreaParamArray; // collected again from user data on load
  CHotLinkParamArray m_HotLinkParamArray;
};

class CFloorParamArray : public std::vector<CFloorParam> {
public:
  CFloorParamArray() = default;

  // The first floor of the story, or null.
  CFloorParam* Search(short floorNo);
  const CFloorParam* Search(short floorNo) const;
  // The number of floors on which the pattern is calculated, by the test of
  // IsCalc with the document's own floor list.
  static int GetTotalLines(const CPlenimetraParam* doc, int treeCode);

  // int count, the floors, the per-floor mode flag (read from 1028 on).
  // Reading replaces the list. Throws the archive's unsigned int on a short
  // read and when a floor cannot be written.
  void Serialize(CArchive& ar, CPlenimetraParam* param);

  // true: each floor's m_bCalc decides; false: each floor's excluded list.
  bool m_bCalcPerFloor = true;
};
