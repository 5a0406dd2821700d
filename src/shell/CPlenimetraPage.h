#pragma once
// CPlenimetraPage: the base of the main palette's pages (figure list,
// calculation tree, automatic areas). A page is a palette of its own that
// the main palette keeps in step through OnUpdate, and to which it passes
// the host's notifications while the page is open.

#include "CDGListItemParam.h"
#include "CDGPaletteCore.h"
#include "CPlenimetraParam.h"
#include "host_notify.h"

#include <functional>
#include <memory>

class CPlenimetraPalette;

// The main palette's update codes to its pages.
using HINT = int;
namespace Hint {
inline constexpr HINT StoryChanged = 1;      // story-dependent contents are stale
inline constexpr HINT TextsChanged = 7;      // list texts must be rebuilt
inline constexpr HINT TreeChanged = 10;      // the calculation tree must be rebuilt
inline constexpr HINT SettingsApplied = 11;  // everything must be rebuilt
inline constexpr HINT ElementsChanged = 13;  // a batch of plan edits changed the document
inline constexpr HINT PatternChanged = 14;   // another pattern is current
inline constexpr HINT PatternDeleted = 15;   // the first pattern is current
}  // namespace Hint

// Raises the palette's ignore-selection flag for the scope and puts back
// what it was, so selection changes the system makes itself (refilling a
// list, selecting on the plan) are not fed back as the user's.
class IgnoreSelection {
public:
  explicit IgnoreSelection(bool& flag) : m_Flag(flag), m_Before(flag) { m_Flag = true; }
  ~IgnoreSelection() { m_Flag = m_Before; }
  IgnoreSelection(const IgnoreSelection&) = delete;
  IgnoreSelection& operator=(const IgnoreSelection&) = delete;

private:
  bool& m_Flag;
  bool m_Before;
};

// A page's list columns live while the page is open; closing keeps their
// widths for the next opening under the page's resource.
inline void SaveAndReleaseColumns(std::unique_ptr<CDGListItemParamArray>& columns, short resourceId)
{
  if (columns == nullptr)
    return;
  columns->SaveHeaderPosition(resourceId);
  columns.reset();
}

// The document reaches the host only through its save, the project record.
// An edit's save therefore runs inside one undo step, after what of the
// edit the host keeps on the plan (place: the placed parts it rewrites): a
// save outside every step would belong to none, so that the host's Undo
// took it back with the step before and Redo did not restore it. The host
// records no step when nothing changed. Where it refuses the step, nothing
// is placed but the edit is still saved, as the document holds it. Answers
// the first failure.
inline GSErrCode RunAsOneStep(const GS::UniString& name, const std::function<GSErrCode()>& place,
                              const std::function<GSErrCode()>& save)
{
  bool ran = false;
  const GSErrCode err = ACAPI_CallUndoableCommand(name, [&]() -> GSErrCode {
    ran = true;
    const GSErrCode placed = place();
    const GSErrCode saved = save();
    return placed != NoError ? placed : saved;
  });
  if (ran)
    return err;
  const GSErrCode saved = save();
  return err != NoError ? err : saved;
}

// An edit that places nothing: its save alone is its undo step.
inline GSErrCode SaveAsStep(CPlenimetraParam& param, const char16_t* name)
{
  return RunAsOneStep(
      GS::UniString(name), [] { return GSErrCode(NoError); }, [&] { return param.SaveData(); });
}

class CPlenimetraPage : public CDGPaletteCore {
public:
  CPlenimetraPage(CPlenimetraPalette& palette, short resourceId) : CDGPaletteCore(resourceId), m_Palette(palette)
  {
    m_nControlFlags |= kPageControlFlag;
  }
  virtual void OnUpdate(HINT hint) = 0;
  // Takes what the page's view has selected before the document is read
  // again and answers how to select it again afterwards, as far as the
  // re-read still has it; nothing for a page that keeps no selection.
  virtual std::function<void()> KeepView() { return {}; }
  // The main palette's document, read again where the record was replaced.
  bool RefreshBeforeUserAction(short message, short item) override;

protected:
  // Every page registers with this control flag beside the window's own;
  // what it means is the host's business.
  static constexpr Int32 kPageControlFlag = 4;

  CPlenimetraPalette& m_Palette;
};
