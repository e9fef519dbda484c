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
  size_t size = data.size();
  if (type == REG_SZ) {
    status = key.Query(value_name, type, data, size);
    if (status == ERROR_SUCCESS && size > 0) {
      // The stored size counts the terminator: keep the characters before it.
      value = std::string(data.begin(), data.begin() + static_cast<long>(size - 1));
    } else {
      value = RegValue{};
    }
    return status;
  }
  if (type == REG_DWORD) {
    status = key.Query(value_name, type, data, size);
    if (status == ERROR_SUCCESS && data.size() == sizeof(int32_t)) {
      int32_t number = 0;
      std::memcpy(&number, data.data(), sizeof number);
      value = number;
    }
    return status;
  }
  return -1;
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
  if (value_type == REG_SZ) {
    std::string text = RegValueToString(value);
    std::vector<unsigned char> data(text.begin(), text.end());
    data.push_back('\0');
    return key.Set(value_name, REG_SZ, data);
  }
  if (value_type == REG_DWORD) {
    int32_t number = RegValueToInt(value);
    std::vector<unsigned char> data(sizeof number);
    std::memcpy(data.data(), &number, sizeof number);
    return key.Set(value_name, REG_DWORD, data);
  }
  return ERROR_SUCCESS;
}

}  // namespace VelmorastineAPI
}  // namespace corvanty
