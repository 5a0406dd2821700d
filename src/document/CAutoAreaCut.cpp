// Contours into pieces, and pieces into figure kinds. The strips of cut
// types 2 to 4 are cut in CAutoAreaCutStrips.cpp.

#include "CAutoAreaCut.h"

#include <cmath>

#include "KelTolerance.h"

// --- CAngleArray -------------------------------------------------------------

void CAngleArray::Add(double a)
{
  for (CAngleItem& item : *this) {
    if (std::fabs(item.m_Angle - a) <= KelTol::AutoCutZero) {
      ++item.m_Count;
      return;
    }
  }
  push_back(CAngleItem{a, 1});
}

const CAngleItem* CAngleArray::SearchMaxItem() const
{
  const CAngleItem* best = nullptr;
  for (const CAngleItem& item : *this) {
    if (best == nullptr || item.m_Count > best->m_Count)
      best = &item;
  }
  return best;
}

void AddCoord(const CKelAreaCoord2D& source, CKelAreaCoord2D& target, int from, int to)
{
  const int n = source.GetSize();
  if (n == 0 || from < 0 || from >= n || to < 0 || to >= n)
    return;
  for (int k = from;; k = k + 1 == n ? 0 : k + 1) {
    target.m_pt.push_back(source.m_pt[static_cast<std::size_t>(k)]);
    if (k == to)
      break;
  }
}

// --- Outlines and contours ----------------------------------------------------

bool CAutoAreaCut::IsFinite(const CKelCoord3DCrsPntArray& contour)
{
  for (const CKelCoord3DCrsPnt& p : contour) {
    if (!std::isfinite(p.m_x) || !std::isfinite(p.m_y))
      return false;
  }
  return true;
}

COperatorTable::OPERATOR CAutoAreaCut::Opposite(COperatorTable::OPERATOR op)
{
  return op == COperatorTable::OPERATOR_PLUS ? COperatorTable::OPERATOR_MINUS : COperatorTable::OPERATOR_PLUS;
}

CAutoAreaCutResult CAutoAreaCut::CutOutline(const CKelCoord3DCrsPntArrayArray& outline, const CAutoCutType& cutType,
                                            CAutoAreaPieceArray& out)
{
  CAutoAreaCutResult result;
  // Refused before anything is cut: pieces of a part of the outline would
  // pass for the whole.
  for (const CKelCoord3DCrsPntArray& contour : outline) {
    if (!IsFinite(contour)) {
      result.m_bRefused = true;
      return result;
    }
  }
  for (std::size_t k = 0; k < outline.size(); ++k) {
    CKelCoord3DCrsPntArray contour = outline[k];
    COperatorTable::OPERATOR op = COperatorTable::OPERATOR_PLUS;
    if (k > 0) {
      contour.Reverse();
      op = COperatorTable::OPERATOR_MINUS;
    }
    result.m_Untriangulated += CutContour(contour, cutType, op, out).m_Untriangulated;
  }
  return result;
}

namespace {

void AddArcPieces(const CKelAreaCoord2DArray& arcs, CAutoAreaPiece::KIND kind, COperatorTable::OPERATOR op,
                  CAutoAreaPieceArray& out)
{
  for (const CKelAreaCoord2D& arc : arcs)
    out.push_back(CAutoAreaPiece{kind, arc, op});
}

}  // namespace

CAutoAreaCutResult CAutoAreaCut::CutContour(const CKelCoord3DCrsPntArray& contour, const CAutoCutType& cutType,
                                            COperatorTable::OPERATOR op, CAutoAreaPieceArray& out)
{
  CAutoAreaCutResult result;
  if (!IsFinite(contour)) {
    result.m_bRefused = true;
    return result;
  }
  CKelAreaCoord2D polygon;
  CKelAreaCoord2DArray sectors2, segments2, sectors1, segments1;
  contour.SeparateToPolygonAndArc(polygon, sectors2, segments2, sectors1, segments1);
  AddArcPieces(sectors2, CAutoAreaPiece::KIND_ARC, Opposite(op), out);
  AddArcPieces(sectors1, CAutoAreaPiece::KIND_ARC, op, out);
  AddArcPieces(segments2, CAutoAreaPiece::KIND_ARCCENTER, Opposite(op), out);
  AddArcPieces(segments1, CAutoAreaPiece::KIND_ARCCENTER, op, out);
  if (cutType.m_Type == CAutoCutType::AUTOCUTTYPE_TRIANGLE) {
    if (!ToTriangle(polygon, op, out))
      ++result.m_Untriangulated;
  } else {
    result.m_Untriangulated += ToRect(polygon, cutType, op, out);
  }
  return result;
}

// --- Pieces into kinds ---------------------------------------------------------

bool CAutoAreaCut::ToTriangle(const CKelAreaCoord2D& piece, COperatorTable::OPERATOR op, CAutoAreaPieceArray& out)
{
  // An outline whose straight part has no area (a contour of arcs only)
  // leaves nothing to cut and is no failure.
  if (piece.GetSize() == 0)
    return true;
  CKelAreaCoord2DArray triangles;
  if (!piece.Triangulate(triangles))
    return false;
  for (const CKelAreaCoord2D& triangle : triangles)
    out.push_back(CAutoAreaPiece{CAutoAreaPiece::KIND_TRIANGLE, triangle, op});
  return true;
}

int CAutoAreaCut::ToRect(const CKelAreaCoord2D& polygon, const CAutoCutType& cutType, COperatorTable::OPERATOR op,
                         CAutoAreaPieceArray& out)
{
  CKelAreaCoord2DArray pieces;
  switch (cutType.m_Type) {
  case CAutoCutType::AUTOCUTTYPE_HORIZONTAL:
  case CAutoCutType::AUTOCUTTYPE_VERTICAL:
    ToRect1(polygon, cutType.m_Type, pieces);
    break;
  case CAutoCutType::AUTOCUTTYPE_EDGE:
    ToRect2(polygon, cutType.m_bCutAcross, cutType.m_bFollowEdges, pieces);
    break;
  default:
    return 0;
  }
  int untriangulated = 0;
  for (const CKelAreaCoord2D& piece : pieces) {
    bool ok = true;
    if (piece.GetSize() == 4)
      ok = AddQuad(piece, op, out);
    else if (piece.GetSize() == 3)
      out.push_back(CAutoAreaPiece{CAutoAreaPiece::KIND_TRIANGLE, piece, op});
    else
      ok = ToTriangle(piece, op, out);
    untriangulated += ok ? 0 : 1;
  }
  return untriangulated;
}

namespace {

double EdgeDirection(const CKelAreaCoord2D& piece, int i)
{
  const CKelCoord2D& a = piece.m_pt[static_cast<std::size_t>(i % 4)];
  const CKelCoord2D& b = piece.m_pt[static_cast<std::size_t>((i + 1) % 4)];
  return std::atan2(b.m_y - a.m_y, b.m_x - a.m_x);
}

}  // namespace

// Corners C and D are measured in the frame of edge A->B: C must sit one
// edge length along it, D at its start, and both at the same offset across.
int CAutoAreaCut::RectEdge(const CKelAreaCoord2D& piece)
{
  if (piece.GetSize() != 4)
    return -1;
  const auto at = [&](int k) { return piece.m_pt[static_cast<std::size_t>(k % 4)]; };
  for (int i = 0; i < 4; ++i) {
    const double a = EdgeDirection(piece, i);
    const double cs = std::cos(a);
    const double sn = std::sin(a);
    const CKelCoord2D A = at(i), B = at(i + 1), C = at(i + 2), D = at(i + 3);
    const double length = std::hypot(B.m_x - A.m_x, B.m_y - A.m_y);
    const double alongC = (C.m_x - A.m_x) * cs + (C.m_y - A.m_y) * sn;
    const double alongD = (D.m_x - A.m_x) * cs + (D.m_y - A.m_y) * sn;
    const double acrossC = cs * (C.m_y - A.m_y) - sn * (C.m_x - A.m_x);
    const double acrossD = cs * (D.m_y - A.m_y) - sn * (D.m_x - A.m_x);
    if (std::fabs(alongC - length) <= KelTol::AutoCutRect && std::fabs(alongD) <= KelTol::AutoCutRect &&
        std::fabs(acrossC - acrossD) <= KelTol::AutoCutRect)
      return i;
  }
  return -1;
}

int CAutoAreaCut::TrapezoidEdge(const CKelAreaCoord2D& piece)
{
  if (piece.GetSize() != 4)
    return -1;
  for (int i = 0; i < 4; ++i) {
    const double d = EdgeDirection(piece, i) - EdgeDirection(piece, i + 2);
    if (std::fabs(d - KelAngle::Pi) <= KelTol::AutoCutZero || std::fabs(d + KelAngle::Pi) <= KelTol::AutoCutZero)
      return i;
  }
  return -1;
}

CKelAreaCoord2D CAutoAreaCut::RectCorners(const CKelAreaCoord2D& piece)
{
  if (piece.GetSize() != 4)
    return piece;
  const std::vector<CKelCoord2D>& p = piece.m_pt;
  int first = 0;
  if (std::fabs(p[1].m_x - p[0].m_x) > KelTol::AutoCutZero)
    first = p[0].m_x > p[1].m_x ? 2 : 0;
  else if (p[1].m_y > p[0].m_y)
    first = 3;
  else if (p[0].m_y > p[1].m_y)
    first = 1;
  CKelAreaCoord2D turned;
  AddCoord(piece, turned, first, (first + 3) % 4);
  return turned;
}

bool CAutoAreaCut::AddQuad(const CKelAreaCoord2D& piece, COperatorTable::OPERATOR op, CAutoAreaPieceArray& out)
{
  if (RectEdge(piece) >= 0) {
    out.push_back(CAutoAreaPiece{CAutoAreaPiece::KIND_RECT, RectCorners(piece), op});
    return true;
  }
  const int i = TrapezoidEdge(piece);
  if (i >= 0) {
    CKelAreaCoord2D trapezoid;
    AddCoord(piece, trapezoid, i, (i + 3) % 4);
    out.push_back(CAutoAreaPiece{CAutoAreaPiece::KIND_TRAPEZOID, trapezoid, op});
    return true;
  }
  return ToTriangle(piece, op, out);
}
