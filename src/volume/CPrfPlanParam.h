#pragma once
// Floor profiles: the storeys of one building, and the conversion of a height
// between metres and (floor number, offset above that floor's reference level).
//
// Vocabulary
//   entry k        CPrfFloor k of a profile; k = 0 ... m_T.
//   level L(k)     entry k's m_Level: the top of storey k; L(0) is the bottom of
//                  the lowest storey.
//   base level     entry 0's m_Height (the ground floor's level, L(m_B)).
//   storey index   0 ... m_T; i > 0 names storey i counted from the bottom,
//                  0 stands for the base level.
//   floor number   -m_B ... -1 the basements (-1 just below the base level),
//                  0 the base level, 1 ... m_G the above-ground group, and
//                  m_GMax + k the k-th storey of the upper group.
//   reference level of a floor number: L(its storey index), the base level for
//                  floor 0. A height is reference level + offset.
//
// A profile is usable for conversions when its entries cover the levels its
// counts address: at least m_B + m_G + 1 entries and at least 2. An item that
// is not usable acts as no profile: the height keeps floor 0 and offset =
// height. Metres throughout; no tolerance beyond the compares below.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class CKelArchiveCore;

#pragma pack(push, 1)
// Old C record of one profile: counts and the index of its first entry in the
// shared SFloorsTag array.
struct PRFPLNTag {
  std::uint16_t T = 0;
  std::uint16_t B = 0;
  std::uint16_t G = 0;
  std::uint16_t P = 0;
  std::uint16_t First = 0;
};
// Old C record of one entry: height, then level, in single precision.
struct SFloorsTag {
  float Height = 0;
  float Level = 0;
};
#pragma pack(pop)
static_assert(sizeof(PRFPLNTag) == 10 && sizeof(SFloorsTag) == 8);

class CPrfFloor {
public:
  double m_Height = 0;  // storey height (entry k >= 1) or the base level (entry 0)
  double m_Level = 0;   // level of the storey's top (entry 0: bottom of the lowest)

  CPrfFloor() = default;
  CPrfFloor(double height, double level) : m_Height(height), m_Level(level) {}

  // Both fields within KelTol::BlockOnEdge, bounds included.
  bool operator==(const CPrfFloor& other) const;
  bool operator!=(const CPrfFloor& other) const { return !(*this == other); }
  bool IsNearlyEqual(const CPrfFloor& other) const;

  // Tag "CPrfFloor" from version 2; height, level.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
};

class CPrfFloorArray : public std::vector<CPrfFloor> {
public:
  bool operator==(const CPrfFloorArray& other) const;
  bool operator!=(const CPrfFloorArray& other) const { return !(*this == other); }
  bool IsNearlyEqual(const CPrfFloorArray& other) const;

  // Tag "CPrfFloorArray" from version 2; i32 count, the entries. A count the
  // bytes left cannot hold is refused before anything is resized.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
};

class CPrfPlanItem {
public:
  std::uint16_t m_T = 0;  // total storeys
  std::uint16_t m_B = 0;  // basements
  std::uint16_t m_G = 0;  // above-ground group
  std::uint16_t m_P = 0;  // upper group, floor numbers from m_GMax on
  CPrfFloorArray m_Floor; // entries 0 ... m_T

  bool operator==(const CPrfPlanItem& other) const;
  bool operator!=(const CPrfPlanItem& other) const { return !(*this == other); }
  bool IsNearlyEqual(const CPrfPlanItem& other) const;

  // --- Conversions --------------------------------------------------------
  // See the vocabulary above.
  bool IsUsable() const;
  // Splits z into the floor whose reference level is the highest not above z
  // (clamped to -m_B ... m_G; the upper group is never chosen) and the offset.
  // Leaves both outputs as they were when the profile is not usable or its
  // levels do not increase; callers preset floor 0 and offset z.
  void SetFlrLevel2(double z, int* pFlr, double* pOff) const;
  // mode != 0: floor number -> storey index, -1000 outside the profile;
  // mode 0: storey index -> floor number.
  int GetConvFlr(int mode, int value) const;
  // Levels at the bottom and top of storey index: i > 0 gives L(i-1), L(i)
  // and false; i = 0 the base level twice and true; a negative index, or one
  // past the entries, gives 0.0 twice and true.
  bool SBGetFlrL(int index, double* pLow, double* pHigh) const;
  // A uniform profile for the stored m_T: every storey height, the base level
  // at L(m_B). Nothing happens when m_B exceeds m_T.
  void SBCalcEx(double base, double height);

  // --- Names of level j (the top of storey j) -----------------------------
  // "B%dF" below the base level, "%d階" above it, "RF" for the roof level m_T.
  void SetContourFloorName(std::string& name, int level) const;
  // "B%d", "%d", "R".
  void SetFloorName(std::string& name, int level) const;

  // --- Old records --------------------------------------------------------
  // 0 when the counts equal tag's and entries 0 ... m_T equal floors[k]
  // within KelTol::BlockPoint (strict); 1 otherwise, also when floors holds
  // fewer entries than that. floors begins at the profile's first entry.
  int Compare(const PRFPLNTag& tag, std::span<const SFloorsTag> floors) const;
  // The four counts, first-entry index 0.
  PRFPLNTag GetOldParam() const;

  // Tag "CPrfPlanItem" from version 2; T, B, G, P as u16; the entries.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);

private:
  // L(k), 0.0 past the entries.
  double Level(int k) const;
};

class CPrfPlanParam : public std::vector<CPrfPlanItem> {
public:
  static constexpr int m_GMax = 100;

  bool operator==(const CPrfPlanParam& other) const;
  bool operator!=(const CPrfPlanParam& other) const { return !(*this == other); }
  bool IsNearlyEqual(const CPrfPlanParam& other) const;

  // The profile PpNo, null for any index outside the list (a stored PpNo can
  // name anything). Every caller treats null as "no profile".
  const CPrfPlanItem* GetCurProf(int PpNo) const;
  CPrfPlanItem* GetCurProf(int PpNo);

  // z, and its split into floor and offset by profile PpNo (floor 0 and
  // offset z without a usable one).
  void SetZ(int PpNo, double& z, double& off, int& flr, double value) const;
  // Floor number flr (clamped to -m_B ... m_G) with the kept offset; the
  // height follows. Without a usable profile the floor becomes 0 and the
  // offset the height.
  void SetFlr(int PpNo, double& z, double& off, int& flr, int value) const;
  // Sets the offset and moves the height by the change.
  static void SetOff(double& z, double& off, double value);
  // m_T = m_B + m_G + m_P and the levels from the base level and the storey
  // heights, for every item whose entries number m_B + m_G + m_P + 1 (others,
  // and items whose counts overflow 16 bits, untouched; items without
  // entries get only m_T).
  void SBCalcFL();
  int FlrCnt() const;
  void Clear() { clear(); }

  // --- Old records --------------------------------------------------------
  // Replaces the list by the old records; false (list unchanged) when an
  // item's entries reach past floors.
  [[nodiscard]] bool FromOldParam(std::span<const PRFPLNTag> tags, std::span<const SFloorsTag> floors);
  // The old records of the list; false (outputs empty) when an item breaks
  // the invariant (m_T = 0 without entries, or m_T + 1 entries) or the
  // entries outgrow the 16-bit first-entry index.
  [[nodiscard]] bool GetOldParam(std::vector<PRFPLNTag>& tags, std::vector<SFloorsTag>& floors) const;

  // Tag "CPrfPlanParam" from version 2; i32 count, the items.
  [[nodiscard]] bool Serialize2(CKelArchiveCore& ar);
  // Archive callback of the lists: Serialize2 on *static_cast<CPrfPlanParam*>(pParam).
  [[nodiscard]] static bool Serialize(CKelArchiveCore& ar, int, void* pParam, void*);
};
