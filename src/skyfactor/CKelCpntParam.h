#pragma once
// Check points at walls (Cpnt = check point): points on or just outside a
// wall of a building block at which shadow times and the sky factor are
// evaluated.
//
//   CKelCpntTable  one check point: its position (world metres), its
//                  shadow-sphere data, its times (milliseconds, -1 not
//                  computed), the block and wall it lies at, display flags.
//   CKelCpntParam  the check points of one wall, held by the wall through
//                  CKelCpntParamCore; its factory, installed when the
//                  program starts, lets walls load lists that hold points.
//
// Stored forms:
//   Serialize        tag "CKelCpntTable" from archive version 2; the fields,
//                    the shadow-sphere data, the position;
//   _CPntItem        58 bytes, the position in single precision; the wall
//                    offset and shadow-sphere data are not in it;
//   ChekPointDataTag 22 bytes, the oldest form (position, two times, number);
//   list file        i32 count, then the 58-byte records (ReadCPntData).
// Readers bound every count by the bytes left and hand over nothing when
// they fail.

#include <cstdint>
#include <memory>
#include <vector>

#include "CHikageSphereParam.h"
#include "CKelCoord.h"
#include "CKelCpntParamCore.h"
#include "CKelObject.h"
#include "CKelVectorArray.h"
#include "CSelectList.h"

class CKelArchiveCore;
class CKelBaseParam;
class CKelBlockCubeArray;
class CKelFileIO;

// The 58-byte record of a check point, field by field (no padding on file).
struct _CPntItem {
  static constexpr int kBytes = 58;

  float x = 0, y = 0, z = 0;
  std::int32_t m_Time = -1;
  std::int32_t m_Option = 0;
  std::int16_t m_No = -1;
  std::int16_t m_BlockNo = -1;
  std::int16_t m_WallNo = -1;
  std::int32_t m_TimeA = 0, m_TimeB = 0, m_TimeC = 0;
  double m_Len1 = 0, m_Len2 = 0;
  std::uint32_t m_Flag = 3;

  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
  // Takes kBytes from the budget first.
  [[nodiscard]] bool LoadData(CKelFileIO& f, int* budget);
};

// The oldest record of a check point: 22 bytes.
struct ChekPointDataTag {
  static constexpr int kBytes = 22;

  float x = 0, y = 0, z = 0;
  std::int32_t m_Time = -1;
  std::int32_t m_Option = 0;
  std::int16_t m_No = -1;

  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
  [[nodiscard]] bool LoadData(CKelFileIO& f, int* budget);
};

class CKelCpntTable : public CKelCoord3D, public CKelObject {
public:
  // Flag bits of m_Flag.
  static constexpr std::uint32_t kPrint = 1u << 0;
  static constexpr std::uint32_t kSphere = 1u << 1;
  static constexpr std::uint32_t kSelect = 1u << 4;
  static constexpr std::uint32_t kCalcSphere = 1u << 7;
  static constexpr std::uint32_t kDefaultFlag = kPrint | kSphere;
  static constexpr double kDefaultWallOffset = 0.01;

  CHikageSphereParam m_SphereParam;
  std::int32_t m_Time = -1;  // the last computed time; -1 none
  std::int32_t m_Option = 0;
  std::int16_t m_No = -1;  // negative: a free slot
  std::int16_t m_BlockNo = -1;
  std::int16_t m_WallNo = -1;  // the block's vertex that begins the wall
  std::int32_t m_TimeA = 0, m_TimeB = 0, m_TimeC = 0;
  double m_Len1 = 0, m_Len2 = 0;
  std::uint32_t m_Flag = kDefaultFlag;
  double m_WallOffset = kDefaultWallOffset;  // how far outside its wall the point may lie

  CKelCpntTable() = default;
  CKelCpntTable(const CKelCpntTable&) = default;
  CKelCpntTable& operator=(const CKelCpntTable&) = default;
  ~CKelCpntTable() override = default;

  void Init() { *this = CKelCpntTable(); }

  // --- Point interface: one point, the position
  int GetSize() const override { return 1; }
  bool IsClosed() const override { return false; }
  CKelCoord3D GetCoord3D(int) const override { return *this; }
  // Takes x and y; the height stays.
  void MovePoint(int, const CKelCoord3D& p) override;
  void Clear() override { Init(); }
  void InsertPoint(int, const CKelCoord3D&) override;
  void SwapCoord(int, int) override;
  void Append(const CKelCoord3D&) override;
  void DeletePoint(int) override;
  void MoveBlock(const CKelCoord2D&, const CKelCoord3D&) override;

  // --- Compares: positions within 2.5e-5 (==) or 0.0005 (IsNearlyEqual);
  // the wall offset is not compared.
  bool operator==(const CKelCpntTable& other) const;
  bool operator!=(const CKelCpntTable& other) const { return !(*this == other); }
  bool IsNearlyEqual(const CKelCpntTable& other) const;

  // --- Flags
  bool IsPrint() const { return (m_Flag & kPrint) != 0; }
  bool IsSphere() const { return (m_Flag & kSphere) != 0; }
  bool IsSelect() const { return (m_Flag & kSelect) != 0; }
  bool IsCalcSphere() const { return (m_Flag & kCalcSphere) != 0; }
  void SetCalcSphere(bool on);
  int GetTextLoc() const { return static_cast<int>(m_Flag & 3u); }
  int GetTextHekimenLoc() const { return static_cast<int>((m_Flag >> 5) & 3u); }

  // --- Stored forms
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  [[nodiscard]] bool Load(CKelFileIO& f, int& budget);
  [[nodiscard]] bool Save(CKelFileIO& f) const;
  _CPntItem GetOldParam() const;
  void SetOldParam(const _CPntItem& item);
  void SetOldParam(const ChekPointDataTag& item);

  // --- Walls and times (CKelCpntParamSearch.cpp)
  // Whether the point lies at the wall from vertex vertexNo of block blockNo
  // to the next vertex: along it, on it or outside it by at most
  // m_WallOffset, and between its bottom and top there. Sets m_BlockNo and
  // m_WallNo when it does.
  bool CheckWallNo(const CKelBlockCubeArray& blocks, int blockNo, int vertexNo);
  // The current wall, else the first wall the point lies at; -1 and false
  // for none.
  bool SSCPntSearchWallNo(const CKelBlockCubeArray& blocks);
  // The second time into m_TimeA, the first into m_TimeB, m_TimeC := -1,
  // by the base's calculator; true when any of the three changed. False,
  // nothing changed, without a calculator.
  bool SSChkpntTime(CKelBaseParam& base);
};

class CKelCpntParam : public CKelVectorArray<CKelCpntTable>, public CKelCpntParamCore {
public:
  CKelCpntParam() = default;
  CKelCpntParam(const CKelCpntParam&) = default;
  CKelCpntParam& operator=(const CKelCpntParam&) = default;
  ~CKelCpntParam() override = default;

  // The number of points, for both interfaces.
  int GetSize() const override { return CKelVectorArray::GetSize(); }

  // --- Compares
  bool operator==(const CKelCpntParam& other) const;
  bool operator!=(const CKelCpntParam& other) const { return !(*this == other); }
  bool IsNearlyEqual(const CKelCpntParam& other) const;

  // --- The wall's view
  std::unique_ptr<CKelCpntParamCore> Clone() const override;
  bool IsEqual(const CKelCpntParamCore& other) const override;
  // Tag "CKelCpntParam" from archive version 2, i32 count, each point.
  [[nodiscard]] bool Serialize2(CKelArchiveCore& ar) override;

  // --- Other stored forms (the list passed untyped)
  // Serialize2 without the tag.
  [[nodiscard]] static bool Serialize(CKelArchiveCore& ar, int reserved, void* list, void* reserved2);
  // 1: no points (size 4, count 0); -1: the points, the size used up
  // exactly; 0: refused or failed, the list empty.
  [[nodiscard]] static int ReadCPntData(CKelFileIO& f, int size, void* list);
  [[nodiscard]] static bool WriteCPntData(CKelFileIO& f, void* list);

  // --- Operations
  // The index of the point whose time most exceeds its permitted time, or
  // -1 (CKelCpntParamSearch.cpp).
  int SearchMaxTimeCpnt(CKelBaseParam& base) const;
  // Moves the numbered points (m_No >= 0) to the front in order and resets
  // the slots after them; the new index of the point that stood at i, or -1.
  int DoRenumber(int i);
  // The indices of the points marked for the sky-factor calculation.
  CSelectList GetCalcMarkSize() const;
  int GetCpntSize(int blockNo) const;

private:
  [[nodiscard]] bool SerializePoints(CKelArchiveCore& ar);
};

// Lets walls load their check points: installs the factory of CKelCpntParam
// in the volume model. Every program that links this library has it done at
// start-up; calling it again changes nothing.
void InstallCpntParamFactory();
