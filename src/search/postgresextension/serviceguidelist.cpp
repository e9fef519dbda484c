// SPDX-License-Identifier: Apache-2.0
#include "search/postgresextension/serviceguidelist.h"

#include <limits>

#include "search/postgresextension/postgresboundary.h"

namespace corvanty::postgres {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The items between the commas, trimmed; nullopt when an item is not an
// optional minus sign and digits.
std::optional<std::vector<std::string>> Items(const std::string& text) {
  std::vector<std::string> items;
  size_t at = 0;
  while (true) {
    while (at < text.size() && IsBlank(text[at])) ++at;
    const size_t start = at;
    if (at < text.size() && text[at] == '-') ++at;
    const size_t digits = at;
    while (at < text.size() && IsDigit(text[at])) ++at;
    if (at == digits) return std::nullopt;
    items.push_back(text.substr(start, at - start));
    while (at < text.size() && IsBlank(text[at])) ++at;
    if (at == text.size()) return items;
    if (text[at++] != ',') return std::nullopt;
  }
}

// The number an item stands for, when it is a guide number.
std::optional<int32_t> GuideNumber(const std::string& item) {
  const bool negative = item[0] == '-';
  int64_t magnitude = 0;
  for (size_t i = negative ? 1 : 0; i < item.size(); ++i) {
    magnitude = magnitude * 10 + (item[i] - '0');
    if (magnitude > int64_t{std::numeric_limits<int32_t>::max()} + 1) return std::nullopt;
  }
  const int64_t number = negative ? -magnitude : magnitude;
  if (number > std::numeric_limits<int32_t>::max()) return std::nullopt;
  return static_cast<int32_t>(number);
}

}  // namespace

std::string QuoteLiteral(const std::string& text) {
  std::string quoted = text.find('\\') == std::string::npos ? "'" : "E'";
  for (char c : text) {
    if (c == '\'' || c == '\\') quoted += c;
    quoted += c;
  }
  return quoted + "'";
}

std::vector<int32_t> ParseServiceGuideList(const std::optional<std::string>& text) {
  const std::optional<std::vector<std::string>> items = text ? Items(*text) : std::nullopt;
  if (!items)
    throw PostgresError(ERRCODE_INVALID_PARAMETER_VALUE,
                        "The Database Search Guide list " + (text ? QuoteLiteral(*text) : "NULL") +
                            " is not guide numbers separated by commas.",
                        "", "");
  std::vector<int32_t> ids;
  for (const std::string& item : *items) {
    const std::optional<int32_t> number = GuideNumber(item);
    if (!number)
      throw PostgresError(ERRCODE_NUMERIC_VALUE_OUT_OF_RANGE,
                          "The Database Search Guide list " + QuoteLiteral(*text) + " holds " +
                              item + ", which is no guide number.",
                          "", "");
    ids.push_back(*number);
  }
  return ids;
}

}  // namespace corvanty::postgres
