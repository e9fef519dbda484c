// SPDX-License-Identifier: Apache-2.0
#include "support/readme.h"

#include <sstream>

#include "support/corvantycli.h"

namespace corvanty::testing {

std::vector<ReadmeBlock> ReadmeBlocks() {
  std::istringstream readme(FileBytes(CORVANTY_TEST_DATA_DIR "/../../README.md"));
  std::vector<ReadmeBlock> blocks;
  std::string section, line;
  bool fenced = false, after_blank = true;
  while (std::getline(readme, line)) {
    if (fenced) {
      if (line.rfind("```", 0) == 0)
        fenced = false;
      else
        blocks.back().text += line + "\n";
    } else if (line.rfind("```", 0) == 0) {
      fenced = true;
      blocks.push_back({section, line.substr(3), ""});
    } else if (line.rfind("    ", 0) == 0) {
      // An indented block starts after a blank line and goes on to the next.
      if (after_blank) blocks.push_back({section, "", ""});
      blocks.back().text += line.substr(4) + "\n";
      after_blank = false;
      continue;
    } else if (line.rfind("## ", 0) == 0) {
      section = line.substr(3);
    }
    after_blank = line.empty() && !fenced;
  }
  return blocks;
}

std::string ReadmeBlockStartingWith(const std::string& first_line) {
  for (const ReadmeBlock& block : ReadmeBlocks())
    if (block.text.rfind(first_line, 0) == 0) return block.text;
  return "";
}

}  // namespace corvanty::testing
