#include "ui/msgbox.h"

#include <gtest/gtest.h>

namespace corvanty {
namespace {

TEST(ConsolePrompter, AnswersQuestionsNoUnlessToldYesAndEveryOtherBoxOk) {
  EXPECT_EQ(ConsolePrompter(false).Ask({"Proceed?", 52, "t"}), vbNo);
  EXPECT_EQ(ConsolePrompter(true).Ask({"Proceed?", 4, "t"}), vbYes);
  EXPECT_EQ(ConsolePrompter(false).Ask({"Done.", 1, "t"}), vbOK);
}

}  // namespace
}  // namespace corvanty
