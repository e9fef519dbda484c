// SPDX-License-Identifier: Apache-2.0
#include "guides/columnindex.h"

#include <cctype>
#include <limits>

namespace corvanty {

namespace {

const char* const kEmpty = "Index property must have a value.";
const char* const kNotNumeric = "Index property must be a numeric value.";
const char* const kNotWhole = "Index property must be a whole number.";

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// Skips the digits from at and tells whether there was one.
bool SkipDigits(const std::string& text, size_t& at) {
  size_t start = at;
  while (at < text.size() && IsDigit(text[at])) ++at;
  return at > start;
}

// A decimal number: sign, digits with an optional fraction, an optional
// exponent. No hexadecimal, no infinity, no thousands separators.
bool IsDecimalNumber(const std::string& text) {
  size_t at = 0;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
  bool whole_digits = SkipDigits(text, at);
  bool fraction_digits = false;
  if (at < text.size() && text[at] == '.') fraction_digits = SkipDigits(text, ++at);
  if (!whole_digits && !fraction_digits) return false;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    if (!SkipDigits(text, at)) return false;
  }
  return at == text.size();
}

}  // namespace

ColumnIndexInput ReadColumnIndex(const std::string& text) {
  size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {0, text.empty() ? kEmpty : kNotNumeric};
  std::string number = text.substr(first, text.find_last_not_of(' ') - first + 1);
  if (!IsDecimalNumber(number)) return {0, kNotNumeric};

  size_t at = (number[0] == '+' || number[0] == '-') ? 1 : 0;
  bool negative = number[0] == '-';
  int64_t value = 0;
  for (; at < number.size(); ++at) {
    if (!IsDigit(number[at])) return {0, kNotWhole};
    value = value * 10 + (number[at] - '0');
    if (value > int64_t{std::numeric_limits<int32_t>::max()} + negative) return {0, kNotWhole};
  }
  return {static_cast<int32_t>(negative ? -value : value), nullptr};
}

}  // namespace corvanty
