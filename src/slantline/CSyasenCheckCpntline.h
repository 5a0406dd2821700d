#pragma once
// CSyasenCheckCpntlineArray: the check lines of one slant-line (Syasen)
// check. Each line is a polyline with arcs (CKelCoord3DCrsPntArray): a type 0
// entry is a vertex, a type 1 (counter-clockwise) or 2 (clockwise) entry the
// centre of an arc from the previous entry to the next; arc points lie at the
// centre entry's height. An arc whose ends meet (within KelTol::SlantPiece)
// sweeps nothing, never the full circle. The list owns its lines by value.
//
// Check points are laid along the lines at an even spacing (metres):
//   division  a length L at a requested spacing p takes n = floor(L / p)
//             parts, one more when n p misses L by KelTol::SlantDivision or
//             more; the spacing used is L / n;
//   uniform   one spacing per line, the offset carried over its pieces;
//   otherwise one spacing per segment or arc, each starting at its begin.
// A point equal (2.5e-5 per component) to the first or the last point laid
// so far is not added again. A line or piece that cannot be divided (too
// short, a zero-radius arc) or that would take more than kMaxPoints parts
// gets no points.
//
// Stored forms:
//   archive  tag "CSyasenCheckCpntlineArray" from version 2, i32 count, each
//            line's archive form;
//   record   i32 count, each line's record; no record number.

#include <vector>

#include "CKelCoord.h"
#include "CKelCoord3DCrsPntArray.h"
#include "CKelObject.h"

class CKelArc;
class CKelArchiveCore;
class CKelFileIO;
class CSphereRatioParamArray;

class CSyasenCheckCpntlineArray : public CKelObjectArray, public std::vector<CKelCoord3DCrsPntArray> {
public:
  // The most parts one line (uniform) or one piece is divided into.
  static constexpr int kMaxPoints = 100000;

  CSyasenCheckCpntlineArray() = default;
  CSyasenCheckCpntlineArray(const CSyasenCheckCpntlineArray&) = default;
  CSyasenCheckCpntlineArray& operator=(const CSyasenCheckCpntlineArray&) = default;
  ~CSyasenCheckCpntlineArray() override = default;

  // --- Container (preconditions 0 <= Index < size, item a non-null line) ---
  int GetSize() const override { return static_cast<int>(size()); }
  CKelObject* GetElement(int Index) override;
  void AddElement(const CKelObject* pItem) override;
  void Erase(int Index) override;

  // --- Check points ---
  // Replaces points by the check points of every line. *pitch: on entry the
  // requested spacing; on return the largest spacing used (unchanged when
  // it is not positive or there are no lines).
  void CreateCheckPoint(bool uniform, double* pitch, std::vector<CKelCoord3D>& points) const;
  // The same points as new check points (their positions set).
  void CreateCheckPoint(bool uniform, double* pitch, CSphereRatioParamArray& points) const;
  // The points of one segment or arc at offsets *offset, *offset + pitch,
  // ... up to its end (within KelTol::SlantPiece); *offset becomes the
  // distance the next piece starts into its spacing.
  static void CreateChkPntLineType(const CKelCoord3D& from, const CKelCoord3D& to, double pitch, double* offset,
                                   std::vector<CKelCoord3D>& points);
  static void CreateChkPntArcType(const CKelArc& arc, double pitch, double* offset,
                                  std::vector<CKelCoord3D>& points);
  // The number of parts of length at spacing pitch; 0 when it cannot be
  // divided (not positive, too short, or more than kMaxPoints parts).
  static int DivisionCount(double length, double pitch);

  // --- Stored forms ---
  bool operator==(const CSyasenCheckCpntlineArray& other) const;
  bool operator!=(const CSyasenCheckCpntlineArray& other) const { return !(*this == other); }
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
  // A failed read keeps the lines read before it.
  [[nodiscard]] bool LoadData(CKelFileIO& f, int* budget);
};
