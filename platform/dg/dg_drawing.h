#pragma once
// Owner drawing. The host asks an owner-drawn list cell or user item to be
// drawn with DG_MSG_UPDATE, and a panel's background with
// DG_MSG_BACKGROUNDPAINT; the message's data word points to a record that
// carries the surface to draw on. Headless, a surface is a size and the
// list of operations drawn on it, which tests read back.
//
// Coordinates are pixels from the surface's top left corner.

#include "dg_types.h"

#include <vector>

namespace NewDisplay {

struct Color {
  UInt8 red = 0;
  UInt8 green = 0;
  UInt8 blue = 0;
  UInt8 alpha = 255;  // 255: opaque
  bool operator==(const Color&) const = default;
};

struct DrawOperation {
  enum Kind { Frame, Line, Fill };
  Kind kind = Frame;
  // A rectangle's corners, or a line's two ends (left, top) - (right, bottom).
  double left = 0.0;
  double top = 0.0;
  double right = 0.0;
  double bottom = 0.0;
  Color color;  // the foreground colour for Frame and Line
  bool operator==(const DrawOperation&) const = default;
};

struct DrawSurface {
  double width = 0.0;
  double height = 0.0;
  std::vector<DrawOperation> operations;
};

class NativeContext {
public:
  explicit NativeContext(DrawSurface* surface);
  double GetWidth() const;
  double GetHeight() const;
  void SetForeColor(const Color& color);
  void FrameRect(double left, double top, double right, double bottom);
  void Line(double x1, double y1, double x2, double y2);
  void FillRect(double left, double top, double right, double bottom, const Color& color);

private:
  DrawSurface* surface_;  // not owned; null draws nothing
  Color foreColor_;
};

}  // namespace NewDisplay

namespace DG {

struct Rect {
  double left = 0.0;
  double top = 0.0;
  double right = 0.0;
  double bottom = 0.0;
};

// DG_MSG_UPDATE: an owner-drawn list cell (row and tab field from 1) or a
// user item (row and tab field 0).
struct ItemUpdateEventArg {
  short row = 0;
  short tabField = 0;
  NewDisplay::DrawSurface* surface = nullptr;
};

// DG_MSG_BACKGROUNDPAINT.
struct PanelBackgroundPaintEventArg {
  NewDisplay::DrawSurface* surface = nullptr;
};

namespace Utils {
void FillRect(NewDisplay::NativeContext& context, const DG::Rect& rect, const NewDisplay::Color& color);
}  // namespace Utils

}  // namespace DG

namespace NewDisplay {

// The drawing context of an update message's record.
class UserItemUpdateNativeContext : public NativeContext {
public:
  explicit UserItemUpdateNativeContext(const DG::ItemUpdateEventArg* update);
};

}  // namespace NewDisplay
