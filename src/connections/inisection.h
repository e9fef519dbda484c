// SPDX-License-Identifier: Apache-2.0
#pragma once
// One section of an ini file (such as odbc.ini) replaced in its text, with
// every byte outside that section kept as it was.
#include <string>
#include <utility>
#include <vector>

namespace corvanty {

using IniSettings = std::vector<std::pair<std::string, std::string>>;

// "[name]\nkey=value\n..." in the order given.
std::string IniSectionText(const std::string& name, const IniSettings& settings);

// content with the section called name (its header line up to the next
// header line; names compared without regard to ASCII case, as the driver
// manager reads them) replaced by section, or section appended after a
// blank line when there is none.
std::string WithIniSection(const std::string& content, const std::string& name,
                           const std::string& section);

// Why a value cannot be written into an ini file as the driver manager
// reads it back ("holds a line break", ...); "" when it can.
std::string IniValueProblem(const std::string& value);

}  // namespace corvanty
