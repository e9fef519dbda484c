#include "ui/msgbox.h"

#include <gtest/gtest.h>

namespace corvanty {
namespace {

TEST(MsgBox, ScriptedPrompterRecordsEveryBoxAndAnswersFromItsQueue) {
  auto scripted = std::make_shared<ScriptedPrompter>();
  auto previous = SetPrompter(scripted);
  scripted->QueueAnswer(vbNo);
  EXPECT_EQ(MsgBox("Proceed?", vbYesNo + vbExclamation), vbNo);
  EXPECT_EQ(MsgBox("Name missing", vbOKOnly, kAppTitle), vbOK);  // queue empty: OK
  EXPECT_EQ(MsgBox("Sure?", 52), vbYes);                         // queue empty: Yes
  SetPrompter(previous);

  ASSERT_EQ(scripted->Shown().size(), 3u);
  EXPECT_EQ(scripted->Shown()[0].prompt, "Proceed?");
  EXPECT_EQ(scripted->Shown()[0].style, 52);
  EXPECT_EQ(scripted->Shown()[0].title, "Velmorastine: Corvanty");
  EXPECT_EQ(scripted->Shown()[1].title, "CorvantyAdmin");
}

TEST(MsgBox, StylesDecodeIntoButtonsAndIcon) {
  // {style, Yes and No, Cancel, exclamation}
  const int rows[][4] = {{0, 0, 0, 0},  {1, 0, 1, 0},  {4, 1, 0, 0},
                         {48, 0, 0, 1}, {49, 0, 1, 1}, {52, 1, 0, 1}};
  for (const auto& row : rows) {
    EXPECT_EQ(StyleIsYesNo(row[0]), row[1] != 0) << row[0];
    EXPECT_EQ(StyleHasCancel(row[0]), row[2] != 0) << row[0];
    EXPECT_EQ(StyleHasExclamation(row[0]), row[3] != 0) << row[0];
  }
}

TEST(MsgBox, ConsolePrompterAnswersNoUnlessToldYes) {
  EXPECT_EQ(ConsolePrompter(false).Ask({"Proceed?", 52, "t"}), vbNo);
  EXPECT_EQ(ConsolePrompter(true).Ask({"Proceed?", 52, "t"}), vbYes);
  EXPECT_EQ(ConsolePrompter(false).Ask({"Done.", 0, "t"}), vbOK);
}

}  // namespace
}  // namespace corvanty
