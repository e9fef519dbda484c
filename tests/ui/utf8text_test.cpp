// SPDX-License-Identifier: Apache-2.0
#include "ui/utf8text.h"

#include <gtest/gtest.h>

namespace corvanty {
namespace {

// Each row: stored bytes, how a message shows them, how JSON carries them.
TEST(Utf8Text, ControlsAndBytesThatAreNoUtf8AreShownEscapedAndReplacedInJson) {
  struct Case {
    std::string stored, shown, json;
  };
  const Case cases[] = {
      {"Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", "Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80",
       "\"Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\""},
      {"a\tb\nc\x1b[2J\x7f", "a\\x09b\\x0ac\\x1b[2J\\x7f", "\"a\\tb\\nc\\u001b[2J\\u007f\""},
      {"csi\xC2\x9B"
       "1m",
       "csi\\xc2\\x9b1m",
       "\"csi\xC2\x9B"
       "1m\""},
      {"caf\xE9!", "caf\\xe9!", "\"caf\xEF\xBF\xBD!\""},
      {"\xC0\xAF/\xED\xA0\x80", "\\xc0\\xaf/\\xed\\xa0\\x80",
       "\"\xEF\xBF\xBD\xEF\xBF\xBD/\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
      {"cut \xE2\x82", "cut \\xe2\\x82", "\"cut \xEF\xBF\xBD\xEF\xBF\xBD\""},
      {"\xF4\x90\x80\x80", "\\xf4\\x90\\x80\\x80",
       "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
      {std::string("nul\0\"\\", 6), "nul\\x00\"\\", "\"nul\\u0000\\\"\\\\\""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ShownText(c.stored), c.shown) << c.shown;
    EXPECT_EQ(JsonString(c.stored), c.json) << c.shown;
  }
  EXPECT_EQ(ShownText("two\nlines\r", true), "two\nlines\\x0d");
}

}  // namespace
}  // namespace corvanty
