// SPDX-License-Identifier: Apache-2.0
#include "connections/registrystore.h"

#include <cstdlib>

namespace corvanty {

namespace {

std::string& PathOverride() {
  static std::string path;
  return path;
}

}  // namespace

std::string RegistryPath() {
  if (!PathOverride().empty()) return PathOverride();
  if (const char* env = std::getenv("CORVANTY_REGISTRY"); env && *env) return env;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
    return std::string(xdg) + "/corvanty/registry.db";
  const char* home = std::getenv("HOME");
  return std::string(home ? home : ".") + "/.config/corvanty/registry.db";
}

void SetRegistryPathOverride(const std::string& path) { PathOverride() = path; }

void RegistryKey::Close() noexcept { file_ = RegistryFile(); }

// The keys keep the platform's status codes: a store that cannot be read or
// written is access denied, whatever the cause.
int32_t RegistryKey::OpenKey(bool create, int32_t root, const std::string& path, RegistryKey& key) {
  key.Close();
  try {
    RegistryFile file = RegistryFile::Open(create);
    if (!file.IsOpen()) return ERROR_FILE_NOT_FOUND;
    if (!file.KeyExists(root, path)) {
      if (!create) return ERROR_FILE_NOT_FOUND;
      file.BeginWrite();
      file.CreateKey(root, path);
      file.Commit();
    }
    key.file_ = std::move(file);
  } catch (const RegistryError&) {
    return ERROR_ACCESS_DENIED;
  }
  key.root_ = root;
  key.path_ = path;
  return ERROR_SUCCESS;
}

int32_t RegistryKey::Open(int32_t root, const std::string& path, RegistryKey& key) {
  return OpenKey(false, root, path, key);
}

int32_t RegistryKey::Create(int32_t root, const std::string& path, RegistryKey& key) {
  return OpenKey(true, root, path, key);
}

int32_t RegistryKey::Query(const std::string& name, int32_t& type, std::vector<unsigned char>& data,
                           size_t max_size) const {
  if (!IsOpen()) return ERROR_INVALID_HANDLE;
  std::optional<StoredValue> value;
  try {
    value = file_.Query(root_, path_, name);
  } catch (const RegistryError&) {
    return ERROR_REGISTRY_IO_FAILED;
  }
  if (!value) return ERROR_FILE_NOT_FOUND;
  type = value->type;
  data = std::move(value->data);
  return data.size() > max_size ? ERROR_MORE_DATA : ERROR_SUCCESS;
}

int32_t RegistryKey::Set(const std::string& name, int32_t type,
                         const std::vector<unsigned char>& data) {
  if (!IsOpen()) return ERROR_INVALID_HANDLE;
  if (!file_.IsWritable()) return ERROR_ACCESS_DENIED;
  try {
    file_.BeginWrite();
    file_.Set(root_, path_, name, {type, data});
    file_.Commit();
  } catch (const RegistryError&) {
    file_.Rollback();
    return ERROR_REGISTRY_IO_FAILED;
  }
  return ERROR_SUCCESS;
}

}  // namespace corvanty
