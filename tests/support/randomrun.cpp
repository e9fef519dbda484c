// SPDX-License-Identifier: Apache-2.0
#include "support/randomrun.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace corvanty::testing {
namespace {

// The size a full run asks for, and the quick default.
constexpr size_t kFullSize = 1000, kQuickSize = 300;

// A whole number from the environment; fallback when unset or empty. A
// value that is no number stops the test rather than run something else.
unsigned long Setting(const char* name, unsigned long fallback) {
  const char* text = std::getenv(name);
  if (!text || !*text) return fallback;
  char* end = nullptr;
  const unsigned long value = std::strtoul(text, &end, 10);
  if (*end != '\0' || *text == '-')
    throw std::invalid_argument(std::string(name) + " is not a whole number: " + text);
  return value;
}

}  // namespace

RandomRun::RandomRun(unsigned default_seed)
    : seed_(static_cast<unsigned>(Setting("CORVANTY_TEST_SEED", default_seed))),
      size_(Setting("CORVANTY_TEST_SIZE", kQuickSize)),
      trace_(__FILE__, __LINE__,
             "repeat with CORVANTY_TEST_SEED=" + std::to_string(seed_) +
                 " CORVANTY_TEST_SIZE=" + std::to_string(size_)) {
  // Said at the start as well, for a run that crashes or hangs.
  std::printf("random run: CORVANTY_TEST_SEED=%u CORVANTY_TEST_SIZE=%zu\n", seed_, size_);
}

size_t RandomRun::Cases(size_t full) const { return std::max<size_t>(1, full * size_ / kFullSize); }

}  // namespace corvanty::testing
