// SPDX-License-Identifier: Apache-2.0
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

#include "connections/asciicase.h"
#include "connections/rdo.h"

namespace corvanty::rdo {
namespace {

std::string_view TrimBlanks(std::string_view text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Whole numbers as they are; a decimal number rounds half to even, as the
// callers' integer conversion always did. Independent of the C locale.
int32_t ToInt32(const std::string& text) {
  std::string_view digits = TrimBlanks(text);
  double number = 0;
  auto [end, status] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (status == std::errc::invalid_argument || end != digits.data() + digits.size())
    throw std::invalid_argument("'" + text + "' is not a number");
  number = std::nearbyint(number);
  if (status == std::errc::result_out_of_range || !(number >= std::numeric_limits<int32_t>::min() &&
                                                    number <= std::numeric_limits<int32_t>::max()))
    throw std::out_of_range("'" + text + "' does not fit in 32 bits");
  return static_cast<int32_t>(number);
}

}  // namespace

bool rdoResultset::IsEOF() const { return current_ >= rows_.size(); }

void rdoResultset::MoveNext() {
  if (!IsEOF()) ++current_;
}

void rdoResultset::MoveFirst() { current_ = 0; }

void rdoResultset::MoveLast() { current_ = rows_.empty() ? 0 : rows_.size() - 1; }

long rdoResultset::RowCount() const { return static_cast<long>(rows_.size()); }

size_t rdoResultset::Index(const std::string& column) const {
  for (size_t i = 0; i < names_.size(); ++i)
    if (EqualsIgnoreCase(names_[i], column)) return i;
  throw std::out_of_range("The result has no column '" + column + "'.");
}

std::optional<std::string> rdoResultset::Value(const std::string& column) const {
  size_t index = Index(column);
  if (IsEOF()) throw std::out_of_range("There is no current row.");
  return rows_[current_][index];
}

std::string rdoResultset::Text(const std::string& column) const {
  return Value(column).value_or("");
}

int32_t rdoResultset::Int(const std::string& column) const {
  std::optional<std::string> value = Value(column);
  return value ? ToInt32(*value) : 0;
}

void rdoResultset::Close() noexcept {
  names_.clear();
  rows_.clear();
  current_ = 0;
}

}  // namespace corvanty::rdo
