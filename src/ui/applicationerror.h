// SPDX-License-Identifier: Apache-2.0
#pragma once
// An error the application raises itself, with its number and description,
// such as the readiness check's report of server errors.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace corvanty {

class ApplicationError : public std::runtime_error {
 public:
  ApplicationError(int32_t number, const std::string& description)
      : std::runtime_error(description), number_(number) {}
  int32_t Number() const { return number_; }

 private:
  int32_t number_;
};

}  // namespace corvanty
