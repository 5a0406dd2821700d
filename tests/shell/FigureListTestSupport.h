#pragma once
// The figure-list page opened from the main palette (item 11), with the
// user's picks, the page's rows and cells, and figures placed through the
// page itself.

#include "ShellTestSupport.h"

#include "CDlgEditCr.h"
#include "CPlenimetraFunc1.h"
#include "host_alert.h"
#include "host_selection.h"

#include <algorithm>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

// Per story, the figures in list order: code, mark, numbering, number.
inline std::string FigureOrder(const CPlenimetraParam& doc)
{
  std::string text;
  for (const CFloorParam& floor : doc.m_FloorParamArray) {
    std::vector<const CArea1Object*> figures;
    for (const auto& figure : floor.m_Area1ObjectArray)
      figures.push_back(figure.get());
    std::stable_sort(figures.begin(), figures.end(),
                     [](const CArea1Object* a, const CArea1Object* b) { return a->m_SortIndex < b->m_SortIndex; });
    text += std::to_string(floor.m_FloorNo) + ":";
    for (const CArea1Object* figure : figures)
      text += " " + std::to_string(figure->m_Code) + "/" + std::to_string(int(figure->m_ItemType1)) + "/" +
              std::to_string(int(figure->m_ItemType2)) + "/" + std::to_string(figure->m_No);
    text += "\n";
  }
  return text;
}

// The entry of a pop-up with that text (1-based); 0 when none.
inline short PopUpEntry(short dialId, short item, const char16_t* text)
{
  const auto& entries = pln::host::DialogItemState(dialId, item)->entries;
  for (std::size_t e = 0; e < entries.size(); ++e)
    if (entries[e].text == GS::UniString(text))
      return static_cast<short>(e + 1);
  return 0;
}

// The line-break dialog's answer: breaks by hand, one after the first
// term, OK.
inline void QueueBreakAfterFirstTerm(HostFixture& host)
{
  host.QueueDialogScript(CDlgEditCr1::ResourceId, [](pln::host::DialogUser& user) {
    user.SetLong(4, 1);
    user.SelectRows(7, {1});
    user.Check(5, true);
    user.Click(1);
  });
}

class FigureListTest : public ShellTest {
protected:
  FigureListTest()
  {
    EXPECT_EQ(Menu(), NoError);
    user().Click(11);
  }

  short pageId() const { return pln::host::OpenDialogId(CPlenimetraFunc1::ResourceId); }
  pln::host::DialogUser page() const { return pln::host::DialogUser(pageId()); }
  CPlenimetraFunc1& Page() { return static_cast<CPlenimetraFunc1&>(*palette().m_Pages[CPlenimetraPalette::kFigureList]); }
  const pln::host::DGItemState& PageItem(short item) const { return *pln::host::DialogItemState(pageId(), item); }
  const std::vector<pln::host::DGListRow>& Rows() const { return PageItem(CPlenimetraFunc1::kList).list.rows; }
  GS::UniString Cell(std::size_t row, short column) const
  {
    const auto& texts = Rows().at(row - 1).texts;
    const auto found = texts.find(column);
    return found != texts.end() ? found->second : GS::UniString();
  }
  // Columns 1 to 9 of a row.
  std::vector<GS::UniString> RowTexts(std::size_t row) const
  {
    std::vector<GS::UniString> texts;
    for (short column = 1; column <= 9; ++column)
      texts.push_back(Cell(row, column));
    return texts;
  }
  std::vector<GS::UniString> Column(short column) const
  {
    std::vector<GS::UniString> texts;
    for (std::size_t row = 1; row <= Rows().size(); ++row)
      texts.push_back(Cell(row, column));
    return texts;
  }
  std::vector<short> SelectedRows() const
  {
    std::vector<short> rows;
    for (std::size_t r = 0; r < Rows().size(); ++r)
      if (Rows()[r].selected)
        rows.push_back(static_cast<short>(r + 1));
    return rows;
  }

  void Picks(std::initializer_list<std::pair<double, double>> points)
  {
    for (const auto& [x, y] : points)
      host.QueuePick({x, y, 0.0});
  }
  // Triangles of area 6 at x = 10 i, placed through the page.
  void PlaceTriangles(int count)
  {
    for (int i = 0; i < count; ++i) {
      const double x = 10.0 * i;
      Picks({{x, 0}, {x + 4, 0}, {x + 1, 3}});
    }
    page().Click(CPlenimetraFunc1::kTriangle);
  }
  std::vector<API_Guid> Guids(std::initializer_list<std::size_t> indices)
  {
    std::vector<API_Guid> guids;
    for (std::size_t i : indices)
      guids.push_back(Figures(0)[i]->m_Element.header.guid);
    return guids;
  }
  short Entry(short item, const char16_t* text) const { return PopUpEntry(pageId(), item, text); }
  // The project shared, this user 3, the palette and page opened again.
  void ShareProject()
  {
    host.SetTeamwork(true, true, 3);
    EXPECT_EQ(Menu(), NoError);
    EXPECT_EQ(Menu(), NoError);
    user().Click(11);
  }
  void SetSequential(bool on) { doc().m_EnvParam.m_NumberFillGaps = on; }
};
