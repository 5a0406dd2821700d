#pragma once
// The benchmarks' large projects place many plain triangles; one routine
// places the part on a story and files its figure record there.

#include "CArea1Object.h"
#include "CPlenimetraParam.h"
#include "GetLibPartInd.h"
#include "HostFixture.h"

#include <memory>

inline int BenchTriangleLibInd()
{
  int triangle = 0;
  GetLibPartInd(reinterpret_cast<const unsigned short*>(u"TalvoSoftwareAreaTriangle"), &triangle);
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
  host.AddElement(element);
  auto figure = doc.m_Area1Factory.Create(&doc, CArea1Object::TYPE_TRIANGLE, ++doc.m_LastArea1Code,
                                          CItemType1Table::ITEMTYPE(1), CItemType2Table::ITEMTYPE(1), index);
  figure->m_Element = element;
  figure->m_SortIndex = index;
  doc.m_FloorParamArray[std::size_t(story)].m_Area1ObjectArray.push_back(figure);
  return figure;
}
