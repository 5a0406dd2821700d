#pragma once
// Every tolerance of the geometry kernel, named after the operation that owns
// it. Lengths are model units (metres), angles radians.
//
// The values are not interchangeable even where two of them are equal: each
// belongs to one family of tests, and stored data of the host was produced
// with exactly these boundaries. Change one only together with its callers.

namespace KelTol {

// --- Point identity ---------------------------------------------------------
// operator== of the point types: equal while every component difference d
// satisfies -PointEqual < d < PointEqual (strict on both sides).
inline constexpr double PointEqual = 2.5e-5;
// fcmpNearly and every IsNearlyEqual: |d| <= Nearly counts as zero (inclusive).
inline constexpr double Nearly = 0.0005;

// --- Polygons ---------------------------------------------------------------
// A point is on an edge when within OnEdge of its line and of its extent.
inline constexpr double OnEdge = 1e-5;
// operator== of polygons compares the cached area and box within this.
inline constexpr double PolygonCache = 1e-5;
// DeleteOnLine removes a vertex whose offset from its neighbours' line is
// strictly inside this.
inline constexpr double Collinear = 2.5e-5;
// InArea rejects points beyond the cached box grown by this fraction of tol.
inline constexpr double InAreaBoxFraction = 0.1;
// Point location skips edges whose y range misses the point's level by more
// than twice its bands plus this: far above the round-off of an edge's frame
// for outlines up to kilometres across, so skipping changes no result.
inline constexpr double LocateFarEdge = 1e-9;

// --- Triangulation ----------------------------------------------------------
// Segment crossing and simplicity tests of the diagonal search.
inline constexpr double Crossing = 1e-6;
// Two segments whose boxes lie further apart than this cannot pass the
// crossing test (it needs a point of each within Crossing of the other), so
// the test is skipped for them. Far wider than Crossing and any round-off.
inline constexpr double CrossingBox = 1e-3;

// --- Planes in space --------------------------------------------------------
// Two faces lie in the same plane when A, B, C and D each differ by at most this.
inline constexpr double SamePlane = 1e-6;
// The meeting line of two planes: parallel normals, and the check that the
// constructed points lie on both planes; also the point form of CalCrossPoint10.
inline constexpr double PlaneLine = 2.5e-5;

// --- Arcs -------------------------------------------------------------------
// A sweep counts as more than a half circle only when it exceeds pi by more
// than this; a sweep within it of pi is a half circle.
inline constexpr double HalfCircle = 1e-6;
// Flattening treats a start or end direction within this of pi as -pi.
inline constexpr double ArcAngle = 1e-6;
// An arc end within this (in x and in y) of a crossing keeps the crossing
// without the range test; also check_point and CheckOnLine5.
inline constexpr double PointCheck = 0.001;
// An arc record of a host polygon whose angle lies within this of 0 leaves
// its edge straight; one within this of pi in size is a half circle, whose
// centre is the chord's midpoint (the tangent formula loses accuracy there).
inline constexpr double HostArcAngle = 1e-5;

// --- Plane geometry functions -------------------------------------------------
// Slack that check_range adds to every margin, and the band of check_value.
inline constexpr double RangeSlack = 0.0002;
// Components, slopes, feet, sides and crossings of the plain functions
// (arc_radian, get_vtpoint, HalfPlane, check_side, the line and circle
// crossings, CalcVlinepos, CPlane, CalCrossPoint, CheckOnLine4/6/7).
inline constexpr double Geometry = 1e-5;
// The widest on-segment test (CheckOnLine10).
inline constexpr double WideOnSegment = 0.0015;
// The check line's trace, as shares of the lot's size (at least 1 m): a
// crossing counts as ahead on an element when further on than
// ClineTraceAhead (two crossings closer than that are one), and as on it up
// to ClineTraceEnd past its ends, more than the round-off of a crossing
// through a joint, so that the elements on both sides of the joint find it.
// Element chunks are filed with ClineTraceMargin to spare.
inline constexpr double ClineTraceAhead = 1e-11;
inline constexpr double ClineTraceEnd = 2e-11;
inline constexpr double ClineTraceMargin = 1e-9;
// A finished check line may come this much (metres) nearer than its
// distance to the outline: far above the round-off of a lot's own size, far
// below anything a survey measures.
inline constexpr double ClineSoundSlack = 2e-6;
// The mitre of a corner within 0.1 degree of straight lies d / cos(0.05
// degree) from its vertex: this share of the distance d further than d.
inline constexpr double ClineStraightMitre = 3.81e-7;
// A survey point within this (metres) of the chord between the points
// kept on either side of it is no corner of the lot: a line that cannot be
// traced round such points is traced round the lot without them.
inline constexpr double ClineSurveyJitter = 1e-6;
// A concave corner's offset runs meet inside both when their crossing lies
// in both runs' boxes grown by this share of the distance (at most the
// RangeSlack of check_range): a tiny distance must not take a crossing far
// beyond its runs.
inline constexpr double ClineMitreSlack = 1e-3;
// No site lies further than this from its origin (a million kilometres);
// a line beyond it is not traced.
inline constexpr double ClineTraceReach = 1e9;

// --- Numbers becoming integers ----------------------------------------------
// Before a double is floored, ceiled or truncated to an integer, a value
// within IntegerSnap x max(1, |x|) of an integer is taken as that integer:
// 30 degrees from radians is 29.999999999999996, and must print 30.00.
// Relative, because the products it guards (angles x 10^9, areas x factors)
// carry round-off proportional to their size.
inline constexpr double IntegerSnap = 1e-9;
// ...but never more than IntegerSnapCap: from about 1e5 on the relative band
// would swallow real fractions (at 6 digits 215.45280514624767 degrees is
// 215452805.146, which must ceil to ...806, not snap to ...805).
inline constexpr double IntegerSnapCap = 1e-4;

// --- Area figures -------------------------------------------------------------
// Largest length a placed figure may carry (100 km): the products of rounded
// lengths (0.1 mm units) and pi * r * r (1e-8 m2) then stay inside 64 bits.
inline constexpr double FigureLengthMax = 100000.0;
// A third point of an arc within this of its chord's line has no side: the
// arc through it is undefined or swaps to the other side of the circle.
inline constexpr double ChordSide = 1e-6;

}  // namespace KelTol

// Angles used by the kernel, written out so every caller rounds alike.
namespace KelAngle {
inline constexpr double Pi = 3.141592653589793;
inline constexpr double HalfPi = 1.5707963267948966;
inline constexpr double TwoPi = 6.283185307179586;
inline constexpr double ThreeHalfPi = 4.71238898038469;
inline constexpr double DegreesPerRadian = 57.29577951308232;
}  // namespace KelAngle

// --- Site and road data -------------------------------------------------------
namespace KelTol {
// A road height or relaxation width counts as given when its magnitude
// exceeds this (smaller values are typing noise and are cleared).
inline constexpr double SiteValueInForce = 0.0009;
// Two road heights closer than this give no relief position.
inline constexpr double SiteRoadHeightStep = 1e-6;
// Lines within this of each other count as one: parallel far sides, crank
// edges, widths that agree, a segment lying on another's line.
inline constexpr double SiteOnLine = 0.001;
// A corner whose interior angle is within this of a straight angle is
// neither convex nor reflex (pi / 20).
inline constexpr double SiteStraightCorner = 0.15707963267948966;
// End-type tests of an edge: coordinates within this of zero count as zero.
inline constexpr double SiteEdgeType = 1e-6;
// A survey's extra points, judged by the site's size (its diameter, the
// same however the lot is turned or moved), never by its coordinates: this
// share of it is the lot's tiny size. An edge no longer than that (a point
// doubled, a notch) is no frontage of its own, a point from which the
// outline turns straight back along its edge by no more (a run back along
// the frontage) is no corner, and consecutive road (or corner-cut) pieces
// lying within it of their chord are one frontage (or one cut) for the
// corners at its ends. Joining moves the outline by no more than the survey
// did, so no result jumps where a piece stops being joined: 20 mm on a 20 m
// site.
inline constexpr double SiteSurveyShare = 1e-3;
// ...but never more than SiteSurveyTinyMax (metres). A survey places its
// points to a few centimetres on a lot of any size, and a step, a flag
// lot's pole or a corner cut of 0.1 m is drawn on purpose on a 600 m lot as
// on a 20 m one; a share of a large lot's diameter (0.72 m at 600 x 400 m)
// would read such features as noise. Half of 0.1 m, so that a chain of
// stubs drawing more than 0.1 m (more than SiteDenseTinies of them) is read
// as the line it draws, not folded away; one drawing 0.1 m or less is
// folded as a stub. Reached at a diameter of 50 m.
inline constexpr double SiteSurveyTinyMax = 0.05;
// Survey points this near are one point: a point listed again a hair from
// itself, the two sides of a spike meeting a hair apart, an outline turning
// back along its own edge a hair off it. Far above the round-off of
// coordinates 3e5 m from the origin, and far below the narrowest needle a
// drawn outline may hold (1e-5 m, which the check line traces round).
inline constexpr double SiteSurveyRepeat = 1e-6;
// A survey point this near a line lies on it: round-off of coordinates
// 3e5 m from the origin, far below any distance a survey measures.
inline constexpr double SiteOnLineExactly = 1e-8;
// A stretch of frontage lying farther than the tiny size off its chord is
// cut where it lies farthest off. On an arc or an evenly bent frontage the
// middle points lie equally far (the middle edge of an odd stretch is
// parallel to the chord), and which of them rounding or a near-repeat calls
// the farthest would change with the lot's placement. So the points within
// this share of the tiny size of the farthest distance are one bend, cut at
// both its ends: a lot and its mirror image are cut alike, and a side
// parallel to the chord is cut at its two corners whatever noise it
// carries. Half the tiny size: far above round-off, far below the distance
// by which a corner stands out of a straight side beside it.
inline constexpr double SiteChordBand = 0.5;
// Consecutive tiny edges of one kind drawing more than this many tiny
// sizes are no survey noise but a line drawn densely (a side listed every
// 20 mm, a rounded corner in 25 mm chords): they are read as the line or
// arc they draw instead of being folded into the next edge. A doubled
// point, a notch or a spike below the tiny size stays below it.
inline constexpr double SiteDenseTinies = 2;
// A listed point of a side counts towards the line fitted to the side
// (CKelSiteWorkOutline, corners at slight bends) when it lies within this
// of the side's chord: the survey's scatter either way and the corner's own
// slide across, but not a stub's tip.
inline constexpr double SiteSideFit = 4 * SiteOnLine;
// A corner between sides of one kind is put where their fitted lines cross
// only where that lies within this of the listed corner, and the on-line
// distance leaves the bend no longer a slide along its sides (a bend of
// more than about 0.6 degrees): twice the largest tiny size. At a flatter
// bend (a side's points scattered a few millimetres over metres) the lines
// cross anywhere along it, and the listed corner stands.
inline constexpr double SitePinnedSlide = 2 * SiteSurveyTinyMax;
}  // namespace KelTol

// Tolerances of the building volume model (blocks, floor profiles, walls).
namespace KelTol {

// --- Building volume model --------------------------------------------------
// Coinciding block vertices and wall ends, points on a line, heights on a
// plane, and the height differences that make a top or bottom sloped: equal
// while strictly inside +-BlockPoint.
inline constexpr double BlockPoint = 2.5e-5;
// Signs of areas and cross products (reflex vertices), and the closed
// segment-crossing test of outlines.
inline constexpr double BlockAreaSign = 1e-6;
// Points on a segment or edge, and heights recomputed from floor profiles
// (two profile entries are equal within it, bounds included).
inline constexpr double BlockOnEdge = 1e-5;
// The level cut of sloped tops, site containment of blocks, and the
// single-precision old block records compared against blocks (inclusive).
inline constexpr double BlockLevelCut = 1e-4;
// Vertices on a fitted plane, and heights of a block inside another.
inline constexpr double BlockPlaneFit = 0.001;
// The smallest block area a division accepts; equal polygon areas.
inline constexpr double BlockMinArea = 1e-9;
// Search boxes of the combination: a vertex that the insertion band of an
// edge or the point equality can accept lies within BlockPoint of the edge
// or point, off by at most a few ulps of the coordinates' size; a box grown
// by BlockNear plus BlockNearScale times its largest coordinate misses none.
inline constexpr double BlockNear = 1e-4;
inline constexpr double BlockNearScale = 1e-12;
// Round-off of a shoelace sum, as a share of the sum of its terms' sizes:
// far above a few ulps per term for outlines of thousands of vertices.
inline constexpr double BlockAreaRound = 1e-9;
// A vertex of a block's outline within this of the chord between its
// neighbours is a point a survey added (a doubled point, a point splitting
// an edge, the corners of a millimetre notch): the convex split, the outline
// union and the slant-line check's cuts read the outline without it. Far
// below anything drawn at a building's scale; a millimetre, to which survey
// points are given, and the point band beyond it, so that a point doubled a
// millimetre aside counts whatever the round-off of its coordinates.
inline constexpr double BlockSurveyPoint = 1e-3 + BlockPoint;

}  // namespace KelTol

// Tolerances of the block operations that reshape and test outlines.
namespace KelTol {

// The level and side bands of a block's point location: the double just
// above BlockAreaSign, so an offset of exactly 1e-6 still counts as off.
inline constexpr double BlockInAreaRay = 1.0000000000000002e-6;

// --- Outline-to-wall conversion -----------------------------------------------
// The default band of the collector: ends, collinearity and overlaps.
inline constexpr double WallEval = 1e-5;
// A segment shorter than this is not collected; arcs of one circle have
// radii equal within it; an arc end within it of the direction pi is on the
// seam.
inline constexpr double WallMinLength = 1e-6;

}  // namespace KelTol

// Tolerances of the sky-factor calculation (the sky disc has radius 1).
namespace KelTol {

// --- Sky disc and sun -----------------------------------------------------------
// Angles and positions on the sky disc: the azimuth cut at +-pi, the sector
// bounds of the expansion, collinear points of projected outlines.
inline constexpr double SkyDisc = 1e-6;
// The ends of an edge subdivision: a sector line closer than this to an end
// is that end.
inline constexpr double SkySubdivisionEnd = 1e-9;
// An azimuth closer than this (degrees) to an angle line is on that line:
// the edge subdivision walks no line point so close to an edge end, and an
// entry so close to a sector line is marked as on it. Projected points
// within SkyDisc (radians) of each other are one point of the outline
// union's pool, so a line point walked beside an end must lie farther away.
inline constexpr double SkyAngleLine = 0.0001;
static_assert(SkyAngleLine / KelAngle::DegreesPerRadian > SkyDisc);
// The sun counts as set while sin h is at most this (the single-precision
// epsilon): cot h would overflow the shadow lengths.
inline constexpr double SunHorizon = 1.1920928955078125e-7;
// Heights of the sector expansion: a new height may exceed the old by less.
inline constexpr double SkyHeight = 2.5e-5;
// A declination closer than this to 0 has no sign.
inline constexpr double SunDeclinationSign = 1e-5;

// --- Triangle division of projected outlines ------------------------------------
// Coinciding points, turns and crossings of the division (absolute, disc units).
inline constexpr double DividPoint = 2e-12;
// A crossing point farther than this from the crossed edge's line is no
// crossing (the crossing parameter lost its accuracy).
inline constexpr double DividCrossLine = 3e-6;
// A part whose area is within this is empty and yields no triangle.
inline constexpr double DividEmptyArea = 2e-9;
// Heron's squared area of a kept triangle is never below minus this.
inline constexpr double DividHeronFloor = 1e-10;
// Unrounded division drops triangles whose base or height is not above this.
inline constexpr double DividThinTriangle = 1e-5;
// The band of the point-in-outline test that keeps a diagonal inside.
inline constexpr double DividInside = 1e-5;

}  // namespace KelTol

// Tolerances of the slant-line check.
namespace KelTol {

// A check-line piece (segment or arc) this short or shorter makes no check
// points; a point this far past a piece's end still belongs to it. Also the
// position, side and height tolerance of the base and edge lines.
inline constexpr double SlantPiece = 1e-6;
// A division whose n parts miss the length by less than this keeps n parts.
inline constexpr double SlantDivision = 2.5e-5;
// A block corner this near a radial check point's ray is where the ray
// meets the blocks: a survey gives a corner through which the ray runs only
// to the millimetre (BlockSurveyPoint, the band within which a doubled
// corner's other point may stand).
inline constexpr double SlantRayCorner = BlockSurveyPoint;

}  // namespace KelTol

// Tolerances of the sky-factor union (projected outlines in the azimuth,
// elevation chart and on the sky disc).
namespace KelTol {

// Contacts of two chart segments: a target whose ends' offsets from the
// source line differ by no more than SkyCrossParallel runs along it; a
// crossing may lie SkyCrossReach beyond either segment's ends.
inline constexpr double SkyCrossParallel = 5e-7;
inline constexpr double SkyCrossReach = 1e-7;
// Touching and crossing edges of one outline receive shared vertices at
// this band (far below SkyDisc, so only true contacts count).
inline constexpr double SkyContact = 1e-12;
// A direction within this of -pi is taken as pi when the trace starts.
inline constexpr double SkyMinusPi = 2e-16;
// A traced block outline (chart area) must exceed this to be registered.
inline constexpr double SkyOutlineArea = 1e-6;
// A united boundary becomes a parameter only above this share of the disc.
inline constexpr double SkyParamArea = 1e-8;
// The inside test of the union: edges inside another outline by this band.
inline constexpr double SkyUnionInside = 1e-9;
// How far the chart's straight line between two points of an outline may
// stray from their chord on the disc for the union to take the line for the
// chord: the chord's length times the line's distance from it halfway (disc
// units). A corner passing the line then moves the drawn share by at most
// half of it over pi (1.6e-7), well within a ratio's steadiness; an edge of
// a one-degree step stays within it, one of a wider step does not.
inline constexpr double SkyChordSag = 1e-6;
// How fast (share of the disc per metre of the check point's move) the
// points a corner hidden behind an edge puts on the edge's chart line may
// draw the edge towards the notch the corner cuts once it comes out: 1e-6
// per tenth of a millimetre, the survey's own step. The slower, the wider
// the band of points where a hidden corner moves a ratio at all.
inline constexpr double SkyCornerFadeRate = 1e-2;
// How far (radians of elevation) the chart's straight line between two
// points of a projected edge may depart from the edge's own elevation
// halfway before the halfway point is walked too: a degree, far beyond the
// sag of any edge seen across a whole sector, reached only by an edge seen
// nearly end-on close by.
inline constexpr double SkyChartSag = 0.017453292519943295;
// How far (disc units, towards the centre) a point kept clear of an edge on
// the disc stands from it: twice the round-off of a chord's point near the
// horizon (1 - cos e), clear of the triangle division's coincidence band
// (DividPoint), and far below any share the sky factor shows.
inline constexpr double SkyClearOnDisc = 2e-10;
static_assert(SkyClearOnDisc > 10 * DividPoint);

}  // namespace KelTol

// Tolerances of the automatic cut of zone outlines into figures.
namespace KelTol {

// Coordinate and angle differences that count as zero: vertical edges, rays
// along an edge, equal folded directions, antiparallel sides.
inline constexpr double AutoCutZero = 1e-6;
// A four-corner piece is a rectangle when its corners sit within this of a
// rectangle on its own edge.
inline constexpr double AutoCutRect = 2e-5;
// An automatic area still matches its element while the signed area of its
// figures lies within this many square metres of the element's area.
inline constexpr double AutoAreaChanged = 0.02;

}  // namespace KelTol

// --- Check points at walls and sky-factor check points
namespace KelTol {

// A check point may lie this far before the start or past the end of its
// wall, and its height this far outside the wall's bottom and top.
inline constexpr double CpntWallEnd = 0.001;
// Slack on the wall offset (how far outside its wall a point may lie).
inline constexpr double CpntWallOffset = 1e-4;
// A check point at a measuring distance within this counts as at it.
inline constexpr double CpntMeasureDistance = 1e-5;
// Two sky-factor check points closer than this per coordinate are one.
inline constexpr double SkyCheckPointSame = 1e-5;
// Picking projected points: a disc position within SkyPickDisc in x and y,
// a local point within SkyPickPoint per coordinate.
inline constexpr double SkyPickDisc = 1e-6;
inline constexpr double SkyPickPoint = 1e-4;
// Inside tests of merged outlines in the azimuth-elevation chart.
inline constexpr double SkyChartInside = 1e-7;

}  // namespace KelTol
