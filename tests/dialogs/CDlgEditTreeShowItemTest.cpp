// The tree display dialog: each flag reaches its own box and comes back
// from it.

#include "CDlgEditTreeShowItem.h"
#include "DialogTestSupport.h"

#include <array>

using pln::host::DialogUser;
using Dlg = CDlgEditTreeShowItem;

namespace {

class CDlgEditTreeShowItemTest : public DialogTest {
protected:
  CDlgEditTreeShowItemTest() { Define<Dlg>(); }
};

TEST_F(CDlgEditTreeShowItemTest, EachFlagGoesToItsBoxAndBack)
{
  const std::vector<std::array<bool, 3>> presets{{true, true, true}, {false, true, false}, {true, false, false}};
  const std::array<short, 3> boxes{Dlg::ITEM_FLOOR_AREA, Dlg::ITEM_TOTAL_AREA, Dlg::ITEM_MARK};
  for (const auto& preset : presets) {
    for (std::size_t flipped = 0; flipped < boxes.size(); ++flipped) {
      Dlg dialog;
      dialog.m_bShowFloorArea = preset[0];
      dialog.m_bShowTotalArea = preset[1];
      dialog.m_bShowMark = preset[2];
      const short answer = Run(dialog, [&](DialogUser& user) {
        for (std::size_t i = 0; i < boxes.size(); ++i)
          EXPECT_EQ(Item(user, boxes[i]).valLong, preset[i] ? 1 : 0);
        user.Check(boxes[flipped], !preset[flipped]);
        user.Click(1);
      });
      EXPECT_EQ(answer, 1);
      auto expected = preset;
      expected[flipped] = !expected[flipped];
      EXPECT_EQ((std::array<bool, 3>{dialog.m_bShowFloorArea, dialog.m_bShowTotalArea, dialog.m_bShowMark}), expected);
    }
  }
}

}  // namespace
