// SPDX-License-Identifier: Apache-2.0
#pragma once
// The stored connect string read back into its three values, so that they
// reach the driver manager as values: no text inside them can add a
// setting that changes which driver or database is opened.
#include <optional>
#include <string>

namespace corvanty {

struct ConnectValues {
  std::string dsn;
  std::optional<std::string> uid;  // absent when the string names none
  std::optional<std::string> pwd;
};

// Reads "DSN=…;UID=…;PWD=…;" as the connection store writes it: keywords
// in any case, each at most once, UID and PWD optional, a value in braces
// with "}}" standing for "}". nullopt for anything else (another keyword, a
// brace left open): such a string is refused, never passed on.
std::optional<ConnectValues> ParseConnectString(const std::string& connect);

}  // namespace corvanty
