#include "dg_drawing.h"

namespace NewDisplay {

NativeContext::NativeContext(DrawSurface* surface) : surface_(surface) {}

double NativeContext::GetWidth() const { return surface_ != nullptr ? surface_->width : 0.0; }

double NativeContext::GetHeight() const { return surface_ != nullptr ? surface_->height : 0.0; }

void NativeContext::SetForeColor(const Color& color) { foreColor_ = color; }

void NativeContext::FrameRect(double left, double top, double right, double bottom)
{
  if (surface_ != nullptr)
    surface_->operations.push_back({DrawOperation::Frame, left, top, right, bottom, foreColor_});
}

void NativeContext::Line(double x1, double y1, double x2, double y2)
{
  if (surface_ != nullptr)
    surface_->operations.push_back({DrawOperation::Line, x1, y1, x2, y2, foreColor_});
}

void NativeContext::FillRect(double left, double top, double right, double bottom, const Color& color)
{
  if (surface_ != nullptr)
    surface_->operations.push_back({DrawOperation::Fill, left, top, right, bottom, color});
}

UserItemUpdateNativeContext::UserItemUpdateNativeContext(const DG::ItemUpdateEventArg* update)
    : NativeContext(update != nullptr ? update->surface : nullptr)
{
}

}  // namespace NewDisplay

namespace DG::Utils {

void FillRect(NewDisplay::NativeContext& context, const DG::Rect& rect, const NewDisplay::Color& color)
{
  context.FillRect(rect.left, rect.top, rect.right, rect.bottom, color);
}

}  // namespace DG::Utils
