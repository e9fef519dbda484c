// SPDX-License-Identifier: Apache-2.0
// The error every failing database call throws: no ODBC here, so the SQLite
// search extension compiles it as the core does.
#include <string>
#include <utility>
#include <vector>

#include "connections/rdo.h"

namespace corvanty::rdo {
namespace {

std::string JoinDescriptions(const std::vector<rdoError>& errors) {
  std::string text;
  for (const rdoError& error : errors) {
    if (!text.empty()) text += '\n';
    text += error.Description;
  }
  return text.empty() ? "The database call failed." : text;
}

}  // namespace

DatabaseError::DatabaseError(std::vector<rdoError> errors)
    : std::runtime_error(JoinDescriptions(errors)), errors_(std::move(errors)) {}

}  // namespace corvanty::rdo
