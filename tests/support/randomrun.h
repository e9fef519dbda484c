// SPDX-License-Identifier: Apache-2.0
#pragma once
// The seed and size of a random test, from the environment, so that a
// failing run can be repeated and the test command's full run can ask for
// more than the quick default:
//   CORVANTY_TEST_SEED  the seed (default: the test's own fixed one)
//   CORVANTY_TEST_SIZE  criteria of the differential search test (default
//                       300; the full run 1000); every random test scales
//                       its own cases alike
// Each test keeps a RandomRun alive while it runs: every failure it reports
// names the seed and size that repeat it.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>

namespace corvanty::testing {

class RandomRun {
 public:
  explicit RandomRun(unsigned default_seed);
  unsigned Seed() const { return seed_; }
  // A test's count of cases in its full run, scaled to this run's size:
  // at least 1.
  size_t Cases(size_t full) const;

 private:
  unsigned seed_;
  size_t size_;
  ::testing::ScopedTrace trace_;
};

}  // namespace corvanty::testing
