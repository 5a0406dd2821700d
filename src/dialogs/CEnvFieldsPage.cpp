#include "CEnvFieldsPage.h"

bool CEnvFieldsPage::UpdateData(bool save)
{
  if (!save) {
    ShowOwn();
    Fields().Show(m_DialogID);
    SetEnableItem();
  }
  return true;
}

void CEnvFieldsPage::DoMsgChange(short item, long long /*msgData*/)
{
  if (!ChangeOwn(item) && Fields().Take(m_DialogID, item) == CEnvFields::Taken::Refused)
    UpdateData(false);
  SetEnableItem();
}

void CEnvFieldsPage::DoMsgTrack(short item, long long /*msgData*/)
{
  if (Fields().Track(m_DialogID, item) == CEnvFields::Taken::Refused)
    UpdateData(false);
}
