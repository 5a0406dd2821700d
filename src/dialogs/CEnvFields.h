#pragma once
// CEnvFields: which control of a settings page shows which field of the
// working settings, for the controls that store their value as entered
// (after the checks of EnvPageInput). A page lists its controls once, with
// pointers to the fields they edit at that moment, and lets this class
// show the fields and take a changed or tracked control back.

#include "EnvPageInput.h"
#include "gs_unistring.h"

#include <vector>

class CEnvFields {
public:
  enum class Taken { NotListed, Stored, Refused };

  struct Pen {
    EnvPageInput::PenPair pair;
    short* field;
  };
  struct Int {
    short item;
    int* field;
    int minimum;
  };
  template <typename T>
  struct Plain {
    short item;
    T* field;
  };

  // Shows every listed field in its control(s).
  void Show(short dialId) const;
  // A control's change: stores its value when listed and valid.
  Taken Take(short dialId, short item) const;
  // A pen chooser reporting its choice while the user tracks.
  Taken Track(short dialId, short item) const;

  std::vector<Pen> pens;
  std::vector<Plain<short>> attributes;  // line types, fills, layers: stored as chosen
  std::vector<Plain<bool>> checks;
  std::vector<Plain<double>> reals;
  std::vector<Plain<int>> intsFromReals;  // shown as reals, stored cut toward zero
  std::vector<Int> ints;
  std::vector<Plain<GS::UniString>> fonts;  // font pop-ups by name; a name the default code cannot hold is refused
};
