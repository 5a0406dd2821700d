#pragma once
// A figure kind of the fuzzers' own: the document's readers need some
// class per stored kind, and none of the real kinds' geometry matters to
// them.

#include "CArea1Object.h"
#include "CPlenimetraParam.h"

#include <memory>

namespace DocFuzz {

class FuzzFigure : public CArea1Object {
public:
  using CArea1Object::CArea1Object;
  using CArea1Object::CopyObject;
  using CArea1Object::GetEquation;
  GSErrCode ChangeParam(CPlenimetraParam*, bool) override { return 0; }
  GSErrCode CopyObject(CPlenimetraParam*, short) override { return 0; }
  bool CheckStringParameter(CPlenimetraParam*) override { return false; }
  GS::UniString GetEquation(const CPlenimetraParam*, bool, double) override { return {}; }
  long long GetOrgArea(const CPlenimetraParam*) const override { return 0; }
};

inline void RegisterKinds(CPlenimetraParam& doc)
{
  for (int kind = CArea1Object::TYPE_TRIANGLE; kind <= CArea1Object::kTypeMax; ++kind) {
    const auto type = static_cast<CArea1Object::TYPE>(kind);
    doc.m_Area1Factory.Register(
        type, [type](CPlenimetraParam* p, int code, CItemType1Table::ITEMTYPE mark, CItemType2Table::ITEMTYPE numbering,
                     int no) { return std::make_shared<FuzzFigure>(p, type, code, mark, numbering, no); });
  }
}

}  // namespace DocFuzz
