// SPDX-License-Identifier: Apache-2.0
#pragma once
// The sample guides the demo database comes with, so that a newcomer can
// test a guide at once and open it in the editors to see how it is made.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "connections/rdo.h"

namespace corvanty::demo {

// The statements the sample guides are defined with, sent on one
// connection inside one transaction that the caller opens and commits.
class GuideStatements {
 public:
  virtual ~GuideStatements() = default;
  virtual void Execute(const std::string& sql) = 0;
  // The first column of the first row, read as a number; nullopt for none.
  virtual std::optional<int64_t> Number(const std::string& sql) = 0;
};

// The statements on one ODBC connection.
class ConnectionGuideStatements : public GuideStatements {
 public:
  explicit ConnectionGuideStatements(rdo::rdoConnection& connection) : connection_(connection) {}
  void Execute(const std::string& sql) override { connection_.Execute(sql); }
  std::optional<int64_t> Number(const std::string& sql) override;

 private:
  rdo::rdoConnection& connection_;
};

// What a definition did to each sample guide, by name.
struct SampleGuidesOutcome {
  std::vector<std::string> defined;    // new
  std::vector<std::string> kept;       // already there with tables and columns
  std::vector<std::string> completed;  // there without its tables or columns row
};

// Defines the sample guides in a database whose guide tables exist. A guide
// of the same name that has its tables row and columns is kept as it is
// (the administrator may have changed it); one that lacks them gets the
// sample's. Throws what the statements throw.
SampleGuidesOutcome DefineSampleGuides(GuideStatements& db, rdo::Dialect dialect);

// Why the database's sample guides are not whole ("it lacks the sample
// guide 'X'", "the sample guide 'X' has no columns"); "" when they are.
std::string SampleGuidesProblem(GuideStatements& db);

}  // namespace corvanty::demo
