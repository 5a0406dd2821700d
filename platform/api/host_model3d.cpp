// The 3D model of elements: the bodies of morphs and slabs, numbered for
// ACAPI_3D_GetComponent, and the subtracting solid links that cut them.

#include "host_body.h"

#include "host_calllog.h"
#include "host_errors.h"
#include "host_model.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace pln::host {
namespace {

// ---------------------------------------------------------------------------
// Building bodies

// Adds vertices and edges once each, and answers signed edge numbers.
class BodyMaker {
public:
  Int32 Vertex(const API_Coord3D& c)
  {
    auto [found, added] = vertexIndex_.try_emplace({c.x, c.y, c.z}, static_cast<Int32>(body_.vertices.size()));
    if (added)
      body_.vertices.push_back(c);
    return found->second;
  }
  Int32 Edge(Int32 from, Int32 to)
  {
    auto [found, added] = edgeIndex_.try_emplace({std::min(from, to), std::max(from, to)},
                                                 static_cast<Int32>(body_.edges.size()));
    if (added)
      body_.edges.emplace_back(from, to);
    const Int32 number = found->second + 1;
    return body_.edges[static_cast<std::size_t>(found->second)].first == from ? number : -number;
  }
  // contours: closed vertex loops (without repeats), the first the outer.
  void Polygon(const std::vector<std::vector<Int32>>& contours, const API_Coord3D& normal)
  {
    StoredBody::Polygon polygon;
    for (const auto& loop : contours) {
      if (!polygon.edges.empty())
        polygon.edges.push_back(0);
      for (std::size_t i = 0; i < loop.size(); ++i)
        polygon.edges.push_back(Edge(loop[i], loop[(i + 1) % loop.size()]));
    }
    polygon.normal = static_cast<Int32>(body_.normals.size());
    body_.normals.push_back(normal);
    body_.polygons.push_back(std::move(polygon));
  }
  const API_Coord3D& VertexAt(Int32 index) const { return body_.vertices[static_cast<std::size_t>(index)]; }
  StoredBody Take() { return std::move(body_); }

private:
  StoredBody body_;
  std::map<std::tuple<double, double, double>, Int32> vertexIndex_;
  std::map<std::pair<Int32, Int32>, Int32> edgeIndex_;
};

double SignedArea(const std::vector<API_Coord>& ring)
{
  double area = 0.0;
  for (std::size_t i = 0; i < ring.size(); ++i) {
    const API_Coord& p = ring[i];
    const API_Coord& q = ring[(i + 1) % ring.size()];
    area += p.x * q.y - q.x * p.y;
  }
  return area / 2.0;
}

// The slab's contours without their closing repeats, the outer one turned
// counter-clockwise and the holes clockwise, so the material lies to the
// left of every edge.
std::vector<std::vector<API_Coord>> SlabRings(const StoredMemo& memo)
{
  std::vector<std::vector<API_Coord>> rings;
  for (std::size_t k = 1; k < memo.pends.size(); ++k) {
    const auto first = static_cast<std::size_t>(memo.pends[k - 1] + 1);
    const auto last = static_cast<std::size_t>(memo.pends[k]);
    std::vector<API_Coord> ring(memo.coords.begin() + static_cast<std::ptrdiff_t>(first),
                                memo.coords.begin() + static_cast<std::ptrdiff_t>(last));
    const bool outer = k == 1;
    if ((SignedArea(ring) > 0.0) != outer)
      std::reverse(ring.begin(), ring.end());
    rings.push_back(std::move(ring));
  }
  return rings;
}

StoredBody SlabBody(const StoredElement& stored)
{
  const Story* story = FindStory(stored.element.header.floorInd);
  const double top = (story != nullptr ? story->level : 0.0) + stored.element.slab.level;
  const double bottom = top - stored.element.slab.thickness;
  BodyMaker maker;
  std::vector<std::vector<Int32>> tops, bottoms;
  for (const auto& ring : SlabRings(stored.memo)) {
    std::vector<Int32> upper, lower;
    for (const API_Coord& c : ring) {
      lower.push_back(maker.Vertex({c.x, c.y, bottom}));
      upper.push_back(maker.Vertex({c.x, c.y, top}));
    }
    for (std::size_t i = 0; i < ring.size(); ++i) {
      const std::size_t j = (i + 1) % ring.size();
      const double dx = ring[j].x - ring[i].x;
      const double dy = ring[j].y - ring[i].y;
      const double length = std::hypot(dx, dy);
      // Outward: to the right of an edge that has the material on its left.
      maker.Polygon({{lower[i], lower[j], upper[j], upper[i]}}, {dy / length, -dx / length, 0.0});
    }
    tops.push_back(upper);
    std::reverse(lower.begin(), lower.end());
    bottoms.push_back(lower);
  }
  maker.Polygon(tops, {0.0, 0.0, 1.0});
  maker.Polygon(bottoms, {0.0, 0.0, -1.0});
  return maker.Take();
}

API_Coord3D Transform(const API_Tranmat& m, const API_Coord3D& c)
{
  const double* t = m.tmx;
  return {t[0] * c.x + t[1] * c.y + t[2] * c.z + t[3], t[4] * c.x + t[5] * c.y + t[6] * c.z + t[7],
          t[8] * c.x + t[9] * c.y + t[10] * c.z + t[11]};
}

// ---------------------------------------------------------------------------
// Subtraction by a covering slab: what lies between the slab's bottom and
// top goes, what lies below and above stays as separate bodies.

struct Range {
  double low = 0.0;
  double high = 0.0;
};

bool BodyZRange(const PlacedBody& placed, Range* range)
{
  if (placed.body.vertices.empty())
    return false;
  range->low = range->high = Transform(placed.tranmat, placed.body.vertices.front()).z;
  for (const API_Coord3D& v : placed.body.vertices) {
    const double z = Transform(placed.tranmat, v).z;
    range->low = std::min(range->low, z);
    range->high = std::max(range->high, z);
  }
  return true;
}

bool Covers(const StoredElement& slab, const std::vector<PlacedBody>& target)
{
  if (slab.memo.pends.size() != 2)
    return false;
  const auto ring = SlabRings(slab.memo);
  double xMin = ring[0][0].x, xMax = xMin, yMin = ring[0][0].y, yMax = yMin;
  for (const API_Coord& c : ring[0]) {
    xMin = std::min(xMin, c.x), xMax = std::max(xMax, c.x);
    yMin = std::min(yMin, c.y), yMax = std::max(yMax, c.y);
  }
  // Only an axis-parallel rectangle is its own bounding box.
  if (ring[0].size() != 4 || std::abs(SignedArea(ring[0])) < (xMax - xMin) * (yMax - yMin))
    return false;
  for (const PlacedBody& placed : target)
    for (const API_Coord3D& v : placed.body.vertices) {
      const API_Coord3D p = Transform(placed.tranmat, v);
      if (p.x < xMin || p.x > xMax || p.y < yMin || p.y > yMax)
        return false;
    }
  return true;
}

// A point where the segment crosses the plane z = h, the same whichever
// way round the segment is given, so both faces of an edge agree exactly.
API_Coord3D Crossing(API_Coord3D a, API_Coord3D b, double h)
{
  if (a.z == h)
    return a;
  if (b.z == h)
    return b;
  if (std::tie(b.x, b.y, b.z) < std::tie(a.x, a.y, a.z))
    std::swap(a, b);
  const double t = (h - a.z) / (b.z - a.z);
  return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, h};
}

// Cuts a closed body by the plane z = h, keeping the side below (keepBelow)
// or above, and closes the cut with cap faces on the plane.
class HalfCut {
public:
  HalfCut(double h, bool keepBelow) : h_(h), below_(keepBelow) {}

  StoredBody Run(const PlacedBody& placed)
  {
    const StoredBody& body = placed.body;
    for (const StoredBody::Polygon& polygon : body.polygons) {
      std::vector<std::vector<Int32>> kept;
      for (const auto& loop : Loops(body, polygon, placed.tranmat)) {
        auto clipped = Clip(loop);
        if (clipped.size() >= 3)
          kept.push_back(std::move(clipped));
      }
      if (!kept.empty())
        maker_.Polygon(kept, body.normals[static_cast<std::size_t>(polygon.normal)]);
    }
    AddCaps();
    return maker_.Take();
  }

private:
  bool Inside(const API_Coord3D& p) const { return below_ ? p.z <= h_ : p.z >= h_; }

  static std::vector<std::vector<API_Coord3D>> Loops(const StoredBody& body, const StoredBody::Polygon& polygon,
                                                     const API_Tranmat& tranmat)
  {
    std::vector<std::vector<API_Coord3D>> loops(1);
    for (Int32 number : polygon.edges) {
      if (number == 0) {
        loops.emplace_back();
        continue;
      }
      const auto& edge = body.edges[static_cast<std::size_t>(std::abs(number) - 1)];
      const Int32 start = number > 0 ? edge.first : edge.second;
      loops.back().push_back(Transform(tranmat, body.vertices[static_cast<std::size_t>(start)]));
    }
    return loops;
  }

  // One contour clipped to the kept side. Where it leaves the side it runs
  // along the plane to where it next comes back; the cap needs that run the
  // other way round.
  std::vector<Int32> Clip(const std::vector<API_Coord3D>& loop)
  {
    std::vector<Int32> out;
    std::vector<std::pair<bool, Int32>> crossings;  // (leaving, vertex) in loop order
    auto emit = [&out, this](const API_Coord3D& p) {
      const Int32 v = maker_.Vertex(p);
      if (out.empty() || out.back() != v)
        out.push_back(v);
    };
    for (std::size_t i = 0; i < loop.size(); ++i) {
      const API_Coord3D& p = loop[i];
      const API_Coord3D& q = loop[(i + 1) % loop.size()];
      if (Inside(p))
        emit(p);
      if (Inside(p) != Inside(q)) {
        emit(Crossing(p, q, h_));
        crossings.emplace_back(Inside(p), out.back());
      }
    }
    // Leaving and coming back alternate along a closed contour.
    for (std::size_t i = 0; i < crossings.size(); ++i) {
      const auto& back = crossings[(i + 1) % crossings.size()];
      if (crossings[i].first && !back.first && back.second != crossings[i].second)
        capEdges_.emplace_back(back.second, crossings[i].second);
    }
    if (out.size() >= 2 && out.front() == out.back())
      out.pop_back();
    return out;
  }

  void AddCaps()
  {
    std::vector<std::vector<Int32>> loops;
    std::vector<bool> used(capEdges_.size(), false);
    for (std::size_t start = 0; start < capEdges_.size(); ++start) {
      std::vector<Int32> loop;
      for (std::size_t at = start; at < capEdges_.size() && !used[at];) {
        used[at] = true;
        loop.push_back(capEdges_[at].first);
        at = Next(capEdges_[at].second, used);
      }
      if (loop.size() >= 3)
        loops.push_back(std::move(loop));
    }
    // Seen along the cap's normal an outer loop runs counter-clockwise and
    // a hole clockwise; a hole joins the smallest outer loop around it.
    std::vector<std::vector<std::vector<Int32>>> caps;
    std::vector<double> areas;
    std::vector<std::vector<Int32>> holes;
    for (auto& loop : loops) {
      const double area = (below_ ? 1.0 : -1.0) * SignedArea(Plan(loop));
      if (area > 0.0) {
        caps.push_back({std::move(loop)});
        areas.push_back(area);
      } else {
        holes.push_back(std::move(loop));
      }
    }
    for (auto& hole : holes) {
      std::size_t best = caps.size();
      const API_Coord probe = Plan({hole.front()}).front();
      for (std::size_t i = 0; i < caps.size(); ++i)
        if (Contains(Plan(caps[i].front()), probe) && (best == caps.size() || areas[i] < areas[best]))
          best = i;
      if (best < caps.size())
        caps[best].push_back(std::move(hole));
    }
    for (const auto& cap : caps)
      maker_.Polygon(cap, {0.0, 0.0, below_ ? 1.0 : -1.0});
  }

  std::vector<API_Coord> Plan(const std::vector<Int32>& loop) const
  {
    std::vector<API_Coord> ring;
    for (Int32 v : loop) {
      const API_Coord3D& c = maker_.VertexAt(v);
      ring.push_back({c.x, c.y});
    }
    return ring;
  }

  // Even-odd rule; a probe on the boundary may fall either way, which only
  // matters for loops that touch.
  static bool Contains(const std::vector<API_Coord>& ring, const API_Coord& p)
  {
    bool inside = false;
    for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++)
      if ((ring[i].y > p.y) != (ring[j].y > p.y) &&
          p.x < (ring[j].x - ring[i].x) * (p.y - ring[i].y) / (ring[j].y - ring[i].y) + ring[i].x)
        inside = !inside;
    return inside;
  }

  std::size_t Next(Int32 from, const std::vector<bool>& used) const
  {
    for (std::size_t i = 0; i < capEdges_.size(); ++i)
      if (!used[i] && capEdges_[i].first == from)
        return i;
    return capEdges_.size();
  }

  double h_;
  bool below_;
  BodyMaker maker_;
  std::vector<std::pair<Int32, Int32>> capEdges_;
};

// The target's bodies with the part between low and high taken away.
std::vector<PlacedBody> CutAway(const std::vector<PlacedBody>& target, const Range& cut)
{
  std::vector<PlacedBody> pieces;
  for (const PlacedBody& placed : target) {
    Range own;
    if (!BodyZRange(placed, &own))
      continue;
    if (own.high <= cut.low || own.low >= cut.high) {
      pieces.push_back(placed);
      continue;
    }
    if (own.low < cut.low)
      pieces.push_back(PlacedBody{HalfCut(cut.low, true).Run(placed), API_Tranmat{}});
    if (own.high > cut.high)
      pieces.push_back(PlacedBody{HalfCut(cut.high, false).Run(placed), API_Tranmat{}});
  }
  return pieces;
}

// ---------------------------------------------------------------------------
// Bodies of an element

GSErrCode OwnBodies(const StoredElement& stored, std::vector<PlacedBody>* bodies)
{
  const API_Element& e = stored.element;
  switch (e.header.typeID) {
  case API_MorphID: {
    auto body = UnpackBody(stored.memo.morphBody);
    if (!body)
      return APIERR_NO3D;
    bodies->push_back(PlacedBody{std::move(*body), e.morph.tranmat});
    return NoError;
  }
  case API_SlabID:
    bodies->push_back(PlacedBody{SlabBody(stored), API_Tranmat{}});
    return NoError;
  default:
    return APIERR_NO3D;
  }
}

GSErrCode ElementBodies(const API_Guid& guid, std::vector<PlacedBody>* bodies)
{
  if (GSErrCode err = CheckLive(guid); err != NoError)
    return err;
  if (GSErrCode err = OwnBodies(*FindElement(guid), bodies); err != NoError)
    return err;
  for (const auto& [target, cutter] : TheModel().solidLinks) {
    if (!(target == guid) || CheckLive(cutter) != NoError)
      continue;
    const StoredElement& slab = *FindElement(cutter);
    if (slab.element.header.typeID != API_SlabID || !Covers(slab, *bodies))
      return APIERR_NOTSUPPORTED;
    std::vector<PlacedBody> cutterBodies;
    Range range;
    if (OwnBodies(slab, &cutterBodies) != NoError || !BodyZRange(cutterBodies.front(), &range))
      return APIERR_NOTSUPPORTED;
    *bodies = CutAway(*bodies, range);
  }
  return NoError;
}

Int32 Count(std::size_t size) { return static_cast<Int32>(size); }

// Appends the bodies to the model, numbering their components after those
// already there.
API_ElemInfo3D Number(Model3D& model, const std::vector<PlacedBody>& bodies)
{
  API_ElemInfo3D info{Count(model.bodies.size()) + 1, Count(model.bodies.size() + bodies.size())};
  for (const PlacedBody& placed : bodies) {
    const StoredBody& body = placed.body;
    API_Body3D numbers;
    numbers.tranmat = placed.tranmat;
    const Int32 vertexBase = Count(model.vertices.size());
    const Int32 edgeBase = Count(model.edges.size());
    const Int32 normalBase = Count(model.normals.size());
    numbers.fvert = vertexBase + 1;
    numbers.lvert = vertexBase + Count(body.vertices.size());
    numbers.fedge = edgeBase + 1;
    numbers.ledge = edgeBase + Count(body.edges.size());
    numbers.fpgon = Count(model.polygons.size()) + 1;
    numbers.lpgon = Count(model.polygons.size() + body.polygons.size());
    model.vertices.insert(model.vertices.end(), body.vertices.begin(), body.vertices.end());
    model.normals.insert(model.normals.end(), body.normals.begin(), body.normals.end());
    for (const auto& [first, second] : body.edges)
      model.edges.push_back(API_Edge3D{vertexBase + first + 1, vertexBase + second + 1});
    for (const StoredBody::Polygon& polygon : body.polygons) {
      API_Polygon3D record{Count(model.polyEdges.size()) + 1, Count(model.polyEdges.size() + polygon.edges.size()),
                           normalBase + polygon.normal + 1};
      for (Int32 number : polygon.edges)
        model.polyEdges.push_back(number == 0 ? 0 : number > 0 ? number + edgeBase : number - edgeBase);
      model.polygons.push_back(record);
    }
    model.bodies.push_back(numbers);
  }
  return info;
}

template <typename T>
const T* At(const std::vector<T>& items, Int32 index)
{
  return index >= 1 && static_cast<std::size_t>(index) <= items.size() ? &items[static_cast<std::size_t>(index - 1)]
                                                                        : nullptr;
}

}  // namespace
}  // namespace pln::host

using namespace pln::host;

GSErrCode ACAPI_Element_Get3DInfo(const API_Elem_Head& head, API_ElemInfo3D* info3D)
{
  if (GSErrCode err = Enter("ACAPI_Element_Get3DInfo"); err != NoError)
    return err;
  if (info3D == nullptr)
    return APIERR_BADPARS;
  std::vector<PlacedBody> bodies;
  if (GSErrCode err = ElementBodies(head.guid, &bodies); err != NoError)
    return err;
  Model3D& model = TheModel().model3D;
  auto known = model.byElement.find(head.guid);
  if (known == model.byElement.end() || !(known->second.first == bodies)) {
    const API_ElemInfo3D numbers = Number(model, bodies);
    model.byElement[head.guid] = {std::move(bodies), numbers};
    known = model.byElement.find(head.guid);
  }
  *info3D = known->second.second;
  return NoError;
}

GSErrCode ACAPI_3D_GetComponent(API_Component3D* component)
{
  if (GSErrCode err = Enter("ACAPI_3D_GetComponent"); err != NoError)
    return err;
  if (component == nullptr)
    return APIERR_BADPARS;
  const Model3D& model = TheModel().model3D;
  const Int32 index = component->header.index;
  auto fill = [](const auto* found, auto& member) {
    if (found == nullptr)
      return APIERR_BADINDEX;
    member = *found;
    return NoError;
  };
  switch (component->header.typeID) {
  case API_3DBodyID:
    return fill(At(model.bodies, index), component->body);
  case API_3DPolygonID:
    return fill(At(model.polygons, index), component->pgon);
  case API_3DPolyEdgeID:
    return fill(At(model.polyEdges, index), component->pedg.pedg);
  case API_3DEdgeID:
    return fill(At(model.edges, index), component->edge);
  case API_3DVertexID:
    return fill(At(model.vertices, index), component->vert);
  case API_3DNormalID:
    return fill(At(model.normals, index), component->normal);
  default:
    return APIERR_BADPARS;
  }
}

GSErrCode ACAPI_Element_SolidLink_Create(const API_Guid& target, const API_Guid& operatorElem, Int32 operation)
{
  if (GSErrCode err = Enter("ACAPI_Element_SolidLink_Create"); err != NoError)
    return err;
  if (operation != 'SSUB' || target == operatorElem)
    return APIERR_BADPARS;
  for (const API_Guid& guid : {target, operatorElem}) {
    std::vector<PlacedBody> bodies;
    if (GSErrCode err = CheckLive(guid); err != NoError)
      return err;
    if (GSErrCode err = OwnBodies(*FindElement(guid), &bodies); err != NoError)
      return err;
  }
  SolidLinks& links = TheModel().solidLinks;
  const std::pair<API_Guid, API_Guid> link{target, operatorElem};
  if (std::find(links.begin(), links.end(), link) != links.end())
    return APIERR_LINKEXIST;
  links.push_back(link);
  return NoError;
}

GSErrCode ACAPI_Element_SolidLink_Remove(const API_Guid& target, const API_Guid& operatorElem)
{
  if (GSErrCode err = Enter("ACAPI_Element_SolidLink_Remove"); err != NoError)
    return err;
  const std::size_t removed = std::erase(TheModel().solidLinks, std::pair<API_Guid, API_Guid>{target, operatorElem});
  return removed == 0 ? APIERR_LINKNOTEXIST : NoError;
}
