// SPDX-License-Identifier: Apache-2.0
// libFuzzer target: arbitrary criteria and separators must neither crash the
// search statement generator nor produce a statement that is not exactly the
// one search it is meant to be.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "generatorfuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  if (const std::optional<std::string> fault = corvanty::fuzz::FaultyStatement(input)) {
    std::fprintf(stderr, "%s\n", fault->c_str());
    std::abort();
  }
  return 0;
}
