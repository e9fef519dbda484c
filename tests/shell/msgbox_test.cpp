#include "shell/msgbox.h"

#include <gtest/gtest.h>

namespace corvanty {
namespace {

TEST(MsgBox, ScriptedPrompterRecordsEveryBoxAndAnswersFromItsQueue) {
  auto scripted = std::make_shared<ScriptedPrompter>();
  auto previous = SetPrompter(scripted);
  scripted->QueueAnswer(vbNo);

  EXPECT_EQ(MsgBox("Proceed?", vbYesNo + vbExclamation), vbNo);
  EXPECT_EQ(MsgBox("Name missing", vbOKOnly, kAppTitle), vbOK);  // queue empty: OK
  EXPECT_EQ(MsgBox("Sure?", 52), vbYes);                          // queue empty: Yes

  ASSERT_EQ(scripted->Shown().size(), 3u);
  EXPECT_EQ(scripted->Shown()[0].prompt, "Proceed?");
  EXPECT_EQ(scripted->Shown()[0].style, 52);
  EXPECT_EQ(scripted->Shown()[0].title, "Velmorastine: Corvanty");
  EXPECT_EQ(scripted->Shown()[1].title, "CorvantyAdmin");
  SetPrompter(previous);
}

TEST(MsgBox, StylesDecodeIntoButtonsAndIcon) {
  EXPECT_FALSE(StyleIsYesNo(0));
  EXPECT_TRUE(StyleHasCancel(1));
  EXPECT_TRUE(StyleIsYesNo(4));
  EXPECT_TRUE(StyleHasExclamation(48));
  EXPECT_FALSE(StyleIsYesNo(48));
  EXPECT_TRUE(StyleHasCancel(49) && StyleHasExclamation(49));
  EXPECT_TRUE(StyleIsYesNo(52) && StyleHasExclamation(52));
  EXPECT_FALSE(StyleHasExclamation(4));
}

TEST(MsgBox, ConsolePrompterAnswersNoUnlessToldYes) {
  EXPECT_EQ(ConsolePrompter(false).Ask({"Proceed?", 52, "t"}), vbNo);
  EXPECT_EQ(ConsolePrompter(true).Ask({"Proceed?", 52, "t"}), vbYes);
  EXPECT_EQ(ConsolePrompter(false).Ask({"Done.", 0, "t"}), vbOK);
}

}  // namespace
}  // namespace corvanty
