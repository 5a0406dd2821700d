// Placing the pieces of an automatic area's cut as figures. The pieces and
// their kinds come from CAutoAreaCut without the host; here each becomes a
// figure record of the registered kind, placed on its story.

#include "CPlenimetraParam.h"

#include "CArea1Object.h"
#include "CGSUtil.h"
#include "CSelectList.h"

namespace {

// Figures under this raw area (1e-8 m2) hold nothing worth a figure: a
// piece whose corners fell onto one line.
constexpr long long kMinRawArea = 1;

CArea1Object::TYPE TypeOf(CAutoAreaPiece::KIND kind)
{
  switch (kind) {
  case CAutoAreaPiece::KIND_RECT:
    return CArea1Object::TYPE_RECTSLANT;
  case CAutoAreaPiece::KIND_TRAPEZOID:
    return CArea1Object::TYPE_TRAPEZOID;
  case CAutoAreaPiece::KIND_ARC:
    return CArea1Object::TYPE_ARC;
  case CAutoAreaPiece::KIND_ARCCENTER:
    return CArea1Object::TYPE_ARCCENTER;
  default:
    return CArea1Object::TYPE_TRIANGLE;
  }
}

}  // namespace

namespace AutoCutPlacement {

// The common steps of every Add...: number, make, place, keep or drop.
int AddFigure(CPlenimetraParam& doc, CArea1Object::TYPE type, const CKelAreaCoord2D& piece,
              COperatorTable::OPERATOR op, std::vector<CArea1ObjectWork>* out, int number,
              CItemType1Table::ITEMTYPE mark, CItemType2Table::ITEMTYPE numbering, short story)
{
  CFloorParam* floor = doc.m_FloorParamArray.Search(story);
  if (floor == nullptr)
    return APIERR_BADINDEX;
  const int no = floor->m_Area1ObjectArray.GetStartNo(&doc, mark, numbering, number);
  std::shared_ptr<CArea1Object> figure =
      doc.m_Area1Factory.Create(&doc, type, doc.m_LastArea1Code + 1, mark, numbering, no);
  if (figure == nullptr)
    return APIERR_BADPARS;
  if (const GSErrCode err = figure->Create(&doc, piece, story); err != NoError)
    return err;
  if (figure->GetOrgArea(&doc) < kMinRawArea) {
    std::vector<GS::Guid> placed{ToGSGuid(figure->m_Element.header.guid)};
    return CGSUtil::GSDeleteObject(placed);
  }
  ++doc.m_LastArea1Code;
  floor->m_Area1ObjectArray.push_back(figure);
  GSErrCode err = floor->m_Area1ObjectArray.SetSortIndex();
  if (const GSErrCode changed = figure->ChangeParam(&doc, true); err == NoError)
    err = changed;
  if (out != nullptr)
    out->push_back(CArea1ObjectWork{figure, op});
  return err;
}

}  // namespace AutoCutPlacement

using AutoCutPlacement::AddFigure;

int CPlenimetraParam::AddTriangle(const CKelAreaCoord2D& piece, COperatorTable::OPERATOR op,
                                  std::vector<CArea1ObjectWork>* out, int& number, CItemType1Table::ITEMTYPE mark,
                                  CItemType2Table::ITEMTYPE numbering, short story)
{
  return AddFigure(*this, CArea1Object::TYPE_TRIANGLE, piece, op, out, number, mark, numbering, story);
}

// The rectangle starts where its edge runs towards +x.
int CPlenimetraParam::AddRect(const CKelAreaCoord2D& piece, COperatorTable::OPERATOR op,
                              std::vector<CArea1ObjectWork>* out, int& number, CItemType1Table::ITEMTYPE mark,
                              CItemType2Table::ITEMTYPE numbering, short story)
{
  return AddFigure(*this, CArea1Object::TYPE_RECTSLANT, CAutoAreaCut::RectCorners(piece), op, out, number, mark,
                   numbering, story);
}

int CPlenimetraParam::AddTrapezoid(const CKelAreaCoord2D& piece, COperatorTable::OPERATOR op,
                                   std::vector<CArea1ObjectWork>* out, int& number, CItemType1Table::ITEMTYPE mark,
                                   CItemType2Table::ITEMTYPE numbering, short story)
{
  return AddFigure(*this, CArea1Object::TYPE_TRAPEZOID, piece, op, out, number, mark, numbering, story);
}

int CPlenimetraParam::AddTrapezoid(const CKelCoord2D& p1, const CKelCoord2D& p2, const CKelCoord2D& p3,
                                   const CKelCoord2D& p4, COperatorTable::OPERATOR op,
                                   std::vector<CArea1ObjectWork>* out, int& number, CItemType1Table::ITEMTYPE mark,
                                   CItemType2Table::ITEMTYPE numbering, short story)
{
  CKelAreaCoord2D piece;
  piece.m_pt = {p1, p2, p3, p4};
  return AddTrapezoid(piece, op, out, number, mark, numbering, story);
}

int CPlenimetraParam::AddArc(const CKelAreaCoord2D& piece, COperatorTable::OPERATOR op,
                             std::vector<CArea1ObjectWork>* out, int& number, CItemType1Table::ITEMTYPE mark,
                             CItemType2Table::ITEMTYPE numbering, short story)
{
  return AddFigure(*this, CArea1Object::TYPE_ARC, piece, op, out, number, mark, numbering, story);
}

int CPlenimetraParam::AddArcCenter(const CKelAreaCoord2D& piece, COperatorTable::OPERATOR op,
                                   std::vector<CArea1ObjectWork>* out, int& number, CItemType1Table::ITEMTYPE mark,
                                   CItemType2Table::ITEMTYPE numbering, short story)
{
  return AddFigure(*this, CArea1Object::TYPE_ARCCENTER, piece, op, out, number, mark, numbering, story);
}

int CPlenimetraParam::PlacePieces(const CAutoAreaPieceArray& pieces, std::vector<CArea1ObjectWork>* out,
                                  CSelectList& freed, int& startNo, CItemType1Table::ITEMTYPE mark,
                                  CItemType2Table::ITEMTYPE numbering, short story)
{
  for (const CAutoAreaPiece& piece : pieces) {
    int number = startNo;
    if (!freed.empty()) {
      number = freed.front();
      freed.erase(freed.begin());
    }
    // Rectangles were turned to their corner when the piece was made.
    const int err = AddFigure(*this, TypeOf(piece.m_Kind), piece.m_Coord, piece.m_Operator, out, number, mark,
                              numbering, story);
    if (err != NoError)
      return err;
  }
  return NoError;
}
