// libFuzzer target: arbitrary criteria and separators must neither crash the
// search statement generator nor leave a string literal open.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "generatorfuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  if (const std::optional<std::string> statement = corvanty::fuzz::UnbalancedStatement(input)) {
    std::fprintf(stderr, "unbalanced apostrophes in: %s\n", statement->c_str());
    std::abort();
  }
  return 0;
}
