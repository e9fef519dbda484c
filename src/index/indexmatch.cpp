// SPDX-License-Identifier: Apache-2.0
#include "index/indexmatch.h"

#include <vector>

#include "statements/sqlliteral.h"
#include "statements/tsqltext.h"

namespace corvanty {
namespace {

// The trigram index finds texts of three characters or more only.
constexpr size_t kShortestIndexedText = 3;

bool IsValidUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    const size_t length = lead < 0x80       ? 1
                          : lead >> 5 == 6  ? 2
                          : lead >> 4 == 14 ? 3
                          : lead >> 3 == 30 ? 4
                                            : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += length;
  }
  return true;
}

// The runs between a pattern's wildcards that the index can look for. Text
// that is not UTF-8 is left to the scan: LIKE may find its bytes inside a
// character, where the index reads whole characters.
std::vector<std::string> RequiredTexts(const std::string& pattern) {
  std::vector<std::string> texts;
  size_t start = 0;
  for (size_t i = 0; i <= pattern.size(); ++i) {
    if (i < pattern.size() && pattern[i] != '%' && pattern[i] != '_') continue;
    const std::string run = pattern.substr(start, i - start);
    if (tsql::CharLength(run) >= kShortestIndexedText && IsValidUtf8(run)) texts.push_back(run);
    start = i + 1;
  }
  return texts;
}

// Why an alternative whose patterns require no text cannot be served.
std::string WhyNotServed(const std::vector<std::string>& patterns) {
  if (patterns.size() > 1) {
    std::string joined;
    for (const std::string& pattern : patterns)
      joined += (joined.empty() ? "\"" : " AND \"") + pattern + "\"";
    return "no phrase of " + joined + " has 3 characters between wildcards";
  }
  const std::string& pattern = patterns.front();
  if (pattern.empty()) return "the criteria are empty";
  if (!IsValidUtf8(pattern)) return "\"" + pattern + "\" is not UTF-8 text";
  if (pattern.find_first_of("%_") == std::string::npos)
    return "\"" + pattern + "\" is shorter than 3 characters";
  return "\"" + pattern + "\" has no 3 characters between its wildcards % and _";
}

}  // namespace

IndexMatch IndexMatchFor(const SearchCriteria& criteria) {
  const std::vector<std::vector<std::string>> alternatives = criteria.PatternAlternatives();
  IndexMatch match;
  for (const std::vector<std::string>& patterns : alternatives) {
    std::string all;  // the texts every pattern of the alternative requires
    std::vector<std::string>& texts = match.alternatives.emplace_back();
    for (const std::string& pattern : patterns)
      for (const std::string& text : RequiredTexts(pattern)) {
        all += (all.empty() ? "" : " AND ") + DoubleQuoted(text);
        texts.push_back(text);
      }
    // An alternative that requires nothing may hold in any row.
    if (all.empty()) return {"", WhyNotServed(patterns), {}};
    match.query +=
        (match.query.empty() ? "" : " OR ") + (alternatives.size() > 1 ? "(" + all + ")" : all);
  }
  return match;
}

}  // namespace corvanty
