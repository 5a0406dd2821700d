#pragma once
// The progress interface that long operations report through, so computing
// code never knows the user interface. A null pointer to it means: no
// display and no cancel. The window over the host's progress service
// derives from it; every operation here does nothing by default.
//
// Two modes: single-range (the first range opens the display) and phased
// (SetPhase announces the number of phases, each range starts the next).

#include "gs_unistring.h"

class CKelProgressCore {
public:
  CKelProgressCore() = default;
  CKelProgressCore(const CKelProgressCore&) = delete;
  CKelProgressCore& operator=(const CKelProgressCore&) = delete;

  // The slot order is part of the interface: keep it.
  virtual ~CKelProgressCore() = default;
  virtual void IncrementPhase() {}
  virtual void Close() {}
  virtual void DebugText(const char* /*text*/) {}
  virtual void SetRange(int /*max*/, const char* /*text*/) {}
  // Answers the host's error; 0 here.
  virtual int StepIt() { return 0; }
  virtual void SetPos(int /*pos*/) {}
  virtual void Cancel() {}
  virtual bool CheckAbort() { return false; }
  virtual int GetPos() { return m_nPos; }
  virtual int GetRange() { return m_nRange; }
  virtual void SetPhase(int /*phases*/, const char* /*title*/) {}
  virtual void SetText(const char* /*text*/) {}
  virtual int OpenProgress(const char* /*title*/, bool /*flag*/) { return 0; }
  virtual void SetPhase(int /*phases*/, const GS::UniString& /*title*/) {}

protected:
  const char* m_pText = "";
  bool m_bUsePhase = false;
  int m_nRange = 0;  // the maximum of the current range
  int m_nPos = 0;
};
