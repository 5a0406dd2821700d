#pragma once
// CEnvFieldsPage: a settings page whose controls mostly store their value
// as entered (the style pages). The page lists those controls in Fields();
// the few it stores otherwise (choice pop-ups, the style switch) it handles
// in ChangeOwn and shows in ShowOwn. A refused value shows the stored
// values again.

#include "CDGDlgTabCore.h"
#include "CEnvFields.h"

class CEnvFieldsPage : public CDGDlgTabCore {
public:
  using CDGDlgTabCore::CDGDlgTabCore;

  // false shows the stored values; true accepts (every control writes at
  // once).
  bool UpdateData(bool save) override;
  void SetEnableItem() override {}
  void DoMsgChange(short item, long long msgData) override;
  void DoMsgTrack(short item, long long msgData) override;
  void DoMsgClick(short /*item*/, long long /*msgData*/) override {}
  void DoMsgClose() override {}

protected:
  // The listed controls with the fields they edit now.
  virtual CEnvFields Fields() const = 0;
  // Stores a control the list does not hold; false when item is none.
  virtual bool ChangeOwn(short /*item*/) { return false; }
  virtual void ShowOwn() {}
};
