#pragma once
// A survey's reading of polylines, shared by the site readers: distances of
// points from lines and chains, the corners of a listed side (the points
// lying farther than the survey's on-line distance, KelTol::SiteOnLine, off
// the chord between the corners beside them), the joints of an evenly
// listed arc, and where two sides meet across the short edges folded
// between them. Every measure is taken about a point of the polyline, so
// coordinates far from the origin keep their digits.

#include <cstddef>
#include <functional>
#include <vector>

#include "CKelCoord.h"

namespace kel_polyline {

// Distance of p from the line through a and b (from a when they coincide).
double OffLine(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& p);
// The foot of p on the line through a and b (a when they coincide).
CKelCoord2D Foot(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& p);
// How far p lies from the polyline pts (not empty).
double FromPolyline(const std::vector<CKelCoord2D>& pts, const CKelCoord2D& p);
// How far the points of pts strictly between a and b lie off their chord at
// most.
double FarthestOff(const std::vector<CKelCoord2D>& pts, std::size_t a, std::size_t b);
// How wide the narrowest strip holding the points of pts from a to b is:
// they all lie within half of it of one line, wherever their ends lie.
double StripWidth(const std::vector<CKelCoord2D>& pts, std::size_t a, std::size_t b);
// Whether the points of pts from a to b draw one side of a survey: they lie
// within the on-line distance of their chord or, scattered to both sides of
// it, of one line; within KelTol::SitePinnedSlide of its ends, as the corner
// of a slight bend may be read a few centimetres along the next side, within
// KelTol::SiteSideFit more.
bool DrawsSide(const std::vector<CKelCoord2D>& pts, std::size_t a, std::size_t b);
// How far the points of chain lie off the line through a and b at most.
double ChainOff(const CKelCoord2D& a, const CKelCoord2D& b, const std::vector<CKelCoord2D>& chain);
// Per point of pts: a joint of an evenly listed arc (its ends never are).
// A point exactly on the chord between its neighbours is no joint.
std::vector<bool> EvenArcJoints(const std::vector<CKelCoord2D>& pts);
// The same where a point may lie up to slack[j] off the joint the outline
// drew (a fold's end standing for the joint its folded edges hide): a
// joint whose turn such a point sways joins a run when it turns as the
// run's own joints do to within the sway; a run needs joints of its own,
// each standing off its neighbours' chord by more than a hair
// (KelTol::SiteSurveyRepeat).
std::vector<bool> EvenArcJoints(const std::vector<CKelCoord2D>& pts, const std::vector<double>& slack);
// Per point of pts: a corner of the side pts lists (its ends always are);
// the points between two corners draw one side (DrawsSide). The same points
// at any placement, mirrored or listed the other way.
std::vector<bool> OffLineCorners(const std::vector<CKelCoord2D>& pts);
// The same where drawsSide(a, b) judges whether the points from a to b draw
// one side (a side's joints judged by the points listed between them).
using StretchJudge = std::function<bool(std::size_t, std::size_t)>;
std::vector<bool> OffLineCorners(const std::vector<CKelCoord2D>& pts, const StretchJudge& drawsSide);
// Where the sides b0 -> chain.front() and chain.back() -> a1 meet across
// the folded polyline chain, judged by the lot's tiny size.
CKelCoord2D FoldedJoint(const CKelCoord2D& b0, const CKelCoord2D& a1, const std::vector<CKelCoord2D>& chain,
                        double tiny);

}  // namespace kel_polyline
