// Property: for random trees of elements and folders with random figure
// areas, every node's building total equals the signed sum of its floor
// totals, each computed here from the figures up with a reference rounding
// of this test's own, then rounded once with the node's building item —
// under every rounding preset.

#include "CKelProgressCore.h"
#include "DocTestSupport.h"

#include <random>

namespace {

// ---- reference rounding: magnitude rounded, sign restored ----

long long Pow10(int n)
{
  long long p = 1;
  while (n-- > 0)
    p *= 10;
  return p;
}

// Rounds a non-negative value to a multiple of step by kind 1, 2 or 3.
long long RoundMagnitude(long long v, long long step, int kind, bool nextDigit)
{
  const long long q = v / step;
  const long long r = v % step;
  switch (kind) {
  case 1: return r * 2 >= step ? (q + 1) * step : q * step;
  case 2: return q * step;
  case 3: {
    const long long counted = nextDigit ? (step >= 10 ? r / (step / 10) : 0) : r;
    return counted != 0 ? (q + 1) * step : q * step;
  }
  default: return v;
  }
}

long long Signed(long long v, long long step, int kind, bool nextDigit)
{
  return v < 0 ? -RoundMagnitude(-v, step, kind, nextDigit) : RoundMagnitude(v, step, kind, nextDigit);
}

int Effective(int kind, const CRoundTypeItem& item) { return kind == 4 ? int(item.m_Type) : kind; }

// A raw figure area (1e-8 m2) to 1e-6 m2.
long long Round1(long long raw, int kind, const CRoundTypeItem& item, bool nextDigit)
{
  kind = Effective(kind, item);
  if (kind < 1 || kind > 3)
    return raw / 100;
  return Signed(raw, Pow10(8 - item.m_Digit), kind, nextDigit) / 100;
}

long long Round3(long long v, int kind, const CRoundTypeItem& item, bool nextDigit)
{
  kind = Effective(kind, item);
  if (kind < 1 || kind > 3 || item.m_Digit == 6)
    return v;
  return Signed(v, Pow10(6 - item.m_Digit), kind, nextDigit);
}

// ---- random trees ----

class RandomTree {
public:
  RandomTree(unsigned seed, int floors) : rng(seed), p(floors) { Grow(PatternDoc::kBuildingCode, 1); }

  std::mt19937 rng;
  PatternDoc p;

  int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

private:
  CRoundTypeItem RandomItem()
  {
    // Kind first: a call's arguments come in no fixed order.
    const auto kind = CRoundTypeTable::ROUNDTYPE(Pick(1, 4));
    return CRoundTypeItem(kind, Pick(0, 6));
  }

  void Dress(int node)
  {
    p.Object(node)->m_RoundType = CRoundTypeTable::ROUNDTYPE(Pick(1, 4));
    p.Node(node)->m_RoundTypeFloor = RandomItem();
    p.Node(node)->m_RoundTypeTotal = RandomItem();
  }

  void Grow(int parent, int depth)
  {
    const int children = Pick(1, 4);
    for (int i = 0; i < children; ++i) {
      const int op = Pick(1, 2);
      if (depth < 4 && Pick(0, 3) == 0) {
        const int folder = p.AddFolder(parent, u"F", op);
        Dress(folder);
        Grow(folder, depth + 1);
      } else {
        const int element = p.AddElement(parent, u"E", op);
        Dress(element);
        Fill(element);
      }
    }
  }

  void Fill(int element)
  {
    for (short floor = 0; floor < short(p.doc.m_FloorParamArray.size()); ++floor) {
      const int figures = Pick(0, 3);
      for (int i = 0; i < figures; ++i) {
        // Up to about 10000 m2, any digit pattern.
        const long long raw = std::uniform_int_distribution<long long>(0, 1000000000000LL)(rng);
        auto figure = p.AddFigure(element, floor, raw, Pick(1, 2));
        figure->m_RoundType = CRoundTypeTable::ROUNDTYPE(Pick(1, 4));
        p.Element(element)->m_FloorArray.SearchFloor(floor)->m_List.back().m_RoundType =
            CRoundTypeTable::ROUNDTYPE(Pick(1, 4));
      }
      auto* record = p.Element(element)->m_FloorArray.SearchFloor(floor);
      const int mode = Pick(1, 4);
      record->m_Mode = CArea2ObjectFloor::MODE(mode);
      record->m_ManualArea = std::uniform_int_distribution<long long>(-5000000000LL, 5000000000LL)(rng);
    }
  }
};

// The reference per-floor area of a node, from the figures up.
class Reference {
public:
  Reference(PatternDoc& p, const CRoundTypeParam& preset) : m_P(p), m_Preset(preset) {}

  long long Floor(const CAreaTree& node, short story)
  {
    CAreaObject* object = m_P.doc.GetAreaObject(node.m_AreaCode);
    long long sum = 0;
    if (node.m_AreaCode < 0) {
      const CArea2ObjectFloor* record = dynamic_cast<CArea2Object*>(object)->m_FloorArray.SearchFloor(story);
      sum = record->m_Mode == CArea2ObjectFloor::MODE_MANUAL ? record->m_ManualArea : Entries(*record);
    } else {
      for (const CAreaTree& child : node.m_Child)
        sum += child.m_Operator == COperatorTable::OPERATOR_MINUS ? -Floor(child, story) : Floor(child, story);
    }
    return Round3(sum, object->m_RoundType, node.m_RoundTypeFloor, m_Preset.m_RoundUpNextDigit);
  }

  long long Building(const CAreaTree& node)
  {
    long long sum = 0;
    for (const CFloorParam& floor : m_P.doc.m_FloorParamArray)
      if (floor.m_bCalc)
        sum += Floor(node, floor.m_FloorNo);
    const CAreaObject* object = m_P.doc.GetAreaObject(node.m_AreaCode);
    return Round3(sum, object->m_RoundType, node.m_RoundTypeTotal, m_Preset.m_RoundUpNextDigit);
  }

private:
  long long Entries(const CArea2ObjectFloor& record)
  {
    long long sum = 0;
    for (const CArea2List& entry : record.m_List) {
      const long long figure = Round1(entry.m_pArea1->GetOrgArea(&m_P.doc), entry.m_pArea1->m_RoundType,
                                      m_Preset.m_Area1RoundType, m_Preset.m_RoundUpNextDigit);
      const long long rounded =
          Round3(figure, entry.m_RoundType, m_Preset.m_Area2ListRoundType, m_Preset.m_RoundUpNextDigit);
      sum += entry.m_Operator == COperatorTable::OPERATOR_MINUS ? -rounded : rounded;
    }
    return sum;
  }

  PatternDoc& m_P;
  const CRoundTypeParam& m_Preset;
};

// Every preset the settings can hold for areas: each kind (1 to 4, where 4
// leaves the level's item to decide) at representative digits, with and
// without the next-digit rule of round-up.
std::vector<CRoundTypeParam> AllAreaPresets()
{
  std::vector<CRoundTypeParam> presets;
  for (int figureKind = 1; figureKind <= 4; ++figureKind)
    for (int listKind = 1; listKind <= 4; ++listKind)
      for (int digit : {0, 2, 3, 6})
        for (bool nextDigit : {true, false}) {
          CRoundTypeParam preset;
          preset.m_Area1RoundType = CRoundTypeItem(CRoundTypeTable::ROUNDTYPE(figureKind), digit);
          preset.m_Area2ListRoundType = CRoundTypeItem(CRoundTypeTable::ROUNDTYPE(listKind), 6 - digit);
          preset.m_RoundUpNextDigit = nextDigit;
          presets.push_back(preset);
        }
  return presets;
}

void CheckAllNodes(PatternDoc& p, Reference& reference, const CAreaTree& node, CKelProgressCore& progress,
                   int& checked)
{
  for (const CAreaTree& child : node.m_Child) {
    ASSERT_EQ(child.GetAllFloorTotalArea(&p.doc, progress), reference.Building(child)) << "node " << child.m_AreaCode;
    ++checked;
    CheckAllNodes(p, reference, child, progress, checked);
  }
}

TEST(TreeTotalPropertyTest, BuildingTotalsAreTheRoundedSignedSumOfTheFloorTotalsUnderEveryPreset)
{
  const std::vector<CRoundTypeParam> presets = AllAreaPresets();
  CKelProgressCore progress;
  int checked = 0;
  for (unsigned seed = 1; seed <= 12; ++seed) {
    RandomTree tree(seed, 3);
    // Some floors sit out.
    tree.p.doc.m_FloorParamArray[std::size_t(tree.Pick(0, 2))].m_bCalc = tree.Pick(0, 1) == 1;
    for (const CRoundTypeParam& preset : presets) {
      tree.p.doc.m_EnvParam.m_RoundTypeParamArray[0] = preset;
      Reference reference(tree.p, preset);
      CheckAllNodes(tree.p, reference, tree.p.doc.m_AreaTree2, progress, checked);
      if (HasFatalFailure())
        return;
    }
  }
  EXPECT_GT(checked, 1000);
}

TEST(TreeTotalPropertyTest, MirroredTreesGiveTotalsOfEqualMagnitude)
{
  CKelProgressCore progress;
  for (unsigned seed = 20; seed <= 30; ++seed) {
    RandomTree tree(seed, 2);
    CAreaTree& building = *tree.p.Node(PatternDoc::kBuildingCode);
    const long long total = building.GetAllFloorTotalArea(&tree.p.doc, progress);
    // Flip every sign at the bottom: entries and manual areas.
    for (CArea2Object& element : tree.p.doc.m_Area2ObjectArray)
      for (CArea2ObjectFloor& record : element.m_FloorArray) {
        record.m_ManualArea = -record.m_ManualArea;
        for (CArea2List& entry : record.m_List)
          entry.m_Operator = entry.m_Operator == COperatorTable::OPERATOR_PLUS ? COperatorTable::OPERATOR_MINUS
                                                                               : COperatorTable::OPERATOR_PLUS;
      }
    EXPECT_EQ(building.GetAllFloorTotalArea(&tree.p.doc, progress), -total) << "seed " << seed;
  }
}

}  // namespace
