#include "CEnvChoiceArray.h"

#include "CDGDlgCore.h"

namespace {

const CEnvChoiceArray& PerlineForms()
{
  static const CEnvChoiceArray table = [] {
    CEnvChoiceArray t;
    t.assign({{u"ﾀｲﾌﾟ1", 0}, {u"ﾀｲﾌﾟ2", 1}, {u"なし", 2}});
    return t;
  }();
  return table;
}

const CEnvChoiceArray& InnerMarks()
{
  static const CEnvChoiceArray table = [] {
    CEnvChoiceArray t;
    t.assign({{u"×", 0}, {u"／", 1}, {u"＼", 2}, {u"なし", 3}});
    return t;
  }();
  return table;
}

}  // namespace

const CEnvChoice* CEnvChoiceArray::SearchText(const GS::UniString& text) const
{
  for (const CEnvChoice& choice : *this)
    if (choice.m_Text == text)
      return &choice;
  return nullptr;
}

const CEnvChoice* CEnvChoiceArray::SearchCode(int code) const
{
  for (const CEnvChoice& choice : *this)
    if (choice.m_Code == code)
      return &choice;
  return nullptr;
}

void CEnvChoiceArray::FillPopUp(short dialId, short item) const
{
  for (const CEnvChoice& choice : *this)
    CDGDlgCore::PopUpInsert(dialId, item, choice.m_Text, choice.m_Code);
}

CTriangleAreaPerlineFormArray::CTriangleAreaPerlineFormArray() : CEnvChoiceArray(PerlineForms()) {}
CTrapezoidPerlineFormArray::CTrapezoidPerlineFormArray() : CEnvChoiceArray(PerlineForms()) {}
CTriangleAreaInTypeArray::CTriangleAreaInTypeArray() : CEnvChoiceArray(InnerMarks()) {}
CRectAreaInTypeArray::CRectAreaInTypeArray() : CEnvChoiceArray(InnerMarks()) {}
CTrapezoidAreaInTypeArray::CTrapezoidAreaInTypeArray() : CEnvChoiceArray(InnerMarks()) {}
CTrapezoidPerlineTypeArray::CTrapezoidPerlineTypeArray()
{
  assign({{u"左", 1}, {u"中", 2}, {u"右", 3}});
}
