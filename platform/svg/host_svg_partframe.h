#pragma once
// What the part symbols share: the part's own frame and the reading of its
// stored parameter list.

#include "host_model.h"
#include "host_svg_canvas.h"

#include <string>

namespace pln::host {

// Origin at the element's position, x along its angle, mirrored in x when
// the element is reflected.
class PartFrame {
public:
  explicit PartFrame(const API_ObjectType& object);
  API_Coord ToPlan(const API_Coord& local) const;
  // A contour's corners mapped; a mirror turns its arcs the other way.
  SvgContour ToPlan(const SvgContour& local) const;
  // The plan direction of a local one, turned so that a text on it reads
  // upright.
  double UprightAngle(double local) const;
  double Angle() const { return angle_; }

private:
  API_Coord pos_;
  double angle_;
  bool reflected_;
};

// Values of a stored parameter list by name (the last record of a name
// counts); a missing parameter reads as 0 or "".
class PartParams {
public:
  explicit PartParams(const std::vector<StoredParam>& params) : params_(params) {}
  double Real(const char* name) const;
  bool Flag(const char* name) const { return Real(name) != 0.0; }
  std::u16string Text(const char* name) const;
  // The cell (row, column from 1) of a text array; "" outside it.
  std::u16string Cell(const char* name, Int32 row, Int32 column) const;
  // The rows of an array parameter; 0 for a scalar or a missing one.
  Int32 Rows(const char* name) const;

private:
  const StoredParam* Find(const char* name) const;
  const std::vector<StoredParam>& params_;
};

// The area table's symbol.
void DrawAreaTable(SvgCanvas& canvas, const PartFrame& frame, const PartParams& params, double scale);

}  // namespace pln::host
