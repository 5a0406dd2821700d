#pragma once
// The benchmarks' large projects place many plain triangles; one routine
// places the part on a story and files its figure record there.

#include "CArea1Object.h"
#include "CAreaRectSlant.h"
#include "CPlenimetraParam.h"
#include "GetLibPartInd.h"
#include "HostFixture.h"

#include <memory>
#include <stdexcept>

inline int BenchTriangleLibInd()
{
  int triangle = 0;
  static_cast<void>(GetLibPartInd(reinterpret_cast<const unsigned short*>(u"TalvoSoftwareAreaTriangle"), &triangle));
  return triangle;
}

// The figure record is filed last on the story's floor (which must exist),
// numbered and sorted by `index`.
inline std::shared_ptr<CArea1Object> PlaceBenchTriangle(HostFixture& host, CPlenimetraParam& doc, int libInd,
                                                        short story, int index)
{
  API_Element element;
  element.header.typeID = API_ObjectID;
  element.header.layer = 1;
  element.header.floorInd = story;
  element.object.libInd = libInd;
  element.object.xRatio = element.object.yRatio = 1.0;
  static_cast<void>(host.AddElement(element));
  auto figure = doc.m_Area1Factory.Create(&doc, CArea1Object::TYPE_TRIANGLE, ++doc.m_LastArea1Code,
                                          CItemType1Table::ITEMTYPE(1), CItemType2Table::ITEMTYPE(1), index);
  figure->m_Element = element;
  figure->m_SortIndex = index;
  doc.m_FloorParamArray[std::size_t(story)].m_Area1ObjectArray.push_back(figure);
  return figure;
}

// `count` 2 x 1 m rectangles in rows of a hundred on the first story's
// figure list, as a user draws them one by one.
inline CArea1ObjectArray& PlaceBenchRectangles(CPlenimetraParam& doc, int count)
{
  CArea1ObjectArray& list = doc.m_FloorParamArray.Search(0)->m_Area1ObjectArray;
  for (int i = 0; i < count; ++i) {
    auto figure =
        std::make_shared<CAreaRectSlant>(&doc, ++doc.m_LastArea1Code, doc.m_CurItemType1, doc.m_CurItemType2, i);
    const double x = 3.0 * (i % 100);
    const double y = 3.0 * (i / 100);
    CKelAreaCoord2D points;
    points.m_pt = {{x, y}, {x + 2, y}, {x + 2, y + 1}, {x, y + 1}};
    if (figure->Create(&doc, points, 0) != NoError)
      throw std::runtime_error("a figure could not be placed");
    list.push_back(figure);
  }
  return list;
}
