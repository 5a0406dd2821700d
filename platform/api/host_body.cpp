#include "host_body.h"

#include "host_calllog.h"
#include "host_errors.h"
#include "host_model.h"

#include <cmath>
#include <cstring>

namespace pln::host {

namespace {

// ---------------------------------------------------------------------------
// Packed form: four Int32 counts (vertices, edges, normals, polygons), the
// vertices and normals as three doubles each, the edges as two Int32, then
// per polygon its normal, its number of edge entries and the entries.

class Packer {
public:
  template <typename T>
  void Put(const T& value)
  {
    const auto* bytes = reinterpret_cast<const char*>(&value);
    out_.insert(out_.end(), bytes, bytes + sizeof(T));
  }
  void PutCoord(const API_Coord3D& c)
  {
    Put(c.x);
    Put(c.y);
    Put(c.z);
  }
  std::vector<char> Take() { return std::move(out_); }

private:
  std::vector<char> out_;
};

class Unpacker {
public:
  explicit Unpacker(const std::vector<char>& in) : in_(in) {}
  template <typename T>
  bool Get(T& value)
  {
    if (in_.size() - pos_ < sizeof(T))
      return false;
    std::memcpy(&value, in_.data() + pos_, sizeof(T));
    pos_ += sizeof(T);
    return true;
  }
  bool GetCoord(API_Coord3D& c) { return Get(c.x) && Get(c.y) && Get(c.z); }
  // A count is refused when it is negative or could not fit in the bytes
  // left at minSize bytes per item.
  bool GetCount(Int32& count, std::size_t minSize)
  {
    return Get(count) && count >= 0 && static_cast<std::size_t>(count) <= (in_.size() - pos_) / minSize;
  }
  bool AtEnd() const { return pos_ == in_.size(); }

private:
  const std::vector<char>& in_;
  std::size_t pos_ = 0;
};

bool IsFinite(const API_Coord3D& c) { return std::isfinite(c.x) && std::isfinite(c.y) && std::isfinite(c.z); }

// Start and end vertex of a signed edge number known to be in range.
std::pair<Int32, Int32> EdgeEnds(const StoredBody& body, Int32 number)
{
  const auto& edge = body.edges[static_cast<std::size_t>(std::abs(number) - 1)];
  return number > 0 ? edge : std::pair<Int32, Int32>{edge.second, edge.first};
}

GSErrCode CheckContour(const StoredBody& body, const std::vector<Int32>& numbers)
{
  if (numbers.empty())
    return APIERR_IRREGULARPOLY;
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    const Int32 next = numbers[(i + 1) % numbers.size()];
    if (EdgeEnds(body, numbers[i]).second != EdgeEnds(body, next).first)
      return APIERR_IRREGULARPOLY;
  }
  return NoError;
}

GSErrCode CheckPolygon(const StoredBody& body, const StoredBody::Polygon& polygon)
{
  if (polygon.normal < 0 || static_cast<std::size_t>(polygon.normal) >= body.normals.size())
    return APIERR_BADINDEX;
  const auto edgeCount = static_cast<Int32>(body.edges.size());
  for (Int32 number : polygon.edges)
    if (number < -edgeCount || number > edgeCount)
      return APIERR_BADINDEX;
  std::vector<Int32> contour;
  for (std::size_t i = 0; i <= polygon.edges.size(); ++i) {
    if (i < polygon.edges.size() && polygon.edges[i] != 0) {
      contour.push_back(polygon.edges[i]);
      continue;
    }
    if (GSErrCode err = CheckContour(body, contour); err != NoError)
      return err;
    contour.clear();
  }
  return NoError;
}

bool UnpackPolygon(Unpacker& in, StoredBody::Polygon& polygon)
{
  Int32 count = 0;
  if (!in.Get(polygon.normal) || !in.GetCount(count, sizeof(Int32)))
    return false;
  polygon.edges.resize(static_cast<std::size_t>(count));
  for (Int32& number : polygon.edges)
    if (!in.Get(number))
      return false;
  return true;
}

// ---------------------------------------------------------------------------
// Builders

StoredBody* Builder(void* bodyData)
{
  auto& builders = TheModel().bodyBuilders;
  auto found = builders.find(bodyData);
  return found == builders.end() ? nullptr : &found->second;
}

}  // namespace

std::vector<char> PackBody(const StoredBody& body)
{
  Packer out;
  out.Put(static_cast<Int32>(body.vertices.size()));
  out.Put(static_cast<Int32>(body.edges.size()));
  out.Put(static_cast<Int32>(body.normals.size()));
  out.Put(static_cast<Int32>(body.polygons.size()));
  for (const API_Coord3D& vertex : body.vertices)
    out.PutCoord(vertex);
  for (const auto& [first, second] : body.edges) {
    out.Put(first);
    out.Put(second);
  }
  for (const API_Coord3D& normal : body.normals)
    out.PutCoord(normal);
  for (const StoredBody::Polygon& polygon : body.polygons) {
    out.Put(polygon.normal);
    out.Put(static_cast<Int32>(polygon.edges.size()));
    for (Int32 number : polygon.edges)
      out.Put(number);
  }
  return out.Take();
}

std::optional<StoredBody> UnpackBody(const std::vector<char>& bytes)
{
  Unpacker in(bytes);
  Int32 nVertices = 0, nEdges = 0, nNormals = 0, nPolygons = 0;
  if (!in.GetCount(nVertices, 3 * sizeof(double)) || !in.GetCount(nEdges, 2 * sizeof(Int32)) ||
      !in.GetCount(nNormals, 3 * sizeof(double)) || !in.GetCount(nPolygons, 2 * sizeof(Int32)))
    return std::nullopt;
  StoredBody body;
  body.vertices.resize(static_cast<std::size_t>(nVertices));
  body.edges.resize(static_cast<std::size_t>(nEdges));
  body.normals.resize(static_cast<std::size_t>(nNormals));
  body.polygons.resize(static_cast<std::size_t>(nPolygons));
  for (API_Coord3D& vertex : body.vertices)
    if (!in.GetCoord(vertex))
      return std::nullopt;
  for (auto& [first, second] : body.edges)
    if (!in.Get(first) || !in.Get(second))
      return std::nullopt;
  for (API_Coord3D& normal : body.normals)
    if (!in.GetCoord(normal))
      return std::nullopt;
  for (StoredBody::Polygon& polygon : body.polygons)
    if (!UnpackPolygon(in, polygon))
      return std::nullopt;
  if (!in.AtEnd() || body.polygons.empty() || CheckBody(body) != NoError)
    return std::nullopt;
  return body;
}

GSErrCode CheckBody(const StoredBody& body)
{
  for (const API_Coord3D& vertex : body.vertices)
    if (!IsFinite(vertex))
      return APIERR_BADPARS;
  const auto nVertices = static_cast<Int32>(body.vertices.size());
  for (const auto& [first, second] : body.edges)
    if (first < 0 || second < 0 || first >= nVertices || second >= nVertices || first == second)
      return APIERR_BADINDEX;
  for (const StoredBody::Polygon& polygon : body.polygons)
    if (GSErrCode err = CheckPolygon(body, polygon); err != NoError)
      return err;
  return NoError;
}

}  // namespace pln::host

using namespace pln::host;

GSErrCode ACAPI_Body_Create(void** bodyData)
{
  if (bodyData == nullptr)
    return APIERR_BADPARS;
  *bodyData = nullptr;
  if (GSErrCode err = Enter("ACAPI_Body_Create"); err != NoError)
    return err;
  GSHandle token = BMAllocateHandle(1, ALLOCATE_CLEAR, 0);
  if (token == nullptr)
    return APIERR_MEMFULL;
  TheModel().bodyBuilders[token] = StoredBody{};
  *bodyData = token;
  return NoError;
}

GSErrCode ACAPI_Body_AddVertex(void* bodyData, const API_Coord3D& coord, Int32& index)
{
  if (GSErrCode err = Enter("ACAPI_Body_AddVertex"); err != NoError)
    return err;
  StoredBody* body = Builder(bodyData);
  if (body == nullptr || !IsFinite(coord))
    return APIERR_BADPARS;
  index = static_cast<Int32>(body->vertices.size());
  body->vertices.push_back(coord);
  return NoError;
}

GSErrCode ACAPI_Body_AddEdge(void* bodyData, Int32 vertex1, Int32 vertex2, Int32& index)
{
  if (GSErrCode err = Enter("ACAPI_Body_AddEdge"); err != NoError)
    return err;
  StoredBody* body = Builder(bodyData);
  if (body == nullptr || vertex1 == vertex2)
    return APIERR_BADPARS;
  const auto count = static_cast<Int32>(body->vertices.size());
  if (vertex1 < 0 || vertex2 < 0 || vertex1 >= count || vertex2 >= count)
    return APIERR_BADINDEX;
  index = static_cast<Int32>(body->edges.size());
  body->edges.emplace_back(vertex1, vertex2);
  return NoError;
}

GSErrCode ACAPI_Body_AddPolyNormal(void* bodyData, const API_Coord3D& normal, Int32& index)
{
  if (GSErrCode err = Enter("ACAPI_Body_AddPolyNormal"); err != NoError)
    return err;
  StoredBody* body = Builder(bodyData);
  if (body == nullptr || !IsFinite(normal) || (normal.x == 0.0 && normal.y == 0.0 && normal.z == 0.0))
    return APIERR_BADPARS;
  index = static_cast<Int32>(body->normals.size());
  body->normals.push_back(normal);
  return NoError;
}

GSErrCode ACAPI_Body_AddPolygon(void* bodyData, const GS::Array<Int32>& edges, Int32 polyNormal, Int32& index)
{
  if (GSErrCode err = Enter("ACAPI_Body_AddPolygon"); err != NoError)
    return err;
  StoredBody* body = Builder(bodyData);
  if (body == nullptr)
    return APIERR_BADPARS;
  StoredBody::Polygon polygon{edges.Std(), polyNormal};
  if (GSErrCode err = CheckPolygon(*body, polygon); err != NoError)
    return err;
  index = static_cast<Int32>(body->polygons.size());
  body->polygons.push_back(std::move(polygon));
  return NoError;
}

GSErrCode ACAPI_Body_Finish(void* bodyData, API_ElementMemo* memo)
{
  if (GSErrCode err = Enter("ACAPI_Body_Finish"); err != NoError)
    return err;
  const StoredBody* body = Builder(bodyData);
  if (body == nullptr || memo == nullptr || body->polygons.empty())
    return APIERR_BADPARS;
  const std::vector<char> bytes = PackBody(*body);
  GSHandle handle = BMAllocateHandle(static_cast<GSSize>(bytes.size()), 0, 0);
  if (handle == nullptr)
    return APIERR_MEMFULL;
  std::memcpy(*handle, bytes.data(), bytes.size());
  memo->morphBody = handle;
  return NoError;
}

// Disposal cannot fail: a queued failure here would only leak the builder.
GSErrCode ACAPI_Body_Dispose(void** bodyData)
{
  LogCall("ACAPI_Body_Dispose");
  if (bodyData == nullptr || *bodyData == nullptr)
    return NoError;
  if (TheModel().bodyBuilders.erase(*bodyData) != 0) {
    auto token = static_cast<GSHandle>(*bodyData);
    BMKillHandle(&token);
  }
  *bodyData = nullptr;
  return NoError;
}
