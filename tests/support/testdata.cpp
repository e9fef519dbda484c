// SPDX-License-Identifier: Apache-2.0
#include "support/testdata.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace corvanty::testing {

std::string TestData(const std::string& relative) {
  const std::string path = std::string(CORVANTY_TEST_DATA_DIR) + "/" + relative;
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("cannot read test data " + path);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace corvanty::testing
