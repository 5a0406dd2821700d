#pragma once
// The progress interface over the host's process window (a bar, a text per
// phase and a cancel button), driven through ACAPI_Interface requests.
//
// Single-range mode: the first SetRange opens the window with one phase and
// later ranges only reset the counters. Phased mode: SetPhase opens the
// window with n phases and every SetRange starts the next one. Close
// returns the object to its first-use state, so one object can run several
// operations in turn. All calls come from the host's user-interface thread.

#include "CKelProgressCore.h"
#include "gs_unistring.h"

class CDlgProgress : public CKelProgressCore {
public:
  CDlgProgress() = default;
  // Closes a window left open, so an exception unwinding through a progress
  // loop leaves the host without a stray window instead of aborting it.
  ~CDlgProgress() override;

  // The title is kept for the window that opens later; answers 0.
  int OpenProgress(const GS::UniString& title, bool flag);
  int OpenProgress(const char* title, bool flag) override;

  void SetPhase(int phases, const GS::UniString& title) override;
  void SetPhase(int phases, const char* title) override;
  void IncrementPhase() override;

  void SetRange(int max, const GS::UniString& text);
  void SetRange(int max, const char* text) override;
  // SetRange with the phase count in front of the text.
  void SetRange2(int max, const GS::UniString& text);
  // In phased mode the phase count and one blank ("3 "), otherwise empty.
  GS::UniString GetCurPhase() const;

  int StepIt() override;
  void SetPos(int pos) override;
  bool CheckAbort() override;
  int GetPos() override { return m_nPos; }
  int GetRange() override { return m_nRange; }
  void Cancel() override {}
  void SetText(const char* /*text*/) override {}
  void Close() override;

  bool IsOpen() const { return m_bOpen; }

private:
  void OpenWindow(Int32 phases);

  bool m_bFirstUse = true;  // until a single range has opened the window
  bool m_bOpen = false;
  bool m_bCancelled = false;  // answered by the host since the window opened
  GS::UniString m_title;
  Int32 m_nPhaseCount = 0;  // as the host accepted it
};
