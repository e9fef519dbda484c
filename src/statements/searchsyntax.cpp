// SPDX-License-Identifier: Apache-2.0
#include "statements/searchsyntax.h"

#include <cctype>
#include <optional>
#include <vector>

#include "statements/sqltokens.h"
#include "statements/tsqltext.h"

namespace corvanty {
namespace {

// A byte of a name: a word character, or any byte of a non-ASCII character
// (names may hold letters of any script on every server), so that CONVERT
// or varchar within a longer name is never taken for the word itself.
bool IsNameByte(char c) { return IsWordChar(c) || static_cast<unsigned char>(c) >= 0x80; }

// Reads T-SQL text from a position, skipping blanks between tokens.
class Reader {
 public:
  Reader(std::string_view text, size_t at) : text_(text), at_(at) {}
  size_t Position() const { return at_; }

  bool Take(char c) {
    SkipBlanks();
    if (at_ >= text_.size() || text_[at_] != c) return false;
    ++at_;
    return true;
  }

  bool TakeWord(std::string_view word) {
    SkipBlanks();
    if (!IsKeyword(text_.substr(at_, word.size()), word)) return false;
    if (at_ + word.size() < text_.size() && IsNameByte(text_[at_ + word.size()])) return false;
    at_ += word.size();
    return true;
  }

  std::optional<int> TakeNumber() {
    SkipBlanks();
    size_t end = at_;
    while (end < text_.size() && end - at_ < 6 &&
           std::isdigit(static_cast<unsigned char>(text_[end])))
      ++end;
    if (end == at_) return std::nullopt;
    const int number = std::stoi(std::string(text_.substr(at_, end - at_)));
    at_ = end;
    return number;
  }

  // The text up to the comma or the parenthesis that ends the argument
  // starting here (at this level of parentheses), which it then takes;
  // nothing when the text ends first. Says which of the two ended it.
  std::optional<std::pair<std::string_view, char>> TakeArgument() {
    int depth = 0;
    for (size_t i = at_; i < text_.size(); ++i) {
      const size_t spanEnd = QuotedSpanEnd(text_, i);
      if (spanEnd != i) {
        i = spanEnd - 1;
        continue;
      }
      if (text_[i] == '(') ++depth;
      if ((text_[i] == ')' && depth-- == 0) || (text_[i] == ',' && depth == 0)) {
        const std::string_view argument = text_.substr(at_, i - at_);
        at_ = i + 1;
        return std::make_pair(argument, text_[i]);
      }
    }
    return std::nullopt;
  }

 private:
  void SkipBlanks() {
    while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
  }

  std::string_view text_;
  size_t at_;
};

// varchar without a length is 30 characters long on the server.
constexpr int kDefaultVarcharLength = 30;

// A CONVERT(varchar[(N)], x[, style]) starting at `at`, translated, and the
// position after it; nothing when the text there is not one. Throws
// UntranslatableExpression for a style it has no translation for.
std::optional<std::pair<std::string, size_t>> TranslateConvertAt(std::string_view text, size_t at,
                                                                 const ServerDialect& server);

std::string TranslateConverts(std::string_view text, const ServerDialect& server) {
  std::string translated;
  translated.reserve(text.size() + 16);
  for (size_t i = 0; i < text.size();) {
    const size_t spanEnd = QuotedSpanEnd(text, i);
    if (spanEnd != i) {
      translated += text.substr(i, spanEnd - i);
      i = spanEnd;
      continue;
    }
    const bool wordStart = IsWordChar(text[i]) && (i == 0 || !IsNameByte(text[i - 1]));
    if (wordStart) {
      if (auto convert = TranslateConvertAt(text, i, server)) {
        translated += convert->first;
        i = convert->second;
        continue;
      }
    }
    translated += text[i++];
  }
  return translated;
}

std::optional<std::pair<std::string, size_t>> TranslateConvertAt(std::string_view text, size_t at,
                                                                 const ServerDialect& server) {
  Reader reader(text, at);
  if (!reader.TakeWord("CONVERT") || !reader.Take('(') || !reader.TakeWord("varchar"))
    return std::nullopt;
  std::optional<int> length;
  if (reader.Take('(')) {
    length = reader.TakeNumber();
    if (!length || !reader.Take(')')) return std::nullopt;
  }
  if (!reader.Take(',')) return std::nullopt;
  const auto argument = reader.TakeArgument();
  if (!argument) return std::nullopt;
  // The argument may hold conversions of its own.
  const std::string inner = TranslateConverts(tsql::Trim(argument->first), server);
  const int cut = length.value_or(kDefaultVarcharLength);
  if (argument->second == ')')
    return std::make_pair(server.ConvertToText(inner, cut), reader.Position());

  const std::optional<int> style = reader.TakeNumber();
  const std::optional<std::string> date =
      style ? server.Translation()->DateInStyle(inner, *style, cut) : std::nullopt;
  if (!date || !reader.Take(')')) {
    // Named whole in the refusal: up to its closing parenthesis.
    std::optional<std::pair<std::string_view, char>> rest;
    while ((rest = reader.TakeArgument()) && rest->second == ',') continue;
    const size_t end = rest ? reader.Position() : text.size();
    throw UntranslatableExpression(std::string(text.substr(at, end - at)), server);
  }
  return std::make_pair(*date, reader.Position());
}

std::string ConcatenationOperators(std::string_view fragment) {
  std::string translated;
  for (size_t i = 0; i < fragment.size();) {
    const size_t spanEnd = QuotedSpanEnd(fragment, i);
    if (spanEnd != i) {
      translated += fragment.substr(i, spanEnd - i);
      i = spanEnd;
    } else {
      translated += fragment[i] == '+' ? std::string_view("||") : fragment.substr(i, 1);
      ++i;
    }
  }
  return translated;
}

// The pieces of text between its + operators outside literals and
// parentheses.
std::vector<std::string_view> TopLevelPieces(std::string_view text) {
  std::vector<std::string_view> pieces;
  size_t start = 0;
  int depth = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const size_t spanEnd = QuotedSpanEnd(text, i);
    if (spanEnd != i) {
      i = spanEnd - 1;
      continue;
    }
    if (text[i] == '(') ++depth;
    if (text[i] == ')') --depth;
    if (text[i] == '+' && depth == 0) {
      pieces.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  pieces.push_back(text.substr(start));
  return pieces;
}

// A conversion expression yields text, so a + between its top-level pieces
// joins text: that is ||, and each piece is wrapped so that a NULL adds
// nothing, as on SQL Server searched with CONCAT_NULL_YIELDS_NULL OFF.
std::string TextConcatenation(const std::string& expression, const ServerDialect& server) {
  const std::vector<std::string_view> pieces = TopLevelPieces(expression);
  if (pieces.size() < 2) return expression;
  std::string joined;
  for (std::string_view piece : pieces) {
    const std::string trimmed(tsql::Trim(piece));
    if (trimmed.empty()) return expression;  // a sign, not a join: leave it
    joined += (joined.empty() ? "" : "||") + server.ShownValue(trimmed);
  }
  return joined;
}

}  // namespace

UntranslatableExpression::UntranslatableExpression(const std::string& expression,
                                                   const ServerDialect& server)
    : std::runtime_error(expression + " converts with a style that has no " + server.ServerName() +
                         " translation (there are translations for the styles 101, 103, 112, 120 "
                         "and 121)") {}

std::string ValueExpression(std::string_view storedExpression, const ServerDialect& server) {
  if (!server.Translation()) return std::string(storedExpression);
  return TextConcatenation(TranslateConverts(storedExpression, server), server);
}

std::string ListSeparator(std::string_view storedFragment, const ServerDialect& server) {
  if (!server.Translation()) return std::string(storedFragment);
  return ConcatenationOperators(TranslateConverts(storedFragment, server));
}

}  // namespace corvanty
