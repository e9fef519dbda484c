// SPDX-License-Identifier: Apache-2.0
#pragma once
// The demo database on SQLite: a small business schema (suppliers,
// products, customers, orders, order lines) filled with deterministic data,
// with the guide tables and the sample guides.
#include <memory>
#include <string>
#include <vector>

#include "connections/filelock.h"
#include "demo/demorows.h"

namespace corvanty::demo {

// Serialises the demo runs on the database at path for as long as it is
// held (a lock on its folder), and removes the half-built replacements that
// interrupted runs left there. Throws std::runtime_error when the folder
// stays locked or cannot be locked.
std::unique_ptr<FileLock> HoldDemoFolder(const std::string& path);

// Creates (or replaces) the SQLite file, complete with its guide tables and
// sample guides, and returns the sample guides' names. Everything is built
// in a temporary file beside it that is renamed into place once whole, while
// the old database is held locked (a journal a killed writer left is rolled
// back into the old file first), so an interruption at any moment leaves
// either the old database or the whole new one. Throws std::runtime_error.
std::vector<std::string> CreateDemoDatabase(const std::string& path, long rows);

// Why an existing file cannot serve as the demo database ("it is not a
// database", "it lacks the demo table orders", "it lacks the sample guide
// 'X'", "it is locked by another program (waited 2 s)", ...); "" when it can.
std::string DemoDatabaseProblem(const std::string& path);

}  // namespace corvanty::demo
