// The detail list of the calculation-tree page: one row per figure of the
// active story, row = sort index + 1. For the selected tree element each
// row shows how the figure enters it; the editors put figures in, take them
// out, turn them to subtraction and set their rounding kind.

#include "CPlenimetraFunc2.h"

#include "CArea1Object.h"

CArea1Object* CPlenimetraFunc2::DetailFigure(short dialId, short row) const
{
  return reinterpret_cast<CArea1Object*>(DGListGetItemUserData(dialId, ITEM_DETAIL_LIST, row));
}
