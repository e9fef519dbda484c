// SPDX-License-Identifier: Apache-2.0
#include "cli/cliargs.h"

namespace corvanty::cli {

Args::Args(const std::vector<std::string>& words, const std::set<std::string>& value_options,
           const std::set<std::string>& flags) {
  bool options_ended = false;
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word == "--" && !options_ended) {
      options_ended = true;  // what follows is taken as it is, "--x" criteria included
    } else if (options_ended || word.rfind("--", 0) != 0) {
      positional_.push_back(word);
    } else if (value_options.count(word)) {
      if (i + 1 >= words.size()) throw UsageError(word + " needs a value");
      options_[word] = words[++i];
    } else if (flags.count(word)) {
      options_[word] = "";
    } else {
      throw UsageError("unknown option " + word);
    }
  }
}

std::string Args::Value(const std::string& name, const std::string& fallback) const {
  auto found = options_.find(name);
  return found == options_.end() ? fallback : found->second;
}

namespace {

// A whole number within [low, high]; UsageError naming what otherwise.
long WholeNumber(const std::string& text, const std::string& what, long low, long high) {
  size_t used = 0;
  long number = 0;
  try {
    number = std::stol(text, &used);
  } catch (...) {
    used = 0;
  }
  if (used == 0 || used != text.size() || number < low || number > high)
    throw UsageError(what + " takes a whole number from " + std::to_string(low) + " to " +
                     std::to_string(high));
  return number;
}

}  // namespace

long Args::Number(const std::string& name, long fallback, long low, long high) const {
  return Has(name) ? WholeNumber(Value(name), name, low, high) : fallback;
}

long Args::PositionalNumber(size_t index, const std::string& what, long low, long high) const {
  return WholeNumber(positional_.at(index), what, low, high);
}

void Args::ExpectPositional(size_t low, size_t high, const std::string& usage) const {
  if (positional_.size() < low || positional_.size() > high) throw UsageError("usage: " + usage);
}

}  // namespace corvanty::cli
