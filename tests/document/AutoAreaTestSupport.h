#pragma once
// What the tests of the automatic cut share: the exact area of a piece.

#include "CAutoAreaCut.h"

// Triangles, rectangles and trapezoids by their shoelace area (positive
// when counter-clockwise); sectors and segments by their arcs.
inline double PieceArea(const CAutoAreaPiece& piece)
{
  switch (piece.m_Kind) {
  case CAutoAreaPiece::KIND_ARC:
    return piece.m_Coord.GetArcArea();
  case CAutoAreaPiece::KIND_ARCCENTER:
    return piece.m_Coord.GetArcSegmentArea();
  default:
    return piece.m_Coord.Area();
  }
}
