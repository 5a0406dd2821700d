#include "FigureKinds.h"

#include "CAreaArc.h"
#include "CAreaArc3Point.h"
#include "CAreaArcCenter.h"
#include "CAreaCircle.h"
#include "CAreaEllipse.h"
#include "CAreaRectSlant.h"
#include "CAreaTrapezoid.h"
#include "CAreaTriangle.h"
#include "CPlenimetraParam.h"

namespace {

template <class Kind>
void Register(CPlenimetraParam& doc, CArea1Object::TYPE type)
{
  doc.m_Area1Factory.Register(type, [](CPlenimetraParam* param, int code, CItemType1Table::ITEMTYPE mark,
                                       CItemType2Table::ITEMTYPE numbering, int no) {
    return std::make_shared<Kind>(param, code, mark, numbering, no);
  });
}

}  // namespace

void RegisterFigureKinds(CPlenimetraParam& doc)
{
  Register<CAreaTriangle>(doc, CArea1Object::TYPE_TRIANGLE);
  Register<CAreaRectSlant>(doc, CArea1Object::TYPE_RECTSLANT);
  Register<CAreaArc3Point>(doc, CArea1Object::TYPE_ARC3POINT);
  Register<CAreaArcCenter>(doc, CArea1Object::TYPE_ARCCENTER);
  Register<CAreaTrapezoid>(doc, CArea1Object::TYPE_TRAPEZOID);
  Register<CAreaArc>(doc, CArea1Object::TYPE_ARC);
  Register<CAreaCircle>(doc, CArea1Object::TYPE_CIRCLE);
  Register<CAreaEllipse>(doc, CArea1Object::TYPE_ELLIPSE);
}
