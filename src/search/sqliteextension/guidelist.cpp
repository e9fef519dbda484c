// SPDX-License-Identifier: Apache-2.0
#include "search/sqliteextension/guidelist.h"

#include <limits>

#include "search/searchengine.h"

namespace corvanty {

std::vector<int32_t> ParseGuideList(const std::string& text) {
  std::vector<int32_t> ids;
  size_t start = 0;
  while (true) {
    const size_t comma = text.find(',', start);
    const std::string item = text.substr(start, comma == std::string::npos ? comma : comma - start);
    const size_t first = item.find_first_not_of(' ');
    const size_t end = item.find_last_not_of(' ') + 1;
    int64_t number = 0;
    bool whole = first != std::string::npos;
    for (size_t i = first; whole && i < end; ++i) {
      whole = item[i] >= '0' && item[i] <= '9';
      number = number * 10 + (item[i] - '0');
      whole = whole && number <= std::numeric_limits<int32_t>::max();
    }
    if (!whole)
      ThrowSearchError("The Database Search Guide list '" + text +
                       "' is not whole numbers separated by commas.");
    ids.push_back(static_cast<int32_t>(number));
    if (comma == std::string::npos) return ids;
    start = comma + 1;
  }
}

}  // namespace corvanty
