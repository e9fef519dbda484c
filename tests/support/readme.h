// SPDX-License-Identifier: Apache-2.0
#pragma once
// The README's command blocks, read from the source tree, for the tests that
// run them as written.
#include <string>
#include <vector>

namespace corvanty::testing {

struct ReadmeBlock {
  std::string section;   // the "## " heading it comes under, without the hashes
  std::string language;  // a fenced block's language; "" for an indented block
  std::string text;      // its lines, unindented, each ending in a line feed
};

// Every fenced block and every block indented by four blanks, in order.
std::vector<ReadmeBlock> ReadmeBlocks();

// The text of the first block that starts with first_line; "" when none does.
std::string ReadmeBlockStartingWith(const std::string& first_line);

}  // namespace corvanty::testing
