#include "CDlgEditName.h"

#include "DlgLayout.h"
#include "DocRecord.h"
#include "GSWriteReport.h"

#include <algorithm>

namespace {
constexpr short kItemOK = 1;
constexpr short kItemCancel = 2;
constexpr short kItemName = 5;
}  // namespace

pln::host::DGDialogDef CDlgEditName::Layout()
{
  using DlgLayout::Item;
  using pln::host::DGItemKind;
  return {300, 90,
          {Item(kItemOK, DGItemKind::Button, 200, 60), Item(kItemCancel, DGItemKind::Button, 110, 60),
           Item(kItemName, DGItemKind::TextEdit, 10, 20, 280)}};
}

CDlgEditName::CDlgEditName() : CDGDlgCore(ResourceId) {}

bool CDlgEditName::UpdateData(short dialId, bool save)
{
  if (!save) {
    SetItemText(dialId, kItemName, m_Name);
    return true;
  }
  m_Name = GetItemText(dialId, kItemName);
  if (m_Name.IsEmpty()) {
    GSWriteReport(GS::UniString(u"名前を入力してください"));
    return false;
  }
  if (DocText::RefuseUnheld(m_Name))
    return false;
  if (IsExist()) {
    GSWriteReport(GS::UniString(u"この名前は既に使用されています。"));
    return false;
  }
  return true;
}

bool CDlgEditName::IsExist() const
{
  return std::find(m_NameArray.begin(), m_NameArray.end(), m_Name) != m_NameArray.end();
}

void CDlgEditName::DoMsgInit(short dialId)
{
  SetDialogSize(dialId, 0, 0);
  UpdateData(dialId, false);
}

short CDlgEditName::DoMsgClick(short dialId, short item, long long /*msgData*/)
{
  if (item == kItemCancel)
    return kItemCancel;
  if (item == kItemOK)
    return UpdateData(dialId, true) ? kItemOK : 0;
  return 0;
}
