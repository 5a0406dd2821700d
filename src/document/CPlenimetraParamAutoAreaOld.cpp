// Repairing the figure links of automatic areas saved by early versions,
// which stored no operator: each figure is found again among the pieces its
// outline separates into, and the contour it lies on tells whether it adds
// or takes away.

#include "CAutoAreaParam.h"

#include "CArea1Object.h"
#include "CKelCoord3DCrsPntArray.h"
#include "CPlenimetraParam.h"

namespace {

// One contour separated as the cut separates it, holes left as drawn.
struct SeparatedContour {
  CKelAreaCoord2D polygon;
  CKelAreaCoord2DArray sectors2, segments2, sectors1, segments1;
};

std::vector<SeparatedContour> Separate(const CKelCoord3DCrsPntArrayArray& outline)
{
  std::vector<SeparatedContour> contours(outline.size());
  for (std::size_t k = 0; k < outline.size(); ++k) {
    SeparatedContour& c = contours[k];
    outline[k].SeparateToPolygonAndArc(c.polygon, c.sectors2, c.segments2, c.sectors1, c.segments1);
  }
  return contours;
}

bool SamePiece(const CKelAreaCoord2D& a, const CKelAreaCoord2D& b)
{
  if (a.m_pt.size() != 3 || b.m_pt.size() != 3)
    return false;
  for (std::size_t k = 0; k < 3; ++k) {
    if (!(a.m_pt[k] == b.m_pt[k]))
      return false;
  }
  return true;
}

// The contour whose list (chosen by pick) holds the piece: 0 the outer one,
// 1 a hole, -1 none.
template <class Pick>
int FindPiece(const std::vector<SeparatedContour>& contours, const CKelAreaCoord2D& piece, Pick pick)
{
  for (std::size_t k = 0; k < contours.size(); ++k) {
    for (const CKelAreaCoord2D& candidate : pick(contours[k])) {
      if (SamePiece(candidate, piece))
        return k == 0 ? 0 : 1;
    }
  }
  return -1;
}

using OP = COperatorTable::OPERATOR;

// Straight figures add when their corners touch the outer contour only.
OP StraightOperator(const std::vector<SeparatedContour>& contours, const CKelAreaCoord2D& corners)
{
  bool onOuter = false;
  bool onHole = false;
  for (const CKelCoord2D& p : corners.m_pt) {
    for (std::size_t k = 0; k < contours.size(); ++k) {
      if (contours[k].polygon.IsOnline(p))
        (k == 0 ? onOuter : onHole) = true;
    }
  }
  return onOuter && !onHole ? COperatorTable::OPERATOR_PLUS : COperatorTable::OPERATOR_MINUS;
}

// An arc of the second sense takes away on the outer contour and adds on a
// hole; one of the first sense the other way round.
OP SegmentOperator(const std::vector<SeparatedContour>& contours, const CKelAreaCoord2D& piece)
{
  int found = 0;  // 0 none, else the operator
  const int second = FindPiece(contours, piece, [](const SeparatedContour& c) -> const CKelAreaCoord2DArray& {
    return c.segments2;
  });
  if (second >= 0)
    found = second == 0 ? 2 : 1;
  const int first = FindPiece(contours, piece, [](const SeparatedContour& c) -> const CKelAreaCoord2DArray& {
    return c.segments1;
  });
  if (first >= 0)
    found = first == 0 ? 1 : 2;
  return found == 1 ? COperatorTable::OPERATOR_PLUS : COperatorTable::OPERATOR_MINUS;
}

OP SectorOperator(const std::vector<SeparatedContour>& contours, const CKelAreaCoord2D& piece)
{
  const int second = FindPiece(contours, piece, [](const SeparatedContour& c) -> const CKelAreaCoord2DArray& {
    return c.sectors2;
  });
  if (second >= 0)
    return second == 0 ? COperatorTable::OPERATOR_MINUS : COperatorTable::OPERATOR_PLUS;
  const int first = FindPiece(contours, piece, [](const SeparatedContour& c) -> const CKelAreaCoord2DArray& {
    return c.sectors1;
  });
  return first == 0 ? COperatorTable::OPERATOR_PLUS : COperatorTable::OPERATOR_MINUS;
}

}  // namespace

int CAutoAreaParam::CheckOldAutoArea(CPlenimetraParam* param)
{
  CKelCoord3DCrsPntArrayArray outline;
  if (const int err = CPlenimetraParam::GetAutoElement(m_ElemHead, m_AutoCutType.m_bWithHoles, outline);
      err != NoError)
    return err;
  const std::vector<SeparatedContour> contours = Separate(outline);
  if (m_bChanged)
    return NoError;
  for (const std::shared_ptr<CArea1Object>& figure : GetAutoArea(param)) {
    switch (figure->m_Type) {
    case CArea1Object::TYPE_TRIANGLE:
    case CArea1Object::TYPE_RECT:
    case CArea1Object::TYPE_RECTSLANT:
    case CArea1Object::TYPE_TRAPEZOID:
      figure->m_AutoArea.m_Operator = StraightOperator(contours, figure->GetCoord());
      break;
    case CArea1Object::TYPE_ARCCENTER:
      figure->m_AutoArea.m_Operator = SegmentOperator(contours, figure->GetCoord());
      break;
    case CArea1Object::TYPE_ARC:
      figure->m_AutoArea.m_Operator = SectorOperator(contours, figure->GetCoord());
      break;
    default:
      break;
    }
  }
  return NoError;
}
