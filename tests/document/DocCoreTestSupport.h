#pragma once
// Builders for document-core tests: a figure kind of the tests' own with a
// fixed raw area, floors, and a document holding one calculation pattern.
//
// Pattern layout built by PatternDoc: root (code 0) -> top folder (code 1,
// the current pattern, preset id 0) -> folder "建物" (code 2) -> the nodes a
// test adds. Elements get codes from the document's counter.

#include "CArea1Object.h"
#include "CArea2Object.h"
#include "CArea4Object.h"
#include "CAreaTree.h"
#include "CFloorParam.h"
#include "CPlenimetraParam.h"

#include <memory>
#include <utility>

// A figure whose raw area (1e-8 m2) the test sets; nothing is placed.
class FixedAreaFigure : public CArea1Object {
public:
  FixedAreaFigure(CPlenimetraParam* param, int code, long long raw)
      : CArea1Object(param, TYPE_TRIANGLE, code, CItemType1Table::ITEMTYPE_CIRCLE, CItemType2Table::ITEMTYPE_DECIMAL,
                     code - 1),
        m_Raw(raw)
  {
  }

  GSErrCode ChangeParam(CPlenimetraParam*, bool) override { return 0; }
  GSErrCode CopyObject(CPlenimetraParam*, short) override { return 0; }
  GSErrCode CheckStringParameter(CPlenimetraParam*) override { return 0; }
  GS::UniString GetEquation(CPlenimetraParam*, bool, double) override { return {}; }
  long long GetOrgArea(CPlenimetraParam*) override { return m_Raw; }

  long long m_Raw;
};

inline std::shared_ptr<CArea1Object> MakeFigure(CPlenimetraParam& doc, long long raw)
{
  return std::make_shared<FixedAreaFigure>(&doc, ++doc.m_LastArea1Code, raw);
}

inline CFloorParam MakeFloor(short story, const char16_t* name = u"")
{
  return CFloorParam(story, GS::UniString(name), true, {}, {}, {}, {}, {});
}

class PatternDoc {
public:
  static constexpr int kTopCode = 1;
  static constexpr int kBuildingCode = 2;

  explicit PatternDoc(int floors = 2)
  {
    for (short i = 0; i < floors; ++i)
      doc.m_FloorParamArray.push_back(MakeFloor(i));
    const CRoundTypeItem item(CRoundTypeTable::ROUNDTYPE_CUT, 2);
    doc.m_AreaTree2.Insert(&doc, GS::UniString(u"パターン"), kTopCode, 0, CAreaTree::KIND_FOLDER, item, item);
    doc.m_AreaTree2.Insert(&doc, GS::UniString(u"建物"), kBuildingCode, kTopCode, CAreaTree::KIND_FOLDER, item, item);
    doc.m_LastAreaCode = kBuildingCode;
    doc.m_CurTreeCode = kTopCode;
  }

  // A new element under the parent node; returns its node code (negative).
  int AddElement(int parentCode, const char16_t* name, int op = COperatorTable::OPERATOR_PLUS)
  {
    const int code = ++doc.m_LastAreaCode;
    const CRoundTypeItem item(CRoundTypeTable::ROUNDTYPE_CUT, 2);
    doc.m_AreaTree2.Insert(&doc, GS::UniString(name), code, parentCode, CAreaTree::KIND_ELEMENT_FORMULA, item, item);
    doc.m_AreaTree2.Search(-code)->m_Operator = op;
    return -code;
  }

  int AddFolder(int parentCode, const char16_t* name, int op = COperatorTable::OPERATOR_PLUS)
  {
    const int code = ++doc.m_LastAreaCode;
    const CRoundTypeItem item(CRoundTypeTable::ROUNDTYPE_CUT, 2);
    doc.m_AreaTree2.Insert(&doc, GS::UniString(name), code, parentCode, CAreaTree::KIND_FOLDER, item, item);
    doc.m_AreaTree2.Search(code)->m_Operator = op;
    return code;
  }

  // A figure of the raw area on the floor, listed by the element (node code).
  std::shared_ptr<CArea1Object> AddFigure(int elementNode, short floorIndex, long long raw,
                                          int op = COperatorTable::OPERATOR_PLUS)
  {
    auto figure = MakeFigure(doc, raw);
    CFloorParam& floor = doc.m_FloorParamArray[static_cast<std::size_t>(floorIndex)];
    floor.m_Area1ObjectArray.push_back(figure);
    auto* element = dynamic_cast<CArea2Object*>(doc.GetAreaObject(elementNode));
    CArea2ObjectFloor* record = element->m_FloorArray.SearchFloor(floor.m_FloorNo);
    record->m_Mode = CArea2ObjectFloor::MODE_FIGURE;
    record->m_List.push_back(CArea2List(figure, COperatorTable::OPERATOR(op)));
    return figure;
  }

  CAreaObject* Object(int nodeCode) { return doc.GetAreaObject(nodeCode); }
  CAreaTree* Node(int nodeCode) { return doc.m_AreaTree2.Search(nodeCode); }

  CPlenimetraParam doc;
};
