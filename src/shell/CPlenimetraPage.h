#pragma once
// CPlenimetraPage: the base of the main palette's pages (figure list,
// calculation tree, automatic areas). A page is a palette of its own that
// the main palette keeps in step through OnUpdate, and to which it passes
// the host's notifications while the page is open.

#include "CDGPaletteCore.h"

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

class CPlenimetraPage : public CDGPaletteCore {
public:
  CPlenimetraPage(CPlenimetraPalette& palette, short resourceId) : CDGPaletteCore(resourceId), m_Palette(palette) {}
  virtual void OnUpdate(HINT hint) = 0;

protected:
  CPlenimetraPalette& m_Palette;
};
