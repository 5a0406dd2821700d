#pragma once
// Shared pieces of the dialog tests: a fresh stand-in host and document per
// test that must end without a misuse of the dialog manager, the layout of
// the dialog under test declared from its own class, and readers of what a
// pop-up offers and shows and what the user was told.

#include "../LiveHandleCheck.h"
#include "CPlenimetraParam.h"
#include "HostFixture.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

class DialogTest : public testing::Test {
protected:
  void TearDown() override
  {
    EXPECT_TRUE(host.DialogMisuses().empty()) << host.DialogMisuses().front();
    EXPECT_EQ(pln::host::PendingAlertAnswers(), 0u);
  }

  template <typename Dialog>
  static void Define()
  {
    pln::host::DefineDialog(Dialog::ResourceId, Dialog::Layout());
  }

  // Runs the dialog with the script as the user; answers DoModal's answer.
  template <typename Dialog>
  static short Run(Dialog& dialog, pln::host::DialogScript script)
  {
    pln::host::QueueDialogScript(Dialog::ResourceId, std::move(script));
    return dialog.DoModal();
  }

  static std::vector<GS::UniString> Entries(pln::host::DialogUser& user, short item)
  {
    std::vector<GS::UniString> texts;
    for (const auto& entry : Item(user, item).entries)
      texts.push_back(entry.text);
    return texts;
  }
  static std::vector<long long> EntryData(pln::host::DialogUser& user, short item)
  {
    std::vector<long long> data;
    for (const auto& entry : Item(user, item).entries)
      data.push_back(entry.userData);
    return data;
  }
  // The selected entry's text; empty when none is selected.
  static GS::UniString Shown(pln::host::DialogUser& user, short item)
  {
    const auto& state = Item(user, item);
    return state.selectedEntry < 1 ? GS::UniString() : state.entries.at(state.selectedEntry - 1).text;
  }
  // Selects the entry with that text as the user would.
  static void Choose(pln::host::DialogUser& user, short item, const GS::UniString& text)
  {
    const auto& entries = Item(user, item).entries;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      if (entries[i].text == text) {
        user.SelectPopUp(item, static_cast<short>(i + 1));
        return;
      }
    }
    ADD_FAILURE() << "no pop-up entry " << text.ToStdString(CC_UTF8);
  }
  static const pln::host::DGItemState& Item(pln::host::DialogUser& user, short item)
  {
    const pln::host::DGItemState* state = pln::host::DialogItemState(user.DialogId(), item);
    EXPECT_NE(state, nullptr) << "item " << item;
    static const pln::host::DGItemState none;
    return state != nullptr ? *state : none;
  }

  // The large texts of the alerts shown since the last call.
  std::vector<GS::UniString> NewAlerts()
  {
    std::vector<GS::UniString> texts;
    const auto& alerts = host.Alerts();
    for (; m_AlertsSeen < alerts.size(); ++m_AlertsSeen) {
      EXPECT_EQ(alerts[m_AlertsSeen].title, GS::UniString(u"メンセラ"));
      texts.push_back(alerts[m_AlertsSeen].largeText);
    }
    return texts;
  }

  HostFixture host;
  CPlenimetraParam doc;

private:
  std::size_t m_AlertsSeen = 0;
};

using Texts = std::vector<GS::UniString>;

// Failures print texts as they read.
namespace GS {
inline void PrintTo(const UniString& text, std::ostream* out) { *out << text.ToStdString(CC_UTF8); }
}  // namespace GS
