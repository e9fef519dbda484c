// SPDX-License-Identifier: Apache-2.0
#pragma once
// One transaction of the registry store. A reading one sees one state of the
// store, whatever other processes write meanwhile. A writing one holds the
// store's write lock from its start, so what it reads stays true until it
// commits, and its writes appear together or not at all.
#include <optional>
#include <string>

#include "connections/registryfile.h"

namespace corvanty {

class RegistryTransaction {
 public:
  enum class Mode { Read, Write };

  // Throws RegistryError naming the file and the cause, also when another
  // process keeps the store locked longer than a few seconds. Reading a
  // store that does not exist yet reads nothing and creates nothing.
  explicit RegistryTransaction(Mode mode);
  ~RegistryTransaction();  // a write never committed is rolled back
  RegistryTransaction(const RegistryTransaction&) = delete;
  RegistryTransaction& operator=(const RegistryTransaction&) = delete;

  std::optional<StoredValue> Query(int32_t root, const std::string& path,
                                   const std::string& name) const {
    return file_.Query(root, path, name);
  }
  std::map<std::string, StoredValue> QuerySubkeys(int32_t root, const std::string& path,
                                                  const std::string& name) const {
    return file_.QuerySubkeys(root, path, name);
  }
  void CreateKey(int32_t root, const std::string& path) { file_.CreateKey(root, path); }
  void Set(int32_t root, const std::string& path, const std::string& name,
           const StoredValue& value) {
    file_.Set(root, path, name, value);
  }
  void DeleteKey(int32_t root, const std::string& path) { file_.DeleteKey(root, path); }
  void Commit();

  // Abandons the write: "The registry FILE cannot be written: <cause>."
  [[noreturn]] void FailWrite(const std::string& cause) const { file_.Fail("written", cause); }

 private:
  RegistryFile file_;
  Mode mode_;
  bool ended_ = false;
};

}  // namespace corvanty
