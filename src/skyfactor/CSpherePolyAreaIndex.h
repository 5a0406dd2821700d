#pragma once
// Indices over the union's polygons for the tests that ask every polygon
// about every other polygon's edges: they name the few polygons that can
// answer, in ascending order, so a search over them finds what the search
// over all polygons finds. The same for the boundary chains.
//
// Chart: the polygons' chart outlines (m_AreaCoord, with its box set) and
// pool indices as CSpherePolyArea keeps them.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

#include "CKelCoord.h"
#include "CSpherePolyArea.h"

// Where each pool point stands in the boundary chains, so that an edge is
// chained by looking at the chains that hold its ends instead of at every
// chain. Positions are kept against a base per chain, so a point put in
// front of a chain moves no other entry; an entry of a point that a chain
// lost stays until it is asked for and is then found stale. Built on the
// chains as they stand and told of every change made to them since; a
// chain removed calls for a rebuild.
class SphereChainIndex {
public:
  struct Place {
    std::size_t m_Chain = 0;
    std::size_t m_Pos = 0;
  };

  explicit SphereChainIndex(const std::vector<CSphereBlkDataLineArray>& chains);
  void Rebuild(const std::vector<CSphereBlkDataLineArray>& chains);
  // Where point p now stands, by chain, then by position; the list lasts
  // until the next call.
  const std::vector<Place>& PlacesOf(int p, const std::vector<CSphereBlkDataLineArray>& chains) const;
  // Chain c took p in front of its points.
  void PutInFront(std::size_t c, int p);
  // Chain c took p at position pos, its last.
  void PutAtBack(std::size_t c, int p, std::size_t pos);
  // Chain c, appended after the others.
  void AddChain(std::size_t c, const CSphereBlkDataLineArray& chain);

private:
  struct Entry {
    std::size_t m_Chain;
    std::ptrdiff_t m_Pos;  // against the chain's base
  };
  // The entries of point p; null when it has none yet.
  const std::vector<Entry>* EntriesOf(int p) const;
  std::vector<Entry>& FileOf(int p);

  // Pool points are numbered densely from 0, so their entries stand in a
  // table by number; any other number goes to the map.
  std::vector<std::vector<Entry>> m_Dense;
  std::unordered_map<int, std::vector<Entry>> m_Entries;
  std::vector<std::ptrdiff_t> m_Base;
  mutable std::vector<Place> m_Places;  // PlacesOf's answer
};

// Every polygon's edges by their ends' pool indices in either direction,
// each polygon with the first edge that CSpherePolyArea::SearchIdx finds.
// The edges are filed by their lower end, so a look-up reads only the few
// edges at one point instead of searching all of them.
class SphereEdgeOwners {
public:
  struct Owner {
    std::int32_t m_AreaNo = -1;
    std::int32_t m_From = -1;  // the edge's start in the owner
    std::int32_t m_Pos = -1;   // the edge's position in the owner

    // SearchIdx(a, b) of the owner for the edge (a, b) or (b, a) filed here.
    int SearchIdx(int a) const { return m_From == a ? m_Pos + 1 : -(m_Pos + 1); }
  };

private:
  struct Entry {
    std::int32_t m_High;  // the edge's higher end; the lower names the run
    Owner m_Owner;
  };

public:
  // A run of owners as the entries filed for one edge hold them.
  class Owners {
  public:
    struct Iterator {
      const Entry* at;
      const Owner& operator*() const { return at->m_Owner; }
      Iterator& operator++()
      {
        ++at;
        return *this;
      }
      bool operator!=(const Iterator& o) const { return at != o.at; }
    };
    Owners(const Entry* from, const Entry* to) : m_From(from), m_To(to) {}
    Iterator begin() const { return {m_From}; }
    Iterator end() const { return {m_To}; }

  private:
    const Entry* m_From;
    const Entry* m_To;
  };

  explicit SphereEdgeOwners(const CSpherePolyAreaArray& areas);
  // The polygons with an edge (a, b) or (b, a), ascending.
  Owners Of(int a, int b) const;

private:
  // Each lower end's run, by (m_High, area number), of the first filed
  // entry of every pair.
  void SortRun(std::size_t from, std::size_t to);
  std::size_t KeepFirstOfEach(std::size_t from, std::size_t to, std::size_t out);

  std::int64_t m_LowFirst = 0;           // the lowest lower end filed
  std::vector<std::size_t> m_RunStart;   // by lower end less m_LowFirst, one more at the end
  std::vector<Entry> m_Entries;          // by lower end, then m_High and area number
};

// The polygons filed by the cells of a grid over the chart that their boxes,
// grown by grow, cover. The cell of a point comes from the same rounded
// steps as a box's cells, which keeps every polygon whose grown box holds
// the point among its cell's; a cell more on every side is only margin.
class SphereBoxGrid {
public:
  // A polygon's box as the inside test grows it.
  struct GrownBox {
    double xlo, xhi, ylo, yhi;
  };

  SphereBoxGrid(const CSpherePolyAreaArray& areas, double grow);
  // The polygons whose grown box may hold p, ascending, or in the order
  // OrderCellsBy set; nothing when the grid cannot tell (p or some box not
  // finite), so that every polygon is asked.
  std::optional<std::span<const std::size_t>> Near(const CKelCoord2D& p) const;
  // Orders each cell's polygons by key (one per polygon), ascending, those
  // with equal keys by number.
  void OrderCellsBy(const std::vector<double>& keys);

private:
  std::size_t CellOf(double v, double low, double step, std::size_t count, int grow) const;
  // Calls visit(cell, j) for each cell that polygon j's box covers.
  template <class Visit>
  void ForEachCover(const std::vector<GrownBox>& boxes, const Visit& visit) const;

  std::size_t m_Cols = 0;
  std::size_t m_Rows = 0;
  double m_XLow = 0;
  double m_YLow = 0;
  double m_XStep = 0;
  double m_YStep = 0;
  // The polygons of cell c, row by row, are m_Filed[m_CellStart[c]] to
  // m_Filed[m_CellStart[c + 1] - 1].
  std::vector<std::size_t> m_CellStart;
  std::vector<std::size_t> m_Filed;
};

// Each polygon's floor: the lowest level of its chart outline's vertices,
// or -infinity when a vertex is not finite. The inside test
// (CKelAreaCoord2D::InArea, any band) never answers inside for a point at
// or below the floor: no edge spans that level, since no vertex lies below
// it, and an edge starting level with the point leaves upwards from a vertex
// that nothing below it reaches, so the outline only touches the level
// there. The subtractions that decide both are monotone, so round-off does
// not change this.
std::vector<double> SphereFloors(const CSpherePolyAreaArray& areas);
