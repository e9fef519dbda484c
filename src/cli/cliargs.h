// SPDX-License-Identifier: Apache-2.0
#pragma once
// The command line's words: positional arguments, options with a value
// (--name VALUE) and flags (--name).
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace corvanty::cli {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Args {
 public:
  // value_options take a value; flags do not. Anything else starting with
  // "--" is a usage error; after a lone "--" every word is positional.
  Args(const std::vector<std::string>& words, const std::set<std::string>& value_options,
       const std::set<std::string>& flags);

  const std::vector<std::string>& Positional() const { return positional_; }
  bool Has(const std::string& name) const { return options_.count(name) > 0; }
  std::string Value(const std::string& name, const std::string& fallback = "") const;
  // A whole number within [low, high]; UsageError otherwise.
  long Number(const std::string& name, long fallback, long low, long high) const;
  // Positional argument index as such a number; what names it in the error.
  long PositionalNumber(size_t index, const std::string& what, long low, long high) const;
  // Exactly count positional arguments, else UsageError naming the usage.
  void ExpectPositional(size_t low, size_t high, const std::string& usage) const;

 private:
  std::vector<std::string> positional_;
  std::map<std::string, std::string> options_;
};

}  // namespace corvanty::cli
