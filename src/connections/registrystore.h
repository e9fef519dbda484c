// SPDX-License-Identifier: Apache-2.0
#pragma once
// The registry the tool keeps its saved connections in: root keys,
// backslash-separated key paths created on demand, and named typed values,
// all held in one SQLite file readable only by its owner (it holds passwords).
#include <cstdint>
#include <string>
#include <vector>

#include "connections/registryfile.h"

namespace corvanty {

constexpr int32_t HKEY_LOCAL_MACHINE = static_cast<int32_t>(0x80000002u);
constexpr int32_t REG_SZ = 1;
constexpr int32_t REG_BINARY = 3;
constexpr int32_t REG_DWORD = 4;

// Status codes as the callers know them from the platform's registry.
constexpr int32_t ERROR_SUCCESS = 0;
constexpr int32_t ERROR_FILE_NOT_FOUND = 2;
constexpr int32_t ERROR_ACCESS_DENIED = 5;
constexpr int32_t ERROR_INVALID_HANDLE = 6;
constexpr int32_t ERROR_MORE_DATA = 234;
constexpr int32_t ERROR_REGISTRY_IO_FAILED = 1016;

// Where the store lives: an explicit override, else $CORVANTY_REGISTRY,
// else $XDG_CONFIG_HOME/corvanty/registry.db, else ~/.config/corvanty/registry.db.
std::string RegistryPath();
void SetRegistryPathOverride(const std::string& path);  // "" removes it

// One open key: a handle onto the store file and a key path.
class RegistryKey {
 public:
  RegistryKey() = default;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  RegistryKey(RegistryKey&& other) noexcept = default;
  RegistryKey& operator=(RegistryKey&& other) noexcept = default;

  // Opens an existing key.
  static int32_t Open(int32_t root, const std::string& path, RegistryKey& key);
  // Opens a key, creating it and its parents when missing.
  static int32_t Create(int32_t root, const std::string& path, RegistryKey& key);

  bool IsOpen() const { return file_.IsOpen(); }
  // Reads a value's type and raw bytes. ERROR_MORE_DATA when the value is
  // longer than max_size (the type and the full size are still reported).
  int32_t Query(const std::string& name, int32_t& type, std::vector<unsigned char>& data,
                size_t max_size = SIZE_MAX) const;
  // Writes a value of any type in one transaction.
  int32_t Set(const std::string& name, int32_t type, const std::vector<unsigned char>& data);
  void Close() noexcept;

 private:
  static int32_t OpenKey(bool create, int32_t root, const std::string& path, RegistryKey& key);
  RegistryFile file_;
  int32_t root_ = 0;
  std::string path_;
};

}  // namespace corvanty
