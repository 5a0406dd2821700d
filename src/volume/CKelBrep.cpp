#include "CKelBrep.h"

#include <algorithm>
#include <cmath>

#include "CKelBlockCubeArray.h"

// --- Points, edges, contours --------------------------------------------------------------------

int CBrepVertexArray::Add(const CKelCoord3D& p)
{
  const auto it = std::find(begin(), end(), p);
  if (it != end())
    return static_cast<int>(it - begin());
  push_back(p);
  return static_cast<int>(size()) - 1;
}

int CBrepEdgeArray::Add(int a, int b, int f)
{
  for (std::size_t k = 0; k < size(); ++k) {
    CBrepEdge& e = (*this)[k];
    if (e.m_v1 == a && e.m_v2 == b) {
      e.m_Faces.push_back(f);
      return static_cast<int>(k) + 1;
    }
    if (e.m_v1 == b && e.m_v2 == a) {
      e.m_Faces.push_back(f);
      return -(static_cast<int>(k) + 1);
    }
  }
  emplace_back(a, b, f);
  return static_cast<int>(size());
}

bool CBrepFace::IsEdge(int k) const
{
  return std::any_of(m_Edges.begin(), m_Edges.end(), [k](std::int32_t e) { return e == k || e == -k; });
}

bool CBrepFace::IsEdge(const CBrepFace& other) const
{
  return std::any_of(m_Edges.begin(), m_Edges.end(), [&](std::int32_t e) { return other.IsEdge(e); });
}

void CBrepFace::clear()
{
  m_Edges.clear();
  m_bFlag = false;
}

bool CBrepFaceArray2::IsEdge(const CBrepFaceArray2& other) const
{
  for (const CBrepFace& mine : *this)
    for (const CBrepFace& theirs : other)
      if (mine.IsEdge(theirs))
        return true;
  return false;
}

CKelVector3D CBrepFaceArray2::GetVector(const CKelBrep& brep) const
{
  CKelAreaCoord3D area;
  if (!empty()) {
    for (std::int32_t k : front().m_Edges) {
      CKelCoord3D p;
      if (brep.StartVertex(k, p))
        area.m_pt.push_back(p);
    }
  }
  area.GetPlaneEquation();
  return CKelVector3D(area.m_A, area.m_B, area.m_C);
}

void CBrepBlockArray::Add(const CBrepFaceArrayArray& faces, int f)
{
  const CBrepFaceArray2& face = faces[static_cast<std::size_t>(f)];
  for (std::vector<std::int32_t>& block : *this) {
    for (std::int32_t m : block) {
      if (faces[static_cast<std::size_t>(m)].IsEdge(face)) {
        block.push_back(f);
        return;
      }
    }
  }
  push_back({f});
}

// --- Building ---------------------------------------------------------------------------------------

bool CKelBrep::StartVertex(int k, CKelCoord3D& p) const
{
  const long long index = k > 0 ? static_cast<long long>(k) - 1 : -static_cast<long long>(k) - 1;
  if (k == 0 || index >= static_cast<long long>(m_Edge.size()))
    return false;
  const CBrepEdge& e = m_Edge[static_cast<std::size_t>(index)];
  const std::int32_t v = k > 0 ? e.m_v1 : e.m_v2;
  if (v < 0 || static_cast<std::size_t>(v) >= m_Vertex.size())
    return false;
  p = m_Vertex[static_cast<std::size_t>(v)];
  return true;
}

void CKelBrep::Clear()
{
  m_Blocks.clear();
  m_Vertex.clear();
  m_Edge.clear();
  m_Face.clear();
}

void CKelBrep::AddChain(CBrepFace& c, int f, const std::vector<CKelCoord3D>& pts)
{
  for (std::size_t i = 1; i < pts.size(); ++i) {
    const int a = m_Vertex.Add(pts[i - 1]);
    const int b = m_Vertex.Add(pts[i]);
    if (a != b)  // a segment of one point (the closing repeat) is no edge
      c.Add(m_Edge.Add(a, b, f));
  }
}

CBrepFace CKelBrep::MakeContour(int f, const std::vector<CKelCoord3D>& pts)
{
  CBrepFace c;
  if (pts.empty())
    return c;
  std::vector<CKelCoord3D> chain{pts.back()};
  chain.insert(chain.end(), pts.begin(), pts.end());
  AddChain(c, f, chain);
  return c;
}

void CKelBrep::GroupFaces()
{
  m_Blocks.clear();
  for (std::size_t f = 0; f < m_Face.size(); ++f)
    m_Blocks.Add(m_Face, static_cast<int>(f));
}

void CKelBrep::ToBrep(const CKelBlockCubeArray& blocks)
{
  Clear();
  for (const CKelBlockCube& block : blocks) {
    std::vector<CKelCoord3D> pts;
    for (const CKelBlockCoord& c : block.m_Coord)
      pts.emplace_back(c.m_x, c.m_y, c.m_z);
    CBrepFaceArray2 face;
    face.m_nFaceNo = block.m_Work;
    face.push_back(MakeContour(static_cast<int>(m_Face.size()), pts));
    m_Face.push_back(std::move(face));
  }
  GroupFaces();
}

void CKelBrep::AddWalls(std::size_t topEdges)
{
  for (std::size_t k = 0; k < topEdges; ++k) {
    const CBrepEdge e = m_Edge[k];
    if (e.m_Faces.size() != 1)
      continue;
    const CKelCoord3D P = m_Vertex[static_cast<std::size_t>(e.m_v1)];
    const CKelCoord3D Q = m_Vertex[static_cast<std::size_t>(e.m_v2)];
    if (!(P.m_z > 0) && !(Q.m_z > 0))
      continue;
    const CKelCoord3D P0(P.m_x, P.m_y, 0);
    const CKelCoord3D Q0(Q.m_x, Q.m_y, 0);
    // Q -> P runs against the top face's edge, so the wall closes on it.
    std::vector<CKelCoord3D> chain{P0, Q0};
    if (Q0 != Q)
      chain.push_back(Q);
    chain.push_back(P);
    if (P != P0)
      chain.push_back(P0);
    CBrepFaceArray2 wall;
    CBrepFace c;
    AddChain(c, static_cast<int>(m_Face.size()), chain);
    wall.push_back(std::move(c));
    m_Face.push_back(std::move(wall));
  }
}

void CKelBrep::ToBrep(const std::vector<CKelAreaCoord3D>& polygons, bool solids)
{
  Clear();
  for (const CKelAreaCoord3D& polygon : polygons) {
    CBrepFaceArray2 face;
    face.m_nFaceNo = polygon.m_nFaceNo;
    face.push_back(MakeContour(static_cast<int>(m_Face.size()), polygon.m_pt));
    m_Face.push_back(std::move(face));
  }
  GroupFaces();
  if (!solids)
    return;
  AddWalls(m_Edge.size());
  for (const CKelAreaCoord3D& polygon : polygons) {
    if (polygon.m_pt.empty())
      continue;
    // p0 -> pn-1 -> ... -> p1 -> p0 on the ground: the bottom faces down.
    std::vector<CKelCoord3D> chain;
    chain.emplace_back(polygon.m_pt.front().m_x, polygon.m_pt.front().m_y, 0);
    for (auto it = polygon.m_pt.rbegin(); it != polygon.m_pt.rend(); ++it)
      chain.emplace_back(it->m_x, it->m_y, 0);
    CBrepFaceArray2 bottom;
    CBrepFace c;
    AddChain(c, static_cast<int>(m_Face.size()), chain);
    bottom.push_back(std::move(c));
    m_Face.push_back(std::move(bottom));
  }
  GroupFaces();
}

void CKelBrep::ToBrep(const std::vector<std::vector<CKelAreaCoord3D>>& faces)
{
  Clear();
  for (const std::vector<CKelAreaCoord3D>& contours : faces) {
    CBrepFaceArray2 face;
    for (const CKelAreaCoord3D& contour : contours)
      face.push_back(MakeContour(static_cast<int>(m_Face.size()), contour.m_pt));
    m_Face.push_back(std::move(face));
  }
  GroupFaces();
}

// --- Reading back -------------------------------------------------------------------------------------

CKelBlockCubeArray CKelBrep::ToKelBlock() const
{
  CKelBlockCubeArray blocks;
  for (const std::vector<std::int32_t>& group : m_Blocks) {
    for (std::int32_t f : group) {
      const CBrepFaceArray2& face = m_Face[static_cast<std::size_t>(f)];
      CKelBlockCube block;
      if (!face.empty()) {
        for (std::int32_t k : face.front().m_Edges) {
          CKelCoord3D p;
          if (StartVertex(k, p))
            block.Append(CKelBlockCoord(p.m_x, p.m_y, p.m_z, 0));
        }
      }
      block.m_Work = face.m_nFaceNo;
      block.GetPlaneEquation(false);
      block.GetPlaneEquation(true);
      if (!(block.PlaneC(false) > 0))
        continue;  // a face looking down or standing vertical
      block.SetMinMax();
      block.SetType();
      blocks.push_back(block);
    }
  }
  return blocks;
}

CKelAreaCoord3D CKelBrep::ContourArea(const CBrepFace& c, int faceNo) const
{
  CKelAreaCoord3D area;
  for (std::int32_t k : c.m_Edges) {
    CKelCoord3D p;
    if (StartVertex(k, p))
      area.m_pt.push_back(p);
  }
  area.m_nFaceNo = faceNo;
  area.SetMaxMin();
  area.CalcPlaneEquation();
  return area;
}

CKelAreaCoord3DArrayArray CKelBrep::ToKelArea(int block) const
{
  CKelAreaCoord3DArrayArray result;
  if (block < 0 || static_cast<std::size_t>(block) >= m_Blocks.size())
    return result;
  for (std::int32_t f : m_Blocks[static_cast<std::size_t>(block)]) {
    const CBrepFaceArray2& face = m_Face[static_cast<std::size_t>(f)];
    CKelAreaCoord3DArray contours;
    for (const CBrepFace& c : face)
      contours.push_back(ContourArea(c, face.m_nFaceNo));
    result.push_back(std::move(contours));
  }
  return result;
}

CKelAreaCoord3DArrayArray CKelBrep::ToKelArea() const
{
  CKelAreaCoord3DArrayArray result;
  for (std::size_t b = 0; b < m_Blocks.size(); ++b) {
    CKelAreaCoord3DArrayArray part = ToKelArea(static_cast<int>(b));
    result.insert(result.end(), part.begin(), part.end());
  }
  return result;
}
