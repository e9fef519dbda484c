// SPDX-License-Identifier: Apache-2.0
#pragma once
// The tool's only access to the registry: five procedures that take key
// paths as strings and values as variants, so no caller holds a key.
#include <cstdint>
#include <string>
#include <variant>

#include "connections/registrystore.h"

namespace corvanty {

// Empty (nothing could be read), a string, or a 32-bit integer.
using RegValue = std::variant<std::monostate, std::string, int32_t>;

// The value as the callers convert it: empty reads as "" and as 0.
std::string RegValueToString(const RegValue& value);

// What a stored string (its bytes up to the terminating NUL) or 32-bit
// integer reads as; empty for any other type or malformed data.
RegValue DecodeRegValue(const StoredValue& stored);

// How a string (with a terminating NUL) or 32-bit integer is stored.
StoredValue EncodeRegValue(int32_t type, const RegValue& value);

namespace VelmorastineAPI {

// Reads a value under HKEY_LOCAL_MACHINE; anything missing reads as empty.
RegValue QueryValue(const std::string& key_path, const std::string& value_name);

// Reads one string or 32-bit integer value from an open key. Returns the
// status; -1 for a stored type other than string or integer, with the value
// left untouched.
int32_t QueryValueEx(const RegistryKey& key, const std::string& value_name, RegValue& value);

// Creates the key (or opens an existing one). False when the store could not
// be written.
bool CreateNewKey(const std::string& key_path, int32_t root_key);

// Writes a value under HKEY_LOCAL_MACHINE. False when nothing was written.
bool SetKeyValue(const std::string& key_path, const std::string& value_name, const RegValue& value,
                 int32_t value_type);

// Writes one string (stored with its terminating NUL) or 32-bit integer
// value; other types write nothing and report success, as they always have.
int32_t SetValueEx(RegistryKey& key, const std::string& value_name, int32_t value_type,
                   const RegValue& value);

}  // namespace VelmorastineAPI
}  // namespace corvanty
