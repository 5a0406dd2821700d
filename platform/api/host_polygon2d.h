#pragma once
// The host's 2D polygon services: polygons with holes and circular arcs,
// their bound box, orientation and area, and the circle through three
// points.
//
// Polygon2DData layout (the same as an element memo's polygon):
// - vertices: 1-based (entry 0 holds nothing); every contour is closed by a
//   repeat of its first vertex, and nVertices counts those repeats;
// - contourEnds: entry 0 = 0, entry k = the index of contour k's last
//   vertex; contour 1 is the outer boundary, the others are holes;
// - arcs: 1-based (entry 0 holds nothing); the edge between the adjacent
//   vertices begIndex and endIndex is an arc of the signed angle arcAngle
//   (radians, positive counter-clockwise when walked from begIndex).
// Lengths are metres; every handle is a counted host handle that
// FreePolygon2DData releases.

#include "host_memory.h"
#include "host_types.h"

namespace Geometry {

struct Coord {
  double x = 0.0;
  double y = 0.0;
  bool operator==(const Coord&) const = default;
};

struct PolyArcRec {
  Int32 begIndex = 0;
  Int32 endIndex = 0;
  double arcAngle = 0.0;
};

struct Box2DData {
  double xMin = 0.0;
  double yMin = 0.0;
  double xMax = 0.0;
  double yMax = 0.0;
};

// Status bits.
constexpr UInt32 Polygon2DData_BoundBoxValid = 1;
constexpr UInt32 Polygon2DData_Oriented = 2;

struct Polygon2DData {
  UInt32 status = 0;
  Box2DData boundBox;
  UInt32 nVertices = 0;
  Coord** vertices = nullptr;
  UInt32 nArcs = 0;
  PolyArcRec** arcs = nullptr;
  UInt32 nContours = 0;
  UIndex** contourEnds = nullptr;
};

struct Circle {
  Coord o;
  double r = 0.0;
};

// Makes the data empty without freeing anything (for fresh records).
void InitPolygon2DData(Polygon2DData* polygon);
// Releases the handles and leaves the data empty.
void FreePolygon2DData(Polygon2DData* polygon);

// The box of every vertex and of the bulge of every arc. False, box
// unchanged, when the data is malformed (counts that disagree with the
// handles, contour ends out of order, arcs between non-adjacent vertices).
[[nodiscard]] bool GetPolygon2DDataBoundBox(const Polygon2DData& polygon, Box2DData* box);

// Turns the outer contour counter-clockwise and every hole clockwise,
// renumbering the arcs of a reversed contour. False for malformed data,
// which is then left as it was.
[[nodiscard]] bool OrientPolygon2DData(Polygon2DData* polygon);

// The area with arcs in square metres. signedArea false: the outer
// contour's area less the holes' areas, each taken by magnitude, so the
// orientation does not matter. signedArea true: the sum of the contours'
// signed areas (counter-clockwise positive). 0 for malformed data.
double GetPolygon2DDataArea(const Polygon2DData& polygon, bool signedArea);

// The circle through the three points. False, circle unchanged, when the
// points are collinear or two of them coincide.
[[nodiscard]] bool Circle_3Pt(const Coord pc[3], Circle* circle);

}  // namespace Geometry
