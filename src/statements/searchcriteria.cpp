// SPDX-License-Identifier: Apache-2.0
#include "statements/searchcriteria.h"

#include "statements/sqlliteral.h"
#include "statements/tsqltext.h"

namespace corvanty {
namespace {

// The phrase that starts right after an opening double quote: up to the next
// double quote, or the rest of the text when no quote closes it.
std::string_view PhraseAt(std::string_view afterOpeningQuote) {
  return afterOpeningQuote.substr(0, afterOpeningQuote.find('"'));
}

bool HasQuote(std::string_view text) { return text.find('"') != std::string_view::npos; }

}  // namespace

SearchCriteria::SearchCriteria(std::string_view criteria)
    : text_(tsql::Left(criteria, kMaxLength)) {
  if (const size_t openingQuote = tsql::CharIndex(text_, '"')) ReadPhrases(openingQuote);
}

// Follows the search procedure's phrase loop step by step, positions counted in
// characters, so that odd criteria give the procedure's patterns. Where the
// procedure failed, this ends instead: a rest without a double quote holds no
// further phrase (the procedure looped forever there, or on an empty rest),
// an AND or OR with no quoted phrase after it adds nothing, and an opening
// quote without a closing one takes the rest of the text as its phrase.
void SearchCriteria::ReadPhrases(size_t openingQuote) {
  std::string_view rest = text_;
  size_t skip = openingQuote;  // characters to drop from the rest: through a quote
  phrases_.push_back(
      {Connector::None, std::string(tsql::LTrim(PhraseAt(tsql::SkipChars(rest, skip))))});
  for (;;) {
    rest = tsql::Trim(tsql::SkipChars(rest, skip));
    if (!HasQuote(rest)) break;
    // Past the quote that closes the phrase just taken.
    skip = tsql::CharIndex(rest, '"');
    rest = tsql::Trim(tsql::SkipChars(rest, skip));
    // Any word beginning with AND counts; OR only with a blank after it (or
    // alone, as the server pads the shorter text with blanks).
    const std::string_view word = tsql::Left(rest, 3);
    const Connector connector = tsql::Equals(word, "AND")   ? Connector::And
                                : tsql::Equals(word, "OR ") ? Connector::Or
                                                            : Connector::None;
    // Without one, the next round drops as many characters again, now from
    // the shortened rest: the procedure's arithmetic, kept for its results.
    if (connector == Connector::None) continue;
    // To the opening quote of the joined phrase; with none, nothing is joined
    // and the next round ends the loop.
    skip = tsql::CharIndex(rest, '"');
    if (skip > 0)
      phrases_.push_back({connector, std::string(PhraseAt(tsql::SkipChars(rest, skip)))});
  }
  // The finished pattern is trimmed: only the last phrase can end in blanks.
  phrases_.back().text = std::string(tsql::RTrim(phrases_.back().text));
  // A lone phrase of one character or none is not used: the text as typed,
  // quotes and all, is the pattern.
  if (phrases_.size() == 1 && tsql::CharLength(phrases_.front().text) <= 1) phrases_.clear();
}

std::string SearchCriteria::LikePattern(std::string_view valueExpression, std::string_view like,
                                        std::string_view afterPattern) const {
  if (phrases_.empty()) return QuoteApostrophes(text_);
  std::string pattern = QuoteApostrophes(phrases_.front().text);
  for (size_t i = 1; i < phrases_.size(); ++i) {
    pattern += "%'";
    pattern += afterPattern;
    pattern += phrases_[i].connector == Connector::And ? " AND " : " OR ";
    pattern += valueExpression;
    pattern += " ";
    pattern += like;
    pattern += " '%";
    pattern += QuoteApostrophes(phrases_[i].text);
  }
  return pattern;
}

std::vector<std::vector<std::string>> SearchCriteria::PatternAlternatives() const {
  if (phrases_.empty()) return {{text_}};
  std::vector<std::vector<std::string>> alternatives;
  for (const Phrase& phrase : phrases_) {
    if (phrase.connector != Connector::And) alternatives.emplace_back();
    alternatives.back().push_back(phrase.text);
  }
  return alternatives;
}

}  // namespace corvanty
