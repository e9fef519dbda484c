// SPDX-License-Identifier: Apache-2.0
#pragma once
// The SQLite file behind the registry: opening it (owner-only), its tables
// of keys and values, and failures that name the file and their cause.
#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "connections/sqlitedatabase.h"

namespace corvanty {

// The registry file cannot be read or written; what() names the file and
// the cause, as the administrator is to be told.
class RegistryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct StoredValue {
  int32_t type = 0;
  std::vector<unsigned char> data;
};

class RegistryFile {
 public:
  // Opens the store at RegistryPath(): read-write when its owner may write
  // it, else read-only. A missing file is created owner-only when create is
  // set; otherwise the result is not open and reads as an empty store.
  // Throws RegistryError for a file that is a folder, cannot be opened, is
  // not a database or holds no registry.
  static RegistryFile Open(bool create);

  RegistryFile() = default;

  bool IsOpen() const { return db_.has_value(); }
  bool IsWritable() const { return writable_; }
  const std::string& Path() const { return path_; }

  // A read transaction: everything read until EndRead sees one state.
  void BeginRead();
  void EndRead() noexcept;
  // The write transaction: owner-only permissions first, then the file's
  // write lock (waiting a few seconds for other writers), then the tables.
  void BeginWrite();
  void Commit();
  void Rollback() noexcept;

  // Row operations; each throws RegistryError when SQLite refuses.
  bool KeyExists(int32_t root, const std::string& path) const;
  std::optional<StoredValue> Query(int32_t root, const std::string& path,
                                   const std::string& name) const;
  // The named value of each direct subkey of path that has one, by the
  // subkey's own name.
  std::map<std::string, StoredValue> QuerySubkeys(int32_t root, const std::string& path,
                                                  const std::string& name) const;
  void CreateKey(int32_t root, const std::string& path);  // with every parent
  void Set(int32_t root, const std::string& path, const std::string& name,
           const StoredValue& value);
  void DeleteKey(int32_t root, const std::string& path);  // its values and subkeys too

  // "The registry FILE cannot be <verb>: <cause>."
  [[noreturn]] void Fail(const char* verb, const std::string& cause) const;

 private:
  // Runs work, turning SQLite's failure into Fail(verb, its cause).
  template <typename Work>
  void Sqlite(const char* verb, Work&& work) const;
  bool HasTables() const;

  std::optional<sqlite::Database> db_;
  bool writable_ = false;
  bool tables_ = false;  // the store's tables exist (an empty new file has none)
  const char* verb_ = "read";
  std::string path_;
};

}  // namespace corvanty
