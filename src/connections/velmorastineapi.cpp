// SPDX-License-Identifier: Apache-2.0
#include "connections/velmorastineapi.h"

#include <cstring>
#include <vector>

namespace corvanty {

std::string RegValueToString(const RegValue& value) {
  if (auto text = std::get_if<std::string>(&value)) return *text;
  if (auto number = std::get_if<int32_t>(&value)) return std::to_string(*number);
  return "";
}

namespace {
int32_t RegValueToInt(const RegValue& value) {
  if (auto number = std::get_if<int32_t>(&value)) return *number;
  if (auto text = std::get_if<std::string>(&value)) {
    try {
      return static_cast<int32_t>(std::stol(*text));
    } catch (...) {
      return 0;
    }
  }
  return 0;
}
}  // namespace

RegValue DecodeRegValue(const StoredValue& stored) {
  const std::vector<unsigned char>& data = stored.data;
  if (stored.type == REG_SZ && !data.empty()) return std::string(data.begin(), data.end() - 1);
  if (stored.type == REG_DWORD && data.size() == sizeof(int32_t)) {
    int32_t number = 0;
    std::memcpy(&number, data.data(), sizeof number);
    return number;
  }
  return RegValue{};
}

StoredValue EncodeRegValue(int32_t type, const RegValue& value) {
  StoredValue stored{type, {}};
  if (type == REG_SZ) {
    std::string text = RegValueToString(value);
    stored.data.assign(text.begin(), text.end());
    stored.data.push_back('\0');
  } else if (type == REG_DWORD) {
    int32_t number = RegValueToInt(value);
    stored.data.resize(sizeof number);
    std::memcpy(stored.data.data(), &number, sizeof number);
  }
  return stored;
}

namespace VelmorastineAPI {

RegValue QueryValue(const std::string& key_path, const std::string& value_name) {
  RegistryKey key;
  RegistryKey::Open(HKEY_LOCAL_MACHINE, key_path, key);
  RegValue value;
  QueryValueEx(key, value_name, value);
  return value;
}

int32_t QueryValueEx(const RegistryKey& key, const std::string& value_name, RegValue& value) {
  int32_t type = 0;
  std::vector<unsigned char> data;
  // First ask for the type and size only, as the platform is asked.
  int32_t status = key.Query(value_name, type, data, 0);
  if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) return status;
  if (type != REG_SZ && type != REG_DWORD) return -1;
  status = key.Query(value_name, type, data, data.size());
  RegValue read = status == ERROR_SUCCESS ? DecodeRegValue({type, data}) : RegValue{};
  // A string that cannot be read becomes empty; an integer stays untouched.
  if (type == REG_SZ || !std::holds_alternative<std::monostate>(read)) value = read;
  return status;
}

bool CreateNewKey(const std::string& key_path, int32_t root_key) {
  RegistryKey key;
  return RegistryKey::Create(root_key, key_path, key) == ERROR_SUCCESS;
}

bool SetKeyValue(const std::string& key_path, const std::string& value_name, const RegValue& value,
                 int32_t value_type) {
  RegistryKey key;
  if (RegistryKey::Open(HKEY_LOCAL_MACHINE, key_path, key) != ERROR_SUCCESS) return false;
  return SetValueEx(key, value_name, value_type, value) == ERROR_SUCCESS &&
         (value_type == REG_SZ || value_type == REG_DWORD);
}

int32_t SetValueEx(RegistryKey& key, const std::string& value_name, int32_t value_type,
                   const RegValue& value) {
  if (value_type != REG_SZ && value_type != REG_DWORD) return ERROR_SUCCESS;
  StoredValue stored = EncodeRegValue(value_type, value);
  return key.Set(value_name, stored.type, stored.data);
}

}  // namespace VelmorastineAPI
}  // namespace corvanty
