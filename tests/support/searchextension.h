// SPDX-License-Identifier: Apache-2.0
#pragma once
// A test's own connection to a SQLite file through SQLite's C API, with the
// search extension loaded into it the way any program loads it.
#include <string>
#include <vector>

#include "connections/sqlitedatabase.h"

namespace corvanty::testing {

class ExtensionConnection {
 public:
  explicit ExtensionConnection(const std::string& file);

  // The rows sql returns with ?1, ?2 ... bound to texts, each row's values
  // joined by * (NULL as empty text); after a failure, "error: " and the
  // message.
  std::vector<std::string> Lines(const std::string& sql,
                                 const std::vector<std::string>& texts = {});
  // Runs statements; a failure fails the test.
  void Exec(const std::string& sql);
  // How many times each statement of the connection prepared from sql has
  // run, in the connection's order: the statements the extension keeps.
  std::vector<int> Runs(const std::string& sql);

 private:
  sqlite::Database db_;
};

}  // namespace corvanty::testing
