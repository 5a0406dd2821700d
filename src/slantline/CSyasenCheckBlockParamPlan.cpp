// Plan blocks: the planned building clipped to the base blocks (and to the
// retaining-wall base blocks), laid into the base-block list with their
// bottoms at a given height, and the change report that tells the driver
// whether the check must be run again.

#include "CKelHSite.h"
#include "CSyasenCheckBlockParam.h"
#include "CSyasenCheckSiteRuns.h"
#include "KelTolerance.h"

namespace {

enum Side { kRight = 2 };
enum ModeBit { kModeBasic = 1, kModeRadial = 2 };

// The convex pieces of a base block, appended to pieces; false when its
// outline holds an area yet no split into convex pieces is found. The split
// reads the outline without the points a survey adds: a doubled corner
// hides its reflex turn behind an edge too short to turn, so the outline
// passes for convex, and a point doubled aside or a millimetre notch makes
// reflex corners no diagonal clears. Each piece's edges then cut the plan
// along lines that a tiny edge would point anywhere.
bool AddConvexPieces(const CKelBlockCube& block, CKelBlockCubeArray& pieces)
{
  CKelBlockCube outline = block;
  outline.DropSurveyPoints();
  outline.SetMinMax();
  if (!outline.IsPlaneEuqationSet(false))
    outline.GetPlaneEquation(false);
  if (!outline.IsPlaneEuqationSet(true))
    outline.GetPlaneEquation(true);
  // A flat outline covers nothing to clip by; one whose lobes cancel
  // (a figure eight) does, and cannot be split.
  if (!(outline.Menseki() > KelTol::BlockMinArea))
    return outline.GetSize() < 3 || outline.CheckCross();
  CKelBlockCubeList convex;
  if (!outline.CutBlock(nullptr, convex, 0))
    return false;
  pieces.insert(pieces.end(), convex.begin(), convex.end());
  return true;
}

enum class Kinds { kBaseOnly, kAll };

// The blocks of list (its base blocks only, or all) as convex pieces; counts
// into refused those that cannot be split.
CKelBlockCubeArray ConvexPieces(const CKelBlockCubeArray& list, Kinds kinds, int& refused)
{
  CKelBlockCubeArray pieces;
  for (const CKelBlockCube& b : list) {
    if ((kinds == Kinds::kAll || CSyasenCheckBlockParam::IsBaseOnly(b)) && !AddConvexPieces(b, pieces))
      ++refused;
  }
  return pieces;
}

// Combined, cleaned and marked as plan blocks, then appended to target.
void AddPlanBlocks(CKelBlockCubeArray& blocks, CKelBlockCubeArray* target)
{
  if (blocks.empty())
    return;
  blocks.CombineBlock(nullptr);
  blocks.DeleteOnLine();
  for (CKelBlockCube& b : blocks) {
    b.SetPlanBlock();
    target->AddBlock(b);
  }
}

// The caller's count of refused base blocks, when it asks for one: zero
// until a step adds to it.
class Refusals {
public:
  explicit Refusals(int* out) : m_Out(out)
  {
    if (m_Out != nullptr)
      *m_Out = 0;
  }
  void Add(int n)
  {
    if (m_Out != nullptr)
      *m_Out += n;
  }

private:
  int* m_Out;
};

// Clears the plan blocks of every check point's list into its own list of
// old plan blocks.
std::vector<CKelBlockCubeArray> ClearPlans(CSphereRatioParamArray& points)
{
  std::vector<CKelBlockCubeArray> old(points.size());
  for (std::size_t k = 0; k < points.size(); ++k)
    CSyasenCheckBlockParam::ClearPlan(points[k].m_BlockList, &old[k]);
  return old;
}

// Whether any check point's plan blocks changed; those that did lose their
// plan results.
bool ReportChanges(CSphereRatioParamArray& points, const std::vector<CKelBlockCubeArray>& old)
{
  bool changed = false;
  for (std::size_t k = 0; k < points.size(); ++k) {
    if (!CSyasenCheckBlockParam::IsPlanBlockChanged(points[k].m_BlockList, old[k]))
      continue;
    points[k].DeleteSphereRatioPlanBlock1(1);
    points[k].DeleteSphereWorkRatioPlanBlock1();
    changed = true;
  }
  return changed;
}

// The plan block between bottom and the ground under the outline of b.
CKelBlockCube GroundBlock(const CKelBlockCube& b, double grdHeight, double bottom)
{
  CKelBlockCube g = b;
  for (CKelBlockCoord& v : g.m_Coord) {
    v.SetZH(grdHeight, nullptr);
    v.SetZL(bottom, nullptr);
  }
  g.SetPlanBlock();
  g.SetType(true);
  g.SetTopSlope(false);
  g.GetPlaneEquation(true);
  g.GetPlaneEquation(false);
  return g;
}

}  // namespace

void CSyasenCheckBlockParam::ClearPlan(CKelBlockCubeArray& blocks, CKelBlockCubeArray* removed)
{
  CKelBlockCubeArray kept;
  for (const CKelBlockCube& b : blocks) {
    if (!IsPlanOnly(b))
      kept.push_back(b);
    else if (removed != nullptr)
      removed->push_back(b);
  }
  static_cast<CKelBlockCubeList&>(blocks).swap(kept);
}

bool CSyasenCheckBlockParam::IsPlanBlockChanged(const CKelBlockCubeArray& blocks, const CKelBlockCubeArray& old)
{
  std::size_t k = 0;
  for (const CKelBlockCube& b : blocks) {
    if (!IsPlanOnly(b))
      continue;
    if (k >= old.size() || b != old[k])
      return true;
    ++k;
  }
  return k != old.size();
}

void CSyasenCheckBlockParam::ClipBlock(const CKelBlockCube* base, double bottom, CKelBlockCubeArray& blocks,
                                       CKelBlockCubeArray& outside)
{
  CKelBlockCube c = *base;
  c.DropSurveyPoints();
  if (!c.IsOukata().empty()) {
    // Only convex pieces clip; a concave one leaves everything outside.
    outside.AddBlock(blocks);
    blocks.Clear();
    return;
  }
  c.SetMinMax();
  const int n = c.GetSize();
  for (int i = 0; n >= 3 && i < n && !blocks.empty(); ++i) {
    const CKelBlockCoord& from = c.m_Coord[static_cast<std::size_t>(i == 0 ? n - 1 : i - 1)];
    const CKelBlockCoord& to = c.m_Coord[static_cast<std::size_t>(i)];
    blocks.CutBlock(nullptr, from, to, kRight, &outside);
  }
  outside.CombineBlock(nullptr);
  for (CKelBlockCube& b : blocks) {
    if (b.IsTyuku())
      continue;
    for (CKelBlockCoord& v : b.m_Coord)
      v.SetZL(bottom, nullptr);
    b.SetType();
    b.GetPlaneEquation(true);
    b.GetPlaneEquation(false);
  }
}

CKelBlockCubeArray CSyasenCheckBlockParam::ClipBlock(const CKelBlockCubeArray& base, CKelBlockCubeArray& blocks,
                                                     double bottom, int* refused)
{
  CKelBlockCubeArray pieces;
  for (const CKelBlockCube& b : base) {
    if (!AddConvexPieces(b, pieces) && refused != nullptr)
      ++*refused;
  }
  CKelBlockCubeArray result;
  std::size_t i = 0;
  while (i < blocks.size()) {
    CKelBlockCubeArray remainder;
    remainder.push_back(blocks[i]);
    CKelBlockCubeArray inside;
    for (const CKelBlockCube& piece : pieces) {
      CKelBlockCubeArray work;
      work.swap(remainder);
      ClipBlock(&piece, bottom, work, remainder);
      inside.AddBlock(work);
    }
    inside.CombineBlock(nullptr);
    result.AddBlock(inside);
    blocks.erase(blocks.begin() + static_cast<std::ptrdiff_t>(i));
    blocks.insert(blocks.begin() + static_cast<std::ptrdiff_t>(i), remainder.begin(), remainder.end());
    i += remainder.size();
  }
  return result;
}

int CSyasenCheckBlockParam::CreatePlanBlockSub(bool withYouheki, CKelBlockCubeArray plan,
                                               const CKelBlockCubeArray& youheki, CKelBlockCubeArray plan2,
                                               CKelBlockCubeArray* target, double grdHeight, double bottom)
{
  int refused = 0;
  const CKelBlockCubeArray onEntry = *target;
  // Convex pieces split again stay whole: the clips below refuse none.
  const CKelBlockCubeArray base = ConvexPieces(target->SubBlock(nullptr, youheki), Kinds::kBaseOnly, refused);
  const CKelBlockCubeArray walls = ConvexPieces(youheki, Kinds::kAll, refused);
  CKelBlockCubeArray p1 = ClipBlock(base, plan, bottom);
  if (withYouheki)
    p1.AddBlock(ClipBlock(walls, plan, bottom));
  AddPlanBlocks(p1, target);
  CKelBlockCubeArray p2 = ClipBlock(base, plan2, bottom);
  p2.AddBlock(ClipBlock(walls, plan2, bottom));
  AddPlanBlocks(p2, target);
  if (!(bottom < grdHeight))
    return refused;
  CKelBlockCubeArray ground;
  for (const CKelBlockCube& b : onEntry)
    ground.AddBlock(GroundBlock(b, grdHeight, bottom));
  ground.CombineBlock(nullptr);
  target->AddBlock(ground);
  return refused;
}

bool CSyasenCheckBlockParam::WithYouheki(const CKelHSite* site) const
{
  if (m_SiteNo < 0 || !ValidEdge(site, m_SiteNo))
    return true;
  return site->Vertex(m_SiteNo).m_LineCond.m_Option != 0;
}

int CSyasenCheckBlockParam::CreatePlanBlock1(CSyasenCheck* check, CKelHSite* site, CSyasenCheckBlock* blk,
                                             CKelBlockCubeArray& plan, double bottom, CKelBlockCubeArray& plan2)
{
  const CSyasenCheckSiteRuns runs(site);
  const OperationRuns lent(*this, runs);
  return CreatePlanBlock1(check, site, blk, plan, bottom, plan2, runs);
}

int CSyasenCheckBlockParam::CreatePlanBlock1(CSyasenCheck* check, CKelHSite* site, CSyasenCheckBlock* blk,
                                             CKelBlockCubeArray& plan, double bottom, CKelBlockCubeArray& plan2,
                                             const CSyasenCheckSiteRuns& runs)
{
  const CKelBlockCubeArray walls = CreateBaseBlock(check, site, blk, m_YouhekiBlock, false, nullptr, runs);
  return CreatePlanBlockSub(WithYouheki(site), plan, walls, plan2, &m_BaseBlock, m_GrdHeight, bottom);
}

int CSyasenCheckBlockParam::CreatePlanBlock2(CSyasenCheck* check, CKelHSite* site, CSyasenCheckBlock* blk,
                                             CKelBlockCubeArray& plan, double bottom, CKelBlockCubeArray& plan2)
{
  const CSyasenCheckSiteRuns runs(site);
  const OperationRuns lent(*this, runs);
  return CreatePlanBlock2(check, site, blk, plan, bottom, plan2, runs);
}

int CSyasenCheckBlockParam::CreatePlanBlock2(CSyasenCheck* check, CKelHSite* site, CSyasenCheckBlock* blk,
                                             CKelBlockCubeArray& plan, double bottom, CKelBlockCubeArray& plan2,
                                             const CSyasenCheckSiteRuns& runs)
{
  const bool withYouheki = WithYouheki(site);
  int refused = 0;
  for (CSphereRatioParam& cpnt : m_SphereRatio2) {
    const CKelBlockCubeArray walls = CreateBaseBlock(check, site, blk, m_YouhekiBlock, false, &cpnt, runs);
    refused += CreatePlanBlockSub(withYouheki, plan, walls, plan2, &cpnt.m_BlockList, m_GrdHeight, bottom);
    cpnt.m_BlockList.CombineBlock(nullptr);
  }
  return refused;
}

bool CSyasenCheckBlockParam::CreatePlanBlock(CSyasenCheck* check, CKelHSite* site, CSyasenCheckBlock* blk,
                                             CKelBlockCubeArray& plan, int mode, double bottom,
                                             CKelBlockCubeArray& plan2, int* refused)
{
  Refusals count(refused);
  CKelBlockCubeArray old;
  if ((mode & kModeBasic) != 0)
    ClearPlan(m_BaseBlock, &old);
  std::vector<CKelBlockCubeArray> oldPerPoint;
  if ((mode & kModeRadial) != 0)
    oldPerPoint = ClearPlans(m_SphereRatio2);
  if (plan.empty())
    return false;
  const CSyasenCheckSiteRuns runs(site);
  const OperationRuns lent(*this, runs);
  if ((mode & kModeBasic) != 0) {
    count.Add(CreatePlanBlock1(check, site, blk, plan, bottom, plan2, runs));
    return IsPlanBlockChanged(m_BaseBlock, old);
  }
  if ((mode & kModeRadial) != 0) {
    count.Add(CreatePlanBlock2(check, site, blk, plan, bottom, plan2, runs));
    return ReportChanges(m_SphereRatio2, oldPerPoint);
  }
  return false;
}

int CSyasenCheckBlockParam::CreateGroupPlanBlock1(CSyasenCheck*, CKelBlockCubeArray& plan, double bottom,
                                                  CKelBlockCubeArray& plan2, CSyasenCheckGroupParam* group)
{
  return CreatePlanBlockSub(true, plan, group->GetYouhekiBlock(), plan2, &group->GetBlock(), m_GrdHeight, bottom);
}

int CSyasenCheckBlockParam::CreateGroupPlanBlock2(CSyasenCheck*, CKelBlockCubeArray& plan, double bottom,
                                                  CKelBlockCubeArray& plan2, CSyasenCheckGroupParam* group)
{
  int refused = 0;
  for (CSphereRatioParam& cpnt : group->GetSphereRatio()) {
    refused += CreatePlanBlockSub(true, plan, group->GetYouhekiBlock(), plan2, &cpnt.m_BlockList, m_GrdHeight, bottom);
    cpnt.m_BlockList.CombineBlock(nullptr);
  }
  return refused;
}

bool CSyasenCheckBlockParam::CreateGroupPlanBlock(CSyasenCheck* check, CKelBlockCubeArray& plan, int mode,
                                                  double bottom, CKelBlockCubeArray& plan2,
                                                  CSyasenCheckGroupParam* group, int* refused)
{
  Refusals count(refused);
  if (group == nullptr)
    return false;
  CKelBlockCubeArray old;
  if ((mode & kModeBasic) != 0)
    ClearPlan(group->GetBlock(), &old);
  std::vector<CKelBlockCubeArray> oldPerPoint;
  if ((mode & kModeRadial) != 0)
    oldPerPoint = ClearPlans(group->GetSphereRatio());
  if (plan.empty())
    return false;
  if ((mode & kModeBasic) != 0) {
    count.Add(CreateGroupPlanBlock1(check, plan, bottom, plan2, group));
    return IsPlanBlockChanged(group->GetBlock(), old);
  }
  if ((mode & kModeRadial) != 0) {
    count.Add(CreateGroupPlanBlock2(check, plan, bottom, plan2, group));
    return ReportChanges(group->GetSphereRatio(), oldPerPoint);
  }
  return false;
}
