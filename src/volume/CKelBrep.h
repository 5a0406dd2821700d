#pragma once
// An indexed boundary representation of polyhedral shapes: one list of
// points, edges between two points, faces whose contours are lists of signed
// edge numbers, and the grouping of faces into connected blocks.
//
//   point        entered once: points within KelTol::PointEqual (each of
//                x, y, z) are one point; positions count from 0.
//   edge         two point positions, and the faces that use it in the order
//                they were added. An edge between two points exists once.
//   edge number  k > 0 runs edge k - 1 from its first to its second point,
//                k < 0 runs edge -k - 1 back; 0 names no edge.
//   contour      a closed run of edge numbers (CBrepFace); a face
//                (CBrepFaceArray2) is its outer contour and any holes.
//   block        the face positions reachable through shared edges, joined
//                in face order: a face enters the first block it touches;
//                blocks are never merged.
// A contour segment whose two ends are one point adds no edge, so a contour
// given with its closing repeat is the same as one without. Metres.

#include <cstdint>
#include <vector>

#include "CKelAreaCoord3D.h"
#include "CKelCoord.h"

class CKelBlockCubeArray;
class CKelBrep;

class CBrepVertexArray : public std::vector<CKelCoord3D> {
public:
  // The position of the first equal point, or of p appended.
  int Add(const CKelCoord3D& p);
};

class CBrepEdge {
public:
  std::int32_t m_v1 = 0;
  std::int32_t m_v2 = 0;
  std::vector<std::int32_t> m_Faces;  // a face using the edge twice is listed twice

  CBrepEdge() = default;
  CBrepEdge(std::int32_t v1, std::int32_t v2, std::int32_t face) : m_v1(v1), m_v2(v2), m_Faces{face} {}
};

class CBrepEdgeArray : public std::vector<CBrepEdge> {
public:
  // The signed number of the segment a -> b, face f entered in its list;
  // the edge is appended when neither direction exists.
  int Add(int a, int b, int f);
};

class CBrepFace {
public:
  std::vector<std::int32_t> m_Edges;  // signed edge numbers
  bool m_bFlag = false;               // never set here

  void Add(int k) { m_Edges.push_back(k); }
  // Holds k or -k.
  bool IsEdge(int k) const;
  // Shares an edge with other, in either direction.
  bool IsEdge(const CBrepFace& other) const;
  void clear();
};

class CBrepFaceArray2 : public std::vector<CBrepFace> {
public:
  std::int32_t m_nFaceNo = 0;  // the source block's or polygon's number

  bool IsEdge(const CBrepFaceArray2& other) const;
  // The unit normal of the outer contour's plane; 0 when it has none.
  CKelVector3D GetVector(const CKelBrep& brep) const;
};

class CBrepFaceArrayArray : public std::vector<CBrepFaceArray2> {};

class CBrepBlockArray : public std::vector<std::vector<std::int32_t>> {
public:
  // Face f joins the first block holding a face it shares an edge with, or
  // starts a new block.
  void Add(const CBrepFaceArrayArray& faces, int f);
};

class CKelBrep {
public:
  CBrepBlockArray m_Blocks;
  CBrepVertexArray m_Vertex;
  CBrepEdgeArray m_Edge;
  CBrepFaceArrayArray m_Face;

  // One face per block from its top outline (x, y, top height), numbered by
  // the block's m_Work.
  void ToBrep(const CKelBlockCubeArray& blocks);
  // One face per polygon, numbered by its m_nFaceNo; with solids set, each
  // border edge above ground gets a wall down to z = 0 and each polygon a
  // bottom at z = 0 facing down.
  void ToBrep(const std::vector<CKelAreaCoord3D>& polygons, bool solids);
  // One face per entry, from its contours in order (the first the outer).
  void ToBrep(const std::vector<std::vector<CKelAreaCoord3D>>& faces);
  // A block per upward face (its outer contour; holes ignored), numbered
  // by the face number, counter-clockwise, with planes, area and flags.
  CKelBlockCubeArray ToKelBlock() const;
  // The faces of brep block `block` as polygons, contour by contour; empty
  // for a block that does not exist.
  CKelAreaCoord3DArrayArray ToKelArea(int block) const;
  CKelAreaCoord3DArrayArray ToKelArea() const;
  void Dump() const {}

  // The start point of signed edge k; false for a number naming no edge.
  [[nodiscard]] bool StartVertex(int k, CKelCoord3D& p) const;

private:
  void Clear();
  // Appends segments pts[0] -> pts[1] -> ... to contour c of face f.
  void AddChain(CBrepFace& c, int f, const std::vector<CKelCoord3D>& pts);
  // A closed contour of the points, its closing segment first.
  CBrepFace MakeContour(int f, const std::vector<CKelCoord3D>& pts);
  void GroupFaces();
  void AddWalls(std::size_t topEdges);
  CKelAreaCoord3D ContourArea(const CBrepFace& c, int faceNo) const;
};
