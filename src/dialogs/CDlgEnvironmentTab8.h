#pragma once
// CDlgEnvironmentTab8: the drawing attributes shared by the figures of one
// (mark, numbering style) pair, and the settings' fill-off switch. The user
// picks the pair in pop-ups 2 and 4; choosing a pair that has no row adds a
// default row for it to the working settings. Showing a pair adds nothing,
// so opening the dialog never makes the copy differ from the reference.
//
// The row is looked up again at every use: an import or an added row moves
// the rows, so no pointer to one is kept.

#include "CDGDlgTabCore.h"
#include "CEnvFields.h"
#include "dg_state.h"

class CAttributeCommonParam;
class CAttributeCommonParamArray;
class CEnvParam;
class CPlenimetraParam;

class CDlgEnvironmentTab8 : public CDGDlgTabCore {
public:
  static constexpr short ResourceId = 32517;
  static pln::host::DGDialogDef Layout();

  CDlgEnvironmentTab8(short resId, CPlenimetraParam* param, CAttributeCommonParamArray* rows, CEnvParam* env);

  // The row of the pair shown, made when missing.
  CAttributeCommonParam* GetAttrCommon();
  void DoMsgInit() override;
  bool UpdateData(bool save) override;
  void SetEnableItem() override {}
  void DoMsgChange(short item, long long msgData) override;
  void DoMsgTrack(short item, long long msgData) override;
  void DoMsgClick(short /*item*/, long long /*msgData*/) override {}
  void DoMsgClose() override {}

private:
  CEnvFields Fields(CAttributeCommonParam& row) const;
  // The pair's row, or the defaults of a pair that has none yet.
  CAttributeCommonParam ShownRow() const;
  void TakeRow(const CAttributeCommonParam& row, CEnvFields::Taken taken);

  CPlenimetraParam* m_pParam;                        // mark and numbering tables; not owned
  CAttributeCommonParamArray* m_pAttrCommonArray;    // not owned
  int m_ItemType1 = 1;                               // mark of the pair shown
  int m_ItemType2 = 1;                               // numbering style of the pair shown
  CEnvParam* m_pEnvParam;                            // for the fill-off switch; not owned
};
