// SPDX-License-Identifier: Apache-2.0
#include "connections/connectstring.h"

#include "connections/asciicase.h"

namespace corvanty {

namespace {

// Reads one value starting at at, up to the ';' that ends it (or the end);
// at is left just past that ';'. False for a brace left open or text after
// a closing brace.
bool ReadValue(const std::string& text, size_t& at, std::string& value) {
  value.clear();
  if (at < text.size() && text[at] == '{') {
    for (++at;; ++at) {
      if (at >= text.size()) return false;
      if (text[at] == '}') {
        if (at + 1 < text.size() && text[at + 1] == '}') {
          value += '}';
          ++at;
          continue;
        }
        ++at;
        break;
      }
      value += text[at];
    }
    if (at < text.size() && text[at] != ';') return false;
  } else {
    size_t end = text.find(';', at);
    if (end == std::string::npos) end = text.size();
    value = text.substr(at, end - at);
    at = end;
  }
  if (at < text.size()) ++at;  // the ';'
  return true;
}

}  // namespace

std::optional<ConnectValues> ParseConnectString(const std::string& connect) {
  ConnectValues values;
  bool has_dsn = false;
  for (size_t at = 0; at < connect.size();) {
    size_t equals = connect.find('=', at);
    if (equals == std::string::npos) return std::nullopt;
    const std::string keyword = rdo::LowerAscii(connect.substr(at, equals - at));
    at = equals + 1;
    std::string value;
    if (!ReadValue(connect, at, value)) return std::nullopt;
    if (keyword == "dsn" && !has_dsn) {
      values.dsn = value;
      has_dsn = true;
    } else if (keyword == "uid" && !values.uid) {
      values.uid = value;
    } else if (keyword == "pwd" && !values.pwd) {
      values.pwd = value;
    } else {
      return std::nullopt;
    }
  }
  if (!has_dsn) return std::nullopt;
  return values;
}

}  // namespace corvanty
