// SPDX-License-Identifier: Apache-2.0
#include "connections/inisection.h"

#include "connections/asciicase.h"

namespace corvanty {

namespace {

// The section name of a header line "[name]" (blanks around allowed), or
// nothing for any other line.
bool IsHeader(const std::string& line, std::string& name) {
  size_t open = line.find_first_not_of(" \t");
  if (open == std::string::npos || line[open] != '[') return false;
  size_t close = line.find(']', open);
  if (close == std::string::npos) return false;
  name = line.substr(open + 1, close - open - 1);
  return true;
}

}  // namespace

std::string IniSectionText(const std::string& name, const IniSettings& settings) {
  std::string text = "[" + name + "]\n";
  for (const auto& [key, value] : settings) text += key + "=" + value + "\n";
  return text;
}

std::string WithIniSection(const std::string& content, const std::string& name,
                           const std::string& section) {
  const std::string wanted = rdo::LowerAscii(name);
  // The section ends after its last setting: blank and comment lines before
  // the next header stay with what follows.
  size_t begin = std::string::npos, end = content.size();
  for (size_t at = 0; at < content.size();) {
    size_t next = content.find('\n', at);
    next = next == std::string::npos ? content.size() : next + 1;
    const std::string line = content.substr(at, next - at);
    std::string header;
    bool is_header = IsHeader(line, header);
    if (begin != std::string::npos) {
      if (is_header) break;
      size_t first = line.find_first_not_of(" \t\r\n");
      if (first != std::string::npos && line[first] != ';' && line[first] != '#') end = next;
    } else if (is_header && rdo::LowerAscii(header) == wanted) {
      begin = at;
      end = next;
    }
    at = next;
  }
  if (begin != std::string::npos) return content.substr(0, begin) + section + content.substr(end);
  if (content.empty()) return section;
  return content + (content.back() == '\n' ? "\n" : "\n\n") + section;
}

std::string IniValueProblem(const std::string& value) {
  for (unsigned char c : value) {
    if (c == '\n' || c == '\r') return "holds a line break";
    if (c < 0x20 || c == 0x7F) return "holds a control character (such as a tab or NUL)";
  }
  if (!value.empty() && (value.front() == ' ' || value.back() == ' '))
    return "starts or ends with a blank, which the driver manager would drop";
  return "";
}

}  // namespace corvanty
