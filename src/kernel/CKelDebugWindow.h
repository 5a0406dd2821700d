#pragma once
// The library's debug window: a drawing target that shapes can be drawn on
// while the library is debugged. This build has no window behind it, so
// every drawing operation takes its arguments and draws nothing.

#include "CDrawCore.h"

class CKelDebugWindow : public CDrawCore {
public:
  void DrawArc(CWindowPort* port, double cx, double cy, double cz, double r, double sx, double sy, double ex,
               double ey) override;
};

// The one debug window of the library.
extern CKelDebugWindow KelDebugWindow;
