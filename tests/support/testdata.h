// SPDX-License-Identifier: Apache-2.0
#pragma once
// Texts transcribed once from their given wording into files under
// tests/data, so that the code's texts are compared with data of their own.
#include <string>

namespace corvanty::testing {

// The bytes of tests/data/<relative>; throws when it cannot be read.
std::string TestData(const std::string& relative);

}  // namespace corvanty::testing
