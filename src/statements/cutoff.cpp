// SPDX-License-Identifier: Apache-2.0
#include "statements/cutoff.h"

#include <cctype>

namespace corvanty {
namespace {

// A quoted span: where it ends (one past its closing quote) and whether a
// closing quote was found before the text ended.
struct Span {
  size_t opening = 0;  // the length of its opening quote
  size_t end = 0;
  bool closed = false;
};

// Characters that continue a PostgreSQL identifier, keyword or number: an E
// or a $ after one of them starts no string. (After a digit the server
// would start a dollar quote, but a number followed by a string is no valid
// SQL, so reading it as unquoted only refuses more.)
bool ContinuesPostgresWord(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' ||
         static_cast<unsigned char>(c) >= 0x80;
}

bool StartsPostgresTag(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) || c == '_' ||
         static_cast<unsigned char>(c) >= 0x80;
}

// A span closed by `close`, in which a doubled `close` stands for one and,
// when backslash_escapes, a backslash takes the character after it.
Span Delimited(std::string_view text, size_t at, size_t body, char close, bool backslash_escapes) {
  for (size_t i = body; i < text.size(); ++i) {
    if (backslash_escapes && text[i] == '\\') {
      ++i;
    } else if (text[i] == close) {
      if (i + 1 < text.size() && text[i + 1] == close) {
        ++i;
        continue;
      }
      return {body - at, i + 1, true};
    }
  }
  return {body - at, text.size(), false};
}

// The dollar-quote delimiter ($$ or $tag$) starting at `at`, or "" when
// there is none (a $1 parameter, a $ inside a word).
std::string_view DollarTag(std::string_view text, size_t at) {
  if (text[at] != '$' || (at > 0 && ContinuesPostgresWord(text[at - 1]))) return {};
  size_t i = at + 1;
  if (i < text.size() && StartsPostgresTag(text[i]))
    while (i < text.size() && (ContinuesPostgresWord(text[i]) && text[i] != '$')) ++i;
  if (i < text.size() && text[i] == '$') return text.substr(at, i + 1 - at);
  return {};
}

// The span of quoted text starting at `at` as PostgreSQL reads it (with
// standard_conforming_strings on, which the tool sets); nullopt when none
// starts there.
std::optional<Span> PostgresSpan(std::string_view text, size_t at) {
  const char c = text[at];
  if (c == '\'') return Delimited(text, at, at + 1, '\'', false);
  if (c == '"') return Delimited(text, at, at + 1, '"', false);
  if ((c == 'E' || c == 'e') && at + 1 < text.size() && text[at + 1] == '\'' &&
      (at == 0 || !ContinuesPostgresWord(text[at - 1])))
    return Delimited(text, at, at + 2, '\'', true);
  if (const std::string_view tag = DollarTag(text, at); !tag.empty()) {
    const size_t close = text.find(tag, at + tag.size());
    if (close == std::string_view::npos) return Span{tag.size(), text.size(), false};
    return Span{tag.size(), close + tag.size(), true};
  }
  return std::nullopt;
}

// The same as SQL Server and SQLite read it: apostrophes, double quotes and
// brackets.
std::optional<Span> BracketingSpan(std::string_view text, size_t at) {
  const char c = text[at];
  if (c != '\'' && c != '"' && c != '[') return std::nullopt;
  return Delimited(text, at, at + 1, c == '[' ? ']' : c, false);
}

}  // namespace

std::optional<CutOff> FirstCutOff(std::string_view sql, rdo::Dialect dialect) {
  for (size_t i = 0; i < sql.size();) {
    const std::optional<Span> span =
        dialect == rdo::Dialect::PostgreSql ? PostgresSpan(sql, i) : BracketingSpan(sql, i);
    if (span) {
      if (!span->closed) return CutOff{i, std::string(sql.substr(i, span->opening)), true};
      i = span->end;
      continue;
    }
    const std::string_view two = sql.substr(i, 2);
    if (sql[i] == ';') return CutOff{i, ";", false};
    if (two == "--" || two == "/*") return CutOff{i, std::string(two), false};
    ++i;
  }
  return std::nullopt;
}

}  // namespace corvanty
