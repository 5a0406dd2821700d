#include "CGSCreateMeshCore.h"

#include "CGSUtil.h"
#include "HostHandles.h"
#include "KelTolerance.h"
#include "host_elements.h"
#include "host_userdata.h"

#include <cstring>

namespace {

template <typename T>
bool Fill(T*** handle, const std::vector<T>& items)
{
  *handle = pln::gsutil::NewEntries<T>(items.size());
  if (*handle == nullptr)
    return false;
  if (!items.empty())
    std::memcpy(**handle, items.data(), items.size() * sizeof(T));
  return true;
}

// The outline closed by a repeat of its first point, with its heights; the
// level lines' points and the running count at the end of each line.
bool FillMemo(const std::vector<CKelCoord3D>& outline, const std::vector<std::vector<CKelCoord3D>>& lines,
              API_ElementMemo& memo)
{
  std::vector<API_Coord> coords{API_Coord{}};
  std::vector<double> heights{0.0};
  for (std::size_t k = 0; k <= outline.size(); ++k) {
    const CKelCoord3D& p = outline[k % outline.size()];
    coords.push_back(API_Coord{p.m_x, p.m_y});
    heights.push_back(p.m_z);
  }
  std::vector<API_MeshLevelCoord> levelCoords;
  std::vector<Int32> ends;
  for (const std::vector<CKelCoord3D>& line : lines) {
    for (const CKelCoord3D& p : line)
      levelCoords.push_back(API_MeshLevelCoord{API_Coord3D{p.m_x, p.m_y, p.m_z}, 0});
    ends.push_back(static_cast<Int32>(levelCoords.size()));
  }
  const std::vector<Int32> pends{0, static_cast<Int32>(outline.size() + 1)};
  return Fill(&memo.coords, coords) && Fill(&memo.pends, pends) && Fill(&memo.meshPolyZ, heights) &&
         Fill(&memo.meshLevelCoords, levelCoords) && Fill(&memo.meshLevelEnds, ends);
}

}  // namespace

CKelCoord3D CGSCreateMeshCore::Node(int i, int j) const
{
  CKelCoord3D p;
  GetGridPoint(i, j, p);
  return p;
}

std::vector<CKelCoord3D> CGSCreateMeshCore::BorderNodes() const
{
  const int nx = GetNX();
  const int ny = GetNY();
  std::vector<CKelCoord3D> border;
  for (int i = 0; i < nx; ++i)
    border.push_back(Node(i, 0));
  for (int j = 0; j < ny; ++j)
    border.push_back(Node(nx, j));
  for (int i = nx; i >= 1; --i)
    border.push_back(Node(i, ny));
  for (int j = ny; j >= 1; --j)
    border.push_back(Node(0, j));
  return border;
}

GSErrCode CGSCreateMeshCore::Create(const std::vector<CKelCoord3D>& outline,
                                    const std::vector<std::vector<CKelCoord3D>>& lines, short story, int pen,
                                    short layer, CMyUserDataCore* tag, bool observe) const
{
  API_Element mesh;
  mesh.header.typeID = API_MeshID;
  if (GSErrCode err = ACAPI_Element_GetDefaults(&mesh, nullptr); err != NoError)
    return err;
  if (layer != 0)
    mesh.header.layer = layer;
  if (story != CGSUtil::kDefaultStory)
    mesh.header.floorInd = story;
  // Level 0 in absolute terms: the points' heights are the mesh's.
  mesh.mesh.level = -CGSUtil::GetFlrLevel(mesh.header.floorInd);
  mesh.mesh.skirt = m_nSetting;
  if (pen != 0) {
    mesh.mesh.topPen = static_cast<short>(pen);
    mesh.mesh.sidePen = static_cast<short>(pen);
  }
  pln::gsutil::MemoGuard holder;
  if (!FillMemo(outline, lines, holder.memo))
    return APIERR_MEMFULL;
  mesh.mesh.poly.nCoords = static_cast<Int32>(outline.size() + 1);
  mesh.mesh.poly.nSubPolys = 1;
  mesh.mesh.poly.nArcs = 0;
  mesh.mesh.levelLines.nSubLines = static_cast<Int32>(lines.size());
  Int32 points = 0;
  for (const auto& line : lines)
    points += static_cast<Int32>(line.size());
  mesh.mesh.levelLines.nCoords = points;
  if (GSErrCode err = ACAPI_Element_Create(&mesh, &holder.memo); err != NoError)
    return err;
  GSErrCode err = tag != nullptr ? TagPlacedElement(*tag, mesh.header) : NoError;
  if (err == NoError && observe)
    err = ACAPI_Element_AttachObserver(mesh.header.guid);
  return err;
}

GSErrCode CGSCreateMeshCore::DoCreate(int pen, short layer, CMyUserDataCore* tag, bool observe)
{
  if (!GridIsUsable())
    return APIERR_BADPARS;
  const int nx = GetNX();
  const int ny = GetNY();
  std::vector<std::vector<CKelCoord3D>> lines;
  for (int i = 1; i < nx; ++i) {
    std::vector<CKelCoord3D>& line = lines.emplace_back();
    for (int j = 0; j <= ny; ++j)
      line.push_back(Node(i, j));
  }
  for (int j = 1; j < ny; ++j) {
    std::vector<CKelCoord3D>& line = lines.emplace_back();
    for (int i = 0; i <= nx; ++i)
      line.push_back(Node(i, j));
  }
  return Create(BorderNodes(), lines, CGSUtil::kDefaultStory, pen, layer, tag, observe);
}

GSErrCode CGSCreateMeshCore::DoCreate2(const BLOCKtag& block, int pen, short layer, CMyUserDataCore* tag,
                                       bool observe)
{
  if (!GridIsUsable())
    return APIERR_BADPARS;
  std::vector<CKelCoord3D> outline;
  for (const auto& [i, j] : block.m_Nodes) {
    if (!NodeInGrid(i, j))
      return APIERR_BADPARS;
    outline.push_back(Node(i, j));
  }
  if (outline.empty())
    return APIERR_BADPARS;
  return Create(outline, GetLevelLines(block), m_nStory, pen, layer, tag, observe);
}

std::vector<std::vector<CKelCoord3D>> CGSCreateMeshCore::GetLevelLines(const BLOCKtag& block) const
{
  std::vector<std::vector<CKelCoord3D>> lines;
  if (!GridIsUsable())
    return lines;
  CKelAreaCoord3D area;
  for (const auto& [i, j] : block.m_Nodes) {
    if (!NodeInGrid(i, j))
      return lines;
    area.m_pt.push_back(Node(i, j));
  }
  area.SetMaxMin();
  area.SetArea();
  constexpr int kShortestLine = 3;
  std::vector<CKelCoord3D> run;
  auto close = [&] {
    if (static_cast<int>(run.size()) >= kShortestLine)
      lines.push_back(run);
    run.clear();
  };
  auto visit = [&](int i, int j) {
    const CKelCoord3D p = Node(i, j);
    if (area.InArea(p, KelTol::OnEdge, KelTol::OnEdge) == 1)
      run.push_back(p);
    else
      close();
  };
  for (int j = 1; j < GetNY(); ++j) {
    for (int i = 0; i <= GetNX(); ++i)
      visit(i, j);
    close();
  }
  for (int i = 1; i < GetNX(); ++i) {
    for (int j = 0; j <= GetNY(); ++j)
      visit(i, j);
    close();
  }
  return lines;
}
