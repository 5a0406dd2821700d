// Arbitrary outlines through the automatic cut into figure pieces, for every
// cut type and both flags of type 4.
//
// Input: byte 0 the contour count (1 to 3), then per contour a point count
// (up to 64 in all) and per point a type byte (0 point, 1 and 2 an arc
// centre of either sense, other values a point) and two 16-bit coordinates
// in millimetres, so every input is finite and within 65 m; short input
// reads as zeros. The first point is repeated at the end as the host does.
//
// Checked: no crash, hang or runaway nesting; every piece has the corner
// count of its kind and an operator of 1 or 2; nothing is cut from a refused
// outline.

#include <cstddef>
#include <cstdint>

#include "CAutoAreaCut.h"
#include "FuzzByteReader.h"

namespace {

constexpr std::size_t kMaxPoints = 64;

CKelCoord3DCrsPntArrayArray ReadOutline(FuzzInput::Reader& in)
{
  CKelCoord3DCrsPntArrayArray outline;
  const int contours = 1 + in.Byte() % 3;
  std::size_t left = kMaxPoints;
  for (int k = 0; k < contours && left > 0; ++k) {
    const std::size_t count = std::min<std::size_t>(in.Byte(), left);
    left -= count;
    CKelCoord3DCrsPntArray contour;
    for (std::size_t i = 0; i < count; ++i) {
      const std::uint8_t type = in.Byte();
      const double x = in.Take<std::int16_t>() / 1000.0;
      const double y = in.Take<std::int16_t>() / 1000.0;
      const auto kind = type == 1 || type == 2 ? static_cast<CKelCoord3DCrsPnt::TYPE>(type)
                                                : CKelCoord3DCrsPnt::TYPE_POINT;
      contour.push_back(CKelCoord3DCrsPnt(CKelCoord3D(x, y, 0), kind));
    }
    if (!contour.empty())
      contour.push_back(CKelCoord3DCrsPnt(CKelCoord3D(contour.front()), CKelCoord3DCrsPnt::TYPE_POINT));
    outline.push_back(contour);
  }
  return outline;
}

void CheckPieces(const CAutoAreaPieceArray& pieces)
{
  for (const CAutoAreaPiece& piece : pieces) {
    FuzzInput::Check(piece.m_Operator == COperatorTable::OPERATOR_PLUS ||
                     piece.m_Operator == COperatorTable::OPERATOR_MINUS);
    const int n = piece.m_Coord.GetSize();
    switch (piece.m_Kind) {
    case CAutoAreaPiece::KIND_RECT:
    case CAutoAreaPiece::KIND_TRAPEZOID:
      FuzzInput::Check(n == 4);
      break;
    default:
      FuzzInput::Check(n == 3);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  FuzzInput::Reader in(data, size);
  const CKelCoord3DCrsPntArrayArray outline = ReadOutline(in);
  for (int type = 0; type <= 5; ++type) {
    for (int flags = 0; flags < (type == 4 ? 4 : 1); ++flags) {
      CAutoCutType cut;
      cut.m_Type = static_cast<CAutoCutType::AUTOCUTTYPE>(type);
      cut.m_bCutAcross = (flags & 1) != 0;
      cut.m_bFollowEdges = (flags & 2) != 0;
      CAutoAreaPieceArray pieces;
      const CAutoAreaCutResult result = CAutoAreaCut::CutOutline(outline, cut, pieces);
      FuzzInput::Check(!result.m_bRefused);
      CheckPieces(pieces);
    }
  }
  return 0;
}
