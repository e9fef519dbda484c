// Commands that print the statement texts the tool carries.
#include <iostream>

#include "cli/cliargs.h"
#include "cli/commands.h"
#include "engine/proceduretext.h"
#include "engine/searchguidetables.h"

namespace corvanty::cli {

int ProcedureText(const Words& words) {
  Args args(words, {}, {});
  args.ExpectPositional(0, 0, "procedure-text");
  std::cout << SearchProcedureText();
  return kExitOk;
}

int TableScript(const Words& words) {
  Args args(words, {"--dialect"}, {});
  const char* usage = "table-script NAME [--dialect mssql|sqlite]";
  args.ExpectPositional(1, 1, usage);
  std::string dialect = args.Value("--dialect", "mssql");
  const std::string& name = args.Positional()[0];
  if (dialect == "mssql") {
    auto script = SqlServerTableScript(name);
    if (!script) throw UsageError("unknown guide table " + name);
    std::cout << *script;
  } else if (dialect == "sqlite") {
    auto statements = SqliteTableStatements(name);
    if (!statements) throw UsageError("unknown guide table " + name);
    for (const std::string& statement : *statements) std::cout << statement << ";\n";
  } else {
    throw UsageError(std::string("usage: ") + usage);
  }
  return kExitOk;
}

}  // namespace corvanty::cli
