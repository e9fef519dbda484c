// SPDX-License-Identifier: Apache-2.0
#include "bench/benchcontention.h"

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <stdexcept>
#include <vector>

namespace corvanty::bench {
namespace {

constexpr int kWriters = 4, kSearchers = 2, kLockWaitMs = 2000;

// One process's work until the deadline; its counts.
ContentionCount Work(const std::string& file, const std::string& search, bool writer, unsigned seed,
                     std::chrono::steady_clock::time_point deadline) {
  sqlite3* db = nullptr;
  ContentionCount count;
  if (sqlite3_open(file.c_str(), &db) != SQLITE_OK) return count;
  sqlite3_busy_timeout(db, kLockWaitMs);
  const char* update = "UPDATE customers SET company_name = ?1 WHERE customer_id = ?2";
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(db, writer ? update : search.c_str(), -1, &statement, nullptr);
  sqlite3_stmt* customers = nullptr;
  sqlite3_prepare_v2(db, "SELECT max(customer_id) FROM customers", -1, &customers, nullptr);
  sqlite3_step(customers);
  std::uniform_int_distribution<long long> customer(1, sqlite3_column_int64(customers, 0));
  sqlite3_finalize(customers);
  std::mt19937 rng(seed);
  for (long i = 0; std::chrono::steady_clock::now() < deadline; ++i) {
    int rc;
    if (writer) {
      const std::string name = "Contended " + std::to_string(seed) + "-" + std::to_string(i);
      sqlite3_bind_text(statement, 1, name.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_int64(statement, 2, customer(rng));
    }
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) sqlite3_column_text(statement, 0);
    sqlite3_reset(statement);
    if (rc == SQLITE_BUSY)
      ++count.busy;
    else if (rc == SQLITE_DONE)
      ++(writer ? count.commits : count.searches);
  }
  sqlite3_finalize(statement);
  sqlite3_close(db);
  return count;
}

}  // namespace

ContentionCount Contend(const std::string& database_file, const std::string& search,
                        double seconds) {
  const auto deadline = std::chrono::steady_clock::now() +
                        std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                            std::chrono::duration<double>(seconds));
  int counts[2];
  if (pipe(counts) != 0) throw std::runtime_error("no pipe for the contention's counts");
  std::vector<pid_t> children;
  for (int i = 0; i < kWriters + kSearchers; ++i) {
    const pid_t pid = fork();
    if (pid == 0) {
      close(counts[0]);
      const ContentionCount count =
          Work(database_file, search, i < kWriters, static_cast<unsigned>(i + 1), deadline);
      const std::string line = std::to_string(count.commits) + " " + std::to_string(count.busy) +
                               " " + std::to_string(count.searches) + "\n";
      _exit(write(counts[1], line.c_str(), line.size()) == static_cast<ssize_t>(line.size()) ? 0
                                                                                             : 1);
    }
    children.push_back(pid);
  }
  close(counts[1]);
  ContentionCount total;
  FILE* lines = fdopen(counts[0], "r");
  for (long commits, busy, searches;
       std::fscanf(lines, "%ld %ld %ld", &commits, &busy, &searches) == 3;) {
    total.commits += commits;
    total.busy += busy;
    total.searches += searches;
  }
  std::fclose(lines);
  for (pid_t pid : children) waitpid(pid, nullptr, 0);
  return total;
}

}  // namespace corvanty::bench
