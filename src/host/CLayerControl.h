#pragma once
// A guard that shows and unlocks one layer while the add-on writes to an
// element on it. It does not restore by itself: the owner calls Reset()
// after writing, so the owner decides when the layer goes back.

#include "host_types.h"

#include <functional>
#include <vector>

class CLayerControl {
public:
  // Records the layer's visibility and lock, then shows and unlocks it.
  explicit CLayerControl(short layer);

  // Hides a layer that was hidden and locks a layer that was locked;
  // nothing else. The host's first error: a layer left shown or unlocked
  // is reported by the writer, never passed over.
  [[nodiscard]] GSErrCode Reset();

  // Runs write with the layer shown and unlocked and puts the layer back
  // after it, whatever write answered; write's error. What was written
  // stands when the layer cannot be put back: that is reported, naming the
  // layer.
  [[nodiscard]] static GSErrCode Write(short layer, const std::function<GSErrCode()>& write);

  // The one alert naming the layers the user had locked or hidden that the
  // host would not lock or hide again; nothing for none.
  static void ReportLeftOpen(const std::vector<short>& layers);

private:
  short m_layer;
  bool m_bVisible = true;  // as found when the guard was made
  bool m_bLocked = false;
};
