#include "CDlgProgress.h"

#include "GSWriteReport.h"

#include "host_assert.h"
#include "host_interface.h"

namespace {

// The window's own calls leave their host errors unread: the bar is advisory
// and the work goes on without it (StepIt alone passes its error on).

// The computing code hands its texts over as UTF-8.
GS::UniString FromUtf8(const char* text) { return GS::UniString(text, CC_UTF8); }

}  // namespace

CDlgProgress::~CDlgProgress() { Close(); }

int CDlgProgress::OpenProgress(const GS::UniString& title, bool /*flag*/)
{
  m_title = title;
  return 0;
}

int CDlgProgress::OpenProgress(const char* title, bool flag) { return OpenProgress(FromUtf8(title), flag); }

void CDlgProgress::OpenWindow(Int32 phases)
{
  PLN_ASSERT(!m_bOpen);
  (void)ACAPI_Interface('IPWD', &m_title, &phases);
  m_bOpen = true;
  m_nPhaseCount = phases;
}

void CDlgProgress::SetPhase(int phases, const GS::UniString& title)
{
  m_bUsePhase = true;
  PLN_ASSERT(!m_bOpen);
  m_title = title;
  OpenWindow(phases);
  m_nRange = 0;
}

void CDlgProgress::SetPhase(int phases, const char* title) { SetPhase(phases, FromUtf8(title)); }

// The host advances its phase at the next range; nothing to send here.
void CDlgProgress::IncrementPhase() { PLN_ASSERT(m_bUsePhase); }

void CDlgProgress::SetRange(int max, const GS::UniString& text)
{
  GS::UniString phaseText = text;
  Int32 maximum = max;
  bool showPercent = true;
  if (m_bUsePhase) {
    (void)ACAPI_Interface('SPRP', &phaseText, &maximum, &showPercent);
  } else if (m_bFirstUse) {
    OpenWindow(1);
    (void)ACAPI_Interface('SPRP', &phaseText, &maximum, &showPercent);
    m_bFirstUse = false;
  }
  m_nPos = 0;
  m_nRange = max;
}

void CDlgProgress::SetRange(int max, const char* text) { SetRange(max, FromUtf8(text)); }

void CDlgProgress::SetRange2(int max, const GS::UniString& text) { SetRange(max, GetCurPhase() + text); }

GS::UniString CDlgProgress::GetCurPhase() const
{
  if (!m_bUsePhase) return GS::UniString();
  return GS::UniString::Printf("%d ", static_cast<int>(m_nPhaseCount));
}

int CDlgProgress::StepIt()
{
  Int32 increment = 1;
  const GSErrCode err = ACAPI_Interface('IPRV', &increment);
  ++m_nPos;
  return err;
}

void CDlgProgress::SetPos(int pos)
{
  Int32 position = pos;
  (void)ACAPI_Interface('SPRV', &position);
  m_nPos = position;
}

// A cancel once answered stands until the window closes, so a question
// whose answer a caller does not act on still ends the operation at the
// next one.
bool CDlgProgress::CheckAbort()
{
  if (!m_bCancelled)
    m_bCancelled = ACAPI_Interface('CANC') != 0;
  return m_bCancelled;
}

// A window the host would not close is asked once more, so that a passing
// refusal leaves no stray window; one that still stays open is reported.
void CDlgProgress::Close()
{
  if (m_bOpen) {
    if (ACAPI_Interface('CPWD') != NoError) {
      if (const GSErrCode again = ACAPI_Interface('CPWD'); again != NoError)
        GSWriteFailure(GS::UniString(u"進行状況のウィンドウを閉じられませんでした。"), again);
    }
    m_bOpen = false;
  }
  m_bFirstUse = true;
  m_bUsePhase = false;
  m_bCancelled = false;
}
