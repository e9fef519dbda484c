// SPDX-License-Identifier: Apache-2.0
#pragma once
// Multi-line statement texts go to the server as one string in which every
// line, the last one too, ends with CR LF.
#include <string>

namespace corvanty {

template <typename Lines>
std::string JoinCrLfLines(const Lines& lines) {
  std::string text;
  for (const auto& line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

}  // namespace corvanty
