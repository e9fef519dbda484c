// SPDX-License-Identifier: Apache-2.0
#include "guides/testsearch.h"

#include "connections/sqlerrorreport.h"

namespace corvanty {

namespace {
std::string TrimmedOfBlanks(const std::string& text) {
  size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}
}  // namespace

TestSearchOutcome RunTestSearch(VelmorastineSearch::Corvanty& control,
                                const std::atomic<bool>& cancelled) {
  TestSearchOutcome outcome;
  try {
    control.RunSearch();
    outcome.found = !control.EndOfResults();
    while (!control.EndOfResults() && !cancelled.load()) {
      outcome.text += TrimmedOfBlanks(control.ResultText()) + "\r\n";
      control.NextResult();
    }
  } catch (const std::exception& error) {
    outcome.error = DialogErrorText(error);
  }
  return outcome;
}

}  // namespace corvanty
