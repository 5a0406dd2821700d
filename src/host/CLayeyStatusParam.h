#pragma once
// The saved state of layers that a deletion shows and unlocks for a moment:
// one record per layer, taken before the first change, so that putting the
// records back restores every layer exactly as the user had it.

#include <vector>

class CLayeyStatusParam {
public:
  CLayeyStatusParam() = default;
  CLayeyStatusParam(short layer, bool visible, bool locked) : m_nLayer(layer), m_bVisible(visible), m_bLocked(locked) {}

  bool operator==(const CLayeyStatusParam&) const = default;

  short m_nLayer = 0;
  bool m_bVisible = false;
  bool m_bLocked = false;
};

class CLayeyStatusParamArray : public std::vector<CLayeyStatusParam> {
public:
  // Appends the record unless its layer is already saved: the first saved
  // state of a layer is the user's, later ones would be our own changes.
  void Add(const CLayeyStatusParam& param);
  // 0 when a record for the layer exists, -1 otherwise.
  int Search(short layer) const;
};
