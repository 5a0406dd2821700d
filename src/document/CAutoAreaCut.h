#pragma once
// Cutting the outline of an automatic area's source element into figure
// pieces, without the host: what is placed later, in which order, with which
// corners and operator. Placement (numbers, library parts, links) is the
// document's; see CPlenimetraParam's figure-adding operations.
//
// Vocabulary:
//  - contour: one closed chain of the outline (the outer one first, then the
//    holes), with arcs as centre points between their ends;
//  - straight polygon: the contour with every arc replaced by its chord, or,
//    for an arc beyond a half circle, by its two radii;
//  - piece: one future figure, a triangle, rectangle, trapezoid, sector or
//    segment by centre, with the operator its contour gives it (1 added,
//    2 subtracted);
//  - cut types: 1 triangles, 2 strips between horizontal lines through the
//    vertices, 3 the same with vertical lines, 4 strips between rays across
//    the outline's main edge direction.
//
// Units: model metres; straight pieces run counter-clockwise when their
// contour does; arc pieces are {centre, start, end}. Tolerances: KelTol's
// AutoCutZero (1e-6), AutoCutRect (2e-5), Collinear and Nearly.
//
// Nothing here asserts on geometry: a contour with a non-finite coordinate is
// refused whole, a split that would leave a piece under three vertices is not
// made, and a piece the kernel cannot triangulate yields no figure and is
// counted, so the caller can mark its record as no longer matching.

#include <memory>
#include <vector>

#include "CAutoAreaParam.h"
#include "CKelAreaCoord2D.h"
#include "CKelCoord3DCrsPntArray.h"
#include "CodeTables.h"

class CKelBlockCube;
class CKelBlockCubeArray;

// One future figure.
class CAutoAreaPiece {
public:
  enum KIND : int { KIND_TRIANGLE, KIND_RECT, KIND_TRAPEZOID, KIND_ARC, KIND_ARCCENTER };

  KIND m_Kind = KIND_TRIANGLE;
  // Corners in the figure's order (a trapezoid's first and third sides are
  // its parallel ones); an arc piece's {centre, start, end}.
  CKelAreaCoord2D m_Coord;
  COperatorTable::OPERATOR m_Operator = COperatorTable::OPERATOR_PLUS;
};
using CAutoAreaPieceArray = std::vector<CAutoAreaPiece>;

// One placed figure of an automatic area with the operator it takes.
class CArea1Object;
class CArea1ObjectWork {
public:
  std::shared_ptr<CArea1Object> m_pArea1;
  COperatorTable::OPERATOR m_Operator = COperatorTable::OPERATOR_PLUS;
};

// How the cut of one outline ended.
struct CAutoAreaCutResult {
  bool m_bRefused = false;    // a non-finite coordinate: no pieces at all
  int m_Untriangulated = 0;   // pieces the kernel could not triangulate
  bool IsWhole() const { return !m_bRefused && m_Untriangulated == 0; }
};

// Folded edge directions and how often each occurs.
class CAngleItem {
public:
  double m_Angle = 0;  // radians
  int m_Count = 0;
};

class CAngleArray : public std::vector<CAngleItem> {
public:
  // Counts a within KelTol::AutoCutZero of an angle already listed, else
  // lists it once.
  void Add(double a);
  // The first item with the largest count; null when empty.
  const CAngleItem* SearchMaxItem() const;
};

// Appends source's vertices from index from to index to inclusive, going
// forward and wrapping past the last vertex to the first.
void AddCoord(const CKelAreaCoord2D& source, CKelAreaCoord2D& target, int from, int to);

class CAutoAreaCut {
public:
  // --- Whole outlines and contours
  // Every contour in order: holes reversed in place (so they run like the
  // outer contour and keep their arcs) and subtracted.
  static CAutoAreaCutResult CutOutline(const CKelCoord3DCrsPntArrayArray& outline, const CAutoCutType& cutType,
                                       CAutoAreaPieceArray& out);
  // One contour as given, with its operator: sectors of the second sense,
  // sectors of the first, segments of the second, segments of the first,
  // then the straight polygon by the cut type. Arcs of the second sense take
  // the opposite operator.
  static CAutoAreaCutResult CutContour(const CKelCoord3DCrsPntArray& contour, const CAutoCutType& cutType,
                                       COperatorTable::OPERATOR op, CAutoAreaPieceArray& out);
  static bool IsFinite(const CKelCoord3DCrsPntArray& contour);
  static COperatorTable::OPERATOR Opposite(COperatorTable::OPERATOR op);

  // --- The straight polygon
  // Triangles in the kernel's order; false (nothing appended) when the
  // kernel cannot cut the piece.
  static bool ToTriangle(const CKelAreaCoord2D& piece, COperatorTable::OPERATOR op, CAutoAreaPieceArray& out);
  // Strips (cut types 2 to 4), each piece by its corner count; returns the
  // number of pieces that could not be triangulated. Other cut types make
  // nothing.
  static int ToRect(const CKelAreaCoord2D& polygon, const CAutoCutType& cutType, COperatorTable::OPERATOR op,
                    CAutoAreaPieceArray& out);
  // A four-corner piece as a rectangle, a trapezoid or triangles.
  static bool AddQuad(const CKelAreaCoord2D& piece, COperatorTable::OPERATOR op, CAutoAreaPieceArray& out);
  // The rectangle's corners turned so that the figure starts at a corner
  // whose outgoing edge runs towards +x.
  static CKelAreaCoord2D RectCorners(const CKelAreaCoord2D& piece);
  // The index i whose corners i, i+1, i+2, i+3 make a rectangle on edge i,
  // else -1.
  static int RectEdge(const CKelAreaCoord2D& piece);
  // The first index i whose edges i and i+2 are antiparallel, else -1.
  static int TrapezoidEdge(const CKelAreaCoord2D& piece);

  // --- Strips between full lines (cut types 2, 3)
  static void ToRect1(const CKelAreaCoord2D& polygon, CAutoCutType::AUTOCUTTYPE type, CKelAreaCoord2DArray& pieces);
  static void Divide1(const CKelBlockCube& block, bool horizontal, CKelBlockCubeArray& out);

  // --- Strips between rays (cut type 4)
  static void ToRect2(const CKelAreaCoord2D& polygon, bool cutAcross, bool followEdges,
                      CKelAreaCoord2DArray& pieces);
  // The most frequent folded edge direction in [0, pi/2]; 0 without edges.
  static double MainDirection(const CKelAreaCoord2D& polygon);
  static void Divide3(const CKelAreaCoord2D& polygon, CKelAreaCoord2DArray& out);
};
