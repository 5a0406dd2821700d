#pragma once
// The drawing interface through which kernel shapes show themselves on a
// window port. The port is opaque to the kernel: it is handed through
// unchanged to the implementation, which knows what it is.

class CWindowPort;

class CDrawCore {
public:
  virtual ~CDrawCore() = default;

  // A counter-clockwise arc about (cx, cy) at height cz from (sx, sy) to
  // (ex, ey); radius r.
  virtual void DrawArc(CWindowPort* port, double cx, double cy, double cz, double r, double sx,
                       double sy, double ex, double ey) = 0;
};
