// SPDX-License-Identifier: Apache-2.0
#include "guides/fromlist.h"

#include <algorithm>

#include "guides/replaceall.h"

namespace corvanty {

using basCorvantyAdmin::ReplaceAll;

namespace {

const char* const kBlanks = " \t\r\n";

std::string Trimmed(const std::string& text) {
  size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string FirstWord(const std::string& item) {
  size_t first = item.find_first_not_of(kBlanks);
  if (first == std::string::npos) return "";
  return item.substr(first, item.find_first_of(kBlanks, first) - first);
}

std::string WithoutLeadingBlanks(const std::string& text) {
  size_t first = text.find_first_not_of(kBlanks);
  return first == std::string::npos ? "" : text.substr(first);
}

}  // namespace

std::string CommaBracketedTables(std::string from_clause) {
  ReplaceAll(from_clause, "FROM ", "");
  std::string list = "," + Trimmed(from_clause + ",");
  ReplaceAll(list, ", ", ",");
  ReplaceAll(list, " , ", ",");
  ReplaceAll(list, " ,", ",");
  return list;
}

bool ListNamesTable(const std::string& bracketed, const std::string& table) {
  return bracketed.find("," + table + ",") != std::string::npos;
}

std::vector<std::string> TablesOfList(const std::string& bracketed) {
  // The text between the first and the last character, split at each comma.
  std::vector<std::string> tables;
  if (bracketed.size() < 3) return tables;
  const size_t end = bracketed.size() - 1;
  for (size_t from = 1; from < end;) {
    size_t comma = std::min(bracketed.find(',', from), end);
    tables.push_back(bracketed.substr(from, comma - from));
    from = comma + 1;
  }
  return tables;
}

std::string FromTextWithTable(const std::string& from_text, const std::string& table) {
  return from_text.empty() ? table : from_text + ", " + table;
}

std::string FromTextWithoutTable(const std::string& from_text, const std::string& table) {
  // Items are the raw texts between commas; one is taken out together with
  // the comma that separates it from its neighbour.
  size_t start = 0;
  while (true) {
    size_t end = from_text.find(',', start);
    size_t item_end = end == std::string::npos ? from_text.size() : end;
    if (FirstWord(from_text.substr(start, item_end - start)) == table) {
      if (end == std::string::npos)  // the last item goes with the comma before it
        return start == 0 ? "" : from_text.substr(0, start - 1);
      std::string rest = from_text.substr(0, start) + from_text.substr(end + 1);
      return start == 0 ? WithoutLeadingBlanks(rest) : rest;
    }
    if (end == std::string::npos) return from_text;
    start = end + 1;
  }
}

}  // namespace corvanty
