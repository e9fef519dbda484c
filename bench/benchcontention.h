// SPDX-License-Identifier: Apache-2.0
#pragma once
// Four writers and two searchers at once on one database for a while, each
// a process of its own as applications are, waiting up to 2 s for a lock as
// the demo's data source does: the writes committed, those that failed on
// a lock still held after the wait, and the searches made.
#include <string>

namespace corvanty::bench {

struct ContentionCount {
  long commits = 0;
  long busy = 0;
  long searches = 0;
};

// The writers update random customers' names, each write its own
// transaction; the searchers run search, a SELECT, again and again.
ContentionCount Contend(const std::string& database_file, const std::string& search,
                        double seconds);

}  // namespace corvanty::bench
