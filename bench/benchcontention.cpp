// SPDX-License-Identifier: Apache-2.0
#include "bench/benchcontention.h"

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <stdexcept>
#include <vector>

#include "connections/sqlitedatabase.h"

namespace corvanty::bench {
namespace {

constexpr int kWriters = 4, kSearchers = 2;

long long LastCustomer(const sqlite::Database& db) {
  // Its own scope: a statement left on its row would hold its read
  // transaction open, and the process's writes would fail on the lock.
  sqlite::Statement customers = db.Prepare("SELECT max(customer_id) FROM customers");
  customers.Step();
  return customers.Int64(0);
}

// One process's work until the deadline; its counts.
ContentionCount Work(const std::string& file, const std::string& search, bool writer, unsigned seed,
                     std::chrono::steady_clock::time_point deadline) {
  ContentionCount count;
  try {
    sqlite::Database db(file, sqlite::Database::Mode::kReadWrite);
    db.WaitForLocks(sqlite::kLockWaitMs);
    const char* update = "UPDATE customers SET company_name = ?1 WHERE customer_id = ?2";
    sqlite::Statement statement = db.Prepare(writer ? update : search);
    std::uniform_int_distribution<long long> customer(1, LastCustomer(db));
    std::mt19937 rng(seed);
    for (long i = 0; std::chrono::steady_clock::now() < deadline; ++i) {
      try {
        if (writer)
          statement.Bind("Contended " + std::to_string(seed) + "-" + std::to_string(i))
              .Bind(customer(rng));
        while (statement.Step()) statement.TextView(0);
        ++(writer ? count.commits : count.searches);
      } catch (const sqlite::Error& error) {
        if (error.IsLocked()) ++count.busy;
      }
      statement.Reset();
    }
  } catch (const sqlite::Error&) {
    // A file that cannot be opened or read counts nothing.
  }
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
