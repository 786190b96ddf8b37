#include "platform/optionsdialogc.h"

#include <gtest/gtest.h>

namespace {

// Command parameters packed by hand: control id in the low word, notification
// code in the high word.
constexpr uint32_t HAPPY_CLICKED = 0x00000001u;
constexpr uint32_t SAD_CLICKED = 0x00000002u;

TEST(OptionsDialogC, InitialisationChecksTheFullscreenBox) {
  OptionsDialogC rDialog;
  EXPECT_EQ(rDialog.get_check(1000), 0u);
  EXPECT_TRUE(rDialog.handle_message(DIALOG_MESSAGE_INIT, 0));
  EXPECT_EQ(rDialog.get_check(1000), 1u);
  EXPECT_FALSE(rDialog.is_ended());
}

TEST(OptionsDialogC, HappyStoresWhetherTheBoxIsExactlyChecked) {
  struct CaseS {
    uint32_t m_ui32State;
    bool m_bFullscreen;
  };
  // 2 is the indeterminate state: not "checked", so no fullscreen.
  for (const CaseS& rCase : {CaseS{1, true}, CaseS{0, false}, CaseS{2, false}}) {
    OptionsDialogC rDialog;
    rDialog.handle_message(DIALOG_MESSAGE_INIT, 0);
    rDialog.set_check(1000, rCase.m_ui32State);
    EXPECT_TRUE(rDialog.handle_message(DIALOG_MESSAGE_COMMAND, HAPPY_CLICKED));
    EXPECT_TRUE(rDialog.is_ended());
    EXPECT_EQ(rDialog.get_result(), 1);
    EXPECT_EQ(rDialog.get_fullscreen(), rCase.m_bFullscreen) << "state " << rCase.m_ui32State;
  }
}

TEST(OptionsDialogC, SadEndsWithTwoAndNoFullscreen) {
  OptionsDialogC rDialog;
  rDialog.handle_message(DIALOG_MESSAGE_INIT, 0);
  EXPECT_TRUE(rDialog.handle_message(DIALOG_MESSAGE_COMMAND, SAD_CLICKED));
  EXPECT_TRUE(rDialog.is_ended());
  EXPECT_EQ(rDialog.get_result(), 2);
  EXPECT_FALSE(rDialog.get_fullscreen());
}

TEST(OptionsDialogC, IgnoresOtherNotificationsControlsAndMessages) {
  OptionsDialogC rDialog;
  rDialog.handle_message(DIALOG_MESSAGE_INIT, 0);
  EXPECT_FALSE(rDialog.handle_message(DIALOG_MESSAGE_COMMAND, 0x00010001u));  // Happy, code 1
  EXPECT_FALSE(rDialog.handle_message(DIALOG_MESSAGE_COMMAND, 0x00060002u));  // Sad, code 6
  EXPECT_FALSE(rDialog.handle_message(DIALOG_MESSAGE_COMMAND, 1000u));        // the box itself
  EXPECT_FALSE(rDialog.handle_message(0x1234u, HAPPY_CLICKED));
  EXPECT_FALSE(rDialog.is_ended());
  EXPECT_EQ(rDialog.get_result(), 0);
  EXPECT_EQ(rDialog.get_check(1000), 1u);
}

}  // namespace
