// SPDX-License-Identifier: Apache-2.0
#pragma once
// The user's search text as the search procedure reads it: either plain text,
// matched as it stands, or double-quoted phrases joined by AND or OR. Read
// once per search; each searched column then gets its own LIKE pattern.
#include <string>
#include <string_view>
#include <vector>

namespace corvanty {

class SearchCriteria {
 public:
  // The procedure takes at most 255 characters of search text.
  static constexpr size_t kMaxLength = 255;

  explicit SearchCriteria(std::string_view criteria);

  // What stands between "LIKE '%" and "%'" in the condition on one column,
  // apostrophes doubled. For joined phrases it carries the further LIKE
  // tests on the same value expression: red%' AND expr LIKE '%blue. A server
  // that matches otherwise names its keyword (ILIKE) and what follows each
  // pattern (ESCAPE ''): red%' ESCAPE '' AND expr ILIKE '%blue.
  std::string LikePattern(std::string_view valueExpression, std::string_view like = "LIKE",
                          std::string_view afterPattern = "") const;

  // The same condition as patterns, each standing between '%' and '%' as the
  // server reads it (apostrophes single): alternatives joined by OR, each a
  // list of patterns joined by AND, AND binding first as in SQL.
  std::vector<std::vector<std::string>> PatternAlternatives() const;

 private:
  enum class Connector { None, And, Or };
  struct Phrase {
    Connector connector;  // what joins it to the phrase before (None for the first)
    std::string text;
  };

  void ReadPhrases(size_t openingQuote);

  std::string text_;             // the criteria, cut to kMaxLength characters
  std::vector<Phrase> phrases_;  // empty when the text itself is the pattern
};

}  // namespace corvanty
