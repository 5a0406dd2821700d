// The records the user's actions deliver, owner drawing and file dialogs.

#include "PlatformTestSupport.h"

#include "dg_filedialog.h"

using pln::host::DGItemKind;
using pln::host::DialogUser;

namespace {

constexpr short kDialog = 32409;
constexpr short kTree = 34;
constexpr short kList = 35;
constexpr short kSplitter = 38;
constexpr short kSwatch = 40;

class DgEventsTest : public DgTest {
protected:
  void SetUp() override
  {
    pln::host::DefineDialog(kDialog, {{kTree, DGItemKind::TreeView},
                                      {kList, DGItemKind::ListBox},
                                      {kSplitter, DGItemKind::Splitter},
                                      {kSwatch, DGItemKind::UserItem}});
    id = OpenModeless(kDialog);
    recorder.messages.clear();
  }

  short id = 0;
};

TEST_F(DgEventsTest, WindowMessagesCarryTheirGrowthsAndKinds)
{
  std::vector<std::pair<short, short>> grows;  // low and high 16 bits
  std::vector<DG::ResizeEventArg> resizes;
  std::vector<DG::SplitterDragEventArg> drags;
  recorder.answer = [&](const DgMessage& m) -> short {
    if (m.message == DG_MSG_GROW)
      grows.emplace_back(static_cast<short>(m.data & 0xFFFF), static_cast<short>(m.data >> 16));
    if (m.message == DG_MSG_RESIZE)
      resizes.push_back(*Record<DG::ResizeEventArg>(m.data));
    if (m.message == DG_MSG_SPLITTERDRAG)
      drags.push_back(*Record<DG::SplitterDragEventArg>(m.data));
    return 0;
  };
  DialogUser user(id);
  user.Grow(3, -2);
  user.Grow(-32768, 32767);
  EXPECT_EQ(grows, (std::vector<std::pair<short, short>>{{3, -2}, {-32768, 32767}}));

  user.Resize(-7, 12);
  ASSERT_EQ(resizes.size(), 1u);
  EXPECT_EQ(resizes[0].kind, 1);
  EXPECT_EQ(resizes[0].hGrow, -7);
  EXPECT_EQ(resizes[0].vGrow, 12);

  user.SplitterDrag(kSplitter, 250, 300);
  ASSERT_EQ(drags.size(), 3u);
  EXPECT_EQ(std::make_pair(drags[0].kind, drags[0].position), std::make_pair(short(0), short(250)));
  EXPECT_EQ(std::make_pair(drags[1].kind, drags[1].position), std::make_pair(short(1), short(300)));
  EXPECT_EQ(drags[2].kind, 2);

  // Hot key, activation and raw messages pass through as given.
  recorder.messages.clear();
  user.HotKey(5);
  user.Activate(true);
  user.TopStatusChange(true);
  user.Send(DG_USERMSG, 2, 77);
  ASSERT_EQ(recorder.messages.size(), 4u);
  EXPECT_EQ(recorder.messages[0], (DgMessage{DG_MSG_HOTKEY, id, 5, 0}));
  EXPECT_EQ(recorder.messages[1], (DgMessage{DG_MSG_ACTIVATE, id, 0, 1}));
  EXPECT_EQ(recorder.messages[2].message, DG_MSG_TOPSTATUSCHANGE);
  EXPECT_EQ(recorder.messages[3], (DgMessage{DG_USERMSG, id, 2, 77}));
}

TEST_F(DgEventsTest, DragAndDropRunsTheSubMessagesWithOneRecordUnlessRefusedAtItsStart)
{
  EXPECT_EQ(DialogUser(id).DragAndDrop(kList, kTree, 1, DG_DRAG_INSERT_ON), 0);
  EXPECT_EQ(recorder.messages.size(), 1u);  // answered 0 at the start

  std::vector<std::pair<short, short>> seen;  // item, sub-message
  recorder.answer = [&](const DgMessage& m) -> short {
    auto* arg = Record<DG::DragDropEventArg>(m.data);
    seen.emplace_back(m.item, arg->subMessage);
    if (arg->subMessage == DG_DRAG_STARTING)
      return 1;
    if (arg->subMessage == DG_DRAG_ENTER)
      arg->effect = 7;
    if (arg->subMessage == DG_DRAG_DROP) {
      EXPECT_EQ(arg->effect, 7);  // what the add-on wrote stays on the record
      EXPECT_EQ(arg->insertPos, 5);
      EXPECT_EQ(arg->relativePos, DG_DRAG_INSERT_ABOVE);
      return 9;
    }
    return 0;
  };
  EXPECT_EQ(DialogUser(id).DragAndDrop(kList, kTree, 5, DG_DRAG_INSERT_ABOVE), 9);
  EXPECT_EQ(seen, (std::vector<std::pair<short, short>>{{kList, DG_DRAG_STARTING},
                                                        {kList, DG_DRAG_START},
                                                        {kTree, DG_DRAG_ENTER},
                                                        {kTree, DG_DRAG_OVER},
                                                        {kTree, DG_DRAG_DROP},
                                                        {kList, DG_DRAG_END}}));
}

TEST_F(DgEventsTest, OwnerDrawnCellIsDrawnOnASurfaceOfTheCellsSizeAndNoOtherCellIsAsked)
{
  DGListInsertItem(id, kList, DG_LIST_BOTTOM);
  DGListInsertItem(id, kList, DG_LIST_BOTTOM);
  DGListSetTabFieldCount(id, kList, 4);
  DGListSetTabFieldOwnerDrawFlag(id, kList, 4, true);
  DGListSetTabFieldOwnerDrawFlag(id, kList, 3, true);
  DGListSetTabFieldOwnerDrawFlag(id, kList, 3, false);
  const NewDisplay::Color red{255, 0, 0};
  short drawnRow = 0;
  recorder.answer = [&](const DgMessage& m) -> short {
    const auto* update = Record<DG::ItemUpdateEventArg>(m.data);
    drawnRow = update->row;
    NewDisplay::UserItemUpdateNativeContext context(update);
    const double w = context.GetWidth();
    const double h = context.GetHeight();
    context.SetForeColor(red);
    context.FrameRect(1, 2, w - 3, h - 2);
    context.Line(7, 5, 7, h - 5);
    DG::Utils::FillRect(context, DG::Rect{15, 5, w - 6, h - 5}, red);
    return 0;
  };
  const NewDisplay::DrawSurface surface = DialogUser(id).DrawListCell(kList, 2, 4, 40, 18);
  EXPECT_EQ(drawnRow, 2);
  EXPECT_EQ(recorder.messages.back().message, DG_MSG_UPDATE);
  using Op = NewDisplay::DrawOperation;
  EXPECT_EQ(surface.operations,
            (std::vector<Op>{{Op::Frame, 1, 2, 37, 16, red}, {Op::Line, 7, 5, 7, 13, red}, {Op::Fill, 15, 5, 34, 13, red}}));

  // A user item is drawn the same way, with row and tab field 0.
  DialogUser(id).DrawUserItem(kSwatch, 10, 10);
  EXPECT_EQ(drawnRow, 0);

  recorder.messages.clear();
  EXPECT_TRUE(DialogUser(id).DrawListCell(kList, 1, 3, 40, 18).operations.empty());
  EXPECT_TRUE(recorder.messages.empty());
  ExpectMisuses(1);
}

using DgFileDialogTest = DgTest;

TEST_F(DgFileDialogTest, InvokeAnswersTheQueueInOrderThenCancels)
{
  FTM::FileTypeManager manager("メンセラ設定　ｲﾝﾎﾟｰﾄ");
  const FTM::TypeID dat = manager.AddType(FTM::FileType(nullptr, "dat", 0, 0, 0));
  host.QueueFileChoice(IO::Location(u"c:\\settings\\a.dat"));
  host.QueueFileDialogCancel();

  DG::FileDialog open(DG::FileDialog::OpenFile);
  const UIndex filter = open.AddFilter(dat, 1);
  EXPECT_TRUE(open.SetFilterText(filter, u"メンセラ設定ﾌｧｲﾙ (*.dat)"));
  EXPECT_FALSE(open.SetFilterText(filter + 1, u"x"));
  open.SetFolder(IO::Location(u"c:\\settings"));
  open.SelectFile(IO::Location(u"c:\\settings\\old.dat"));
  ASSERT_TRUE(open.Invoke());
  EXPECT_EQ(open.GetSelectionCount(), 1u);
  EXPECT_EQ(open.GetSelectedFile(), IO::Location(u"c:\\settings\\a.dat"));

  DG::FileDialog save(DG::FileDialog::Save);
  EXPECT_FALSE(save.Invoke());
  EXPECT_EQ(save.GetSelectionCount(), 0u);
  EXPECT_TRUE(save.GetSelectedFile().IsEmpty());
  EXPECT_FALSE(save.Invoke());  // nothing queued: the user cancels

  const auto& shown = host.FileDialogs();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].type, DG::FileDialog::OpenFile);
  EXPECT_EQ(shown[0].filters,
            (std::vector<DG::FileDialog::Filter>{{dat, 1, GS::UniString(u"メンセラ設定ﾌｧｲﾙ (*.dat)")}}));
  EXPECT_EQ(shown[0].folder, IO::Location(u"c:\\settings"));
  EXPECT_EQ(shown[0].preselected, IO::Location(u"c:\\settings\\old.dat"));
  EXPECT_EQ(shown[0].chosen, IO::Location(u"c:\\settings\\a.dat"));
  EXPECT_FALSE(shown[1].chosen.has_value());
  EXPECT_EQ(pln::host::PendingFileDialogAnswers(), 0u);
}

}  // namespace
