// SPDX-License-Identifier: Apache-2.0
// Commands that print the statement texts the tool carries.
#include <iostream>

#include "cli/cliargs.h"
#include "cli/commands.h"
#include "cli/guidearguments.h"
#include "connections/serverdialect.h"
#include "schema/proceduretext.h"
#include "schema/searchguidetables.h"

namespace corvanty::cli {

int ProcedureText(const Words& words) {
  Args args(words, {}, {});
  args.ExpectPositional(0, 0, UsageOf("procedure-text"));
  std::cout << SearchProcedureText();
  return kExitOk;
}

int TableScript(const Words& words) {
  Args args(words, {"--dialect"}, {});
  args.ExpectPositional(1, 1, UsageOf("table-script"));
  const rdo::Dialect dialect = DialectOption(args.Value("--dialect", "mssql"));
  const std::string& name = args.Positional()[0];
  if (!SqlServerTableScript(name)) throw UsageError("unknown guide table " + name);
  const ServerDialect& server = ForDialect(dialect);
  const std::vector<std::string> statements = *GuideTableStatements(name, server);
  if (server.RunsBatches()) {
    std::cout << statements.front();
  } else {
    for (const std::string& statement : statements) std::cout << statement << ";\n";
  }
  return kExitOk;
}

}  // namespace corvanty::cli
