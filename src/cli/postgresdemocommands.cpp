// SPDX-License-Identifier: Apache-2.0
// The demo on a PostgreSQL server: its data as a script for psql, and its
// data source, saved connection, guide tables and sample guides.
#include <cstdint>
#include <iostream>
#include <limits>

#include "cli/cliargs.h"
#include "cli/commands.h"
#include "connections/connectionstore.h"
#include "connections/inisection.h"
#include "connections/odbcdatasource.h"
#include "demo/demopostgresscript.h"
#include "demo/demorows.h"

namespace corvanty::cli {

constexpr char kPostgresDemoDataSource[] = "CorvantyDemoPG";

int DemoScript(const Words& words) {
  Args args(words, {"--rows"}, {});
  args.ExpectPositional(0, 0, UsageOf("demo-script"));
  long rows = args.Number("--rows", demo::kDefaultDemoRows, demo::kMinDemoRows, demo::kMaxDemoRows);
  demo::WritePostgresDemoScript(std::cout, rows);
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "corvanty demo-script: the script could not be written in full.\n";
    return kExitFailure;
  }
  return kExitOk;
}

int DemoPostgres(const Words& words) {
  Args args(words, {"--server", "--port", "--database", "--user", "--password"}, {});
  args.ExpectPositional(0, 0, UsageOf("demo-postgres"));
  const std::string server = args.Value("--server");
  const std::string user = args.Value("--user");
  if (server.empty() || user.empty()) throw UsageError("--server and --user are needed");
  const long port = args.Number("--port", 5432, 1, std::numeric_limits<uint16_t>::max());
  const std::string database = args.Value("--database", "corvanty_demo");
  const std::string password = args.Value("--password");
  // Written into odbc.ini (the login into the saved connection), each must
  // read back as the one value given: a line break would add settings.
  for (const auto& [option, value] :
       {std::pair{"--server", &server}, {"--database", &database}, {"--user", &user}})
    if (std::string problem = IniValueProblem(*value); !problem.empty())
      throw UsageError(std::string(option) + " " + problem);
  // The registry is read before anything is written: one that cannot be
  // read stops the command with nothing changed.
  std::vector<std::string> list;
  basCorvantyAdmin::ListConnections(list);
  WritePostgresDataSource(kPostgresDemoDataSource, {server, std::to_string(port)}, database);
  const long number = DemoConnection(list, kPostgresDemoDataSource, user, password);
  std::cout << "PostgreSQL database " << database << " on " << server << " port " << port << '\n'
            << "ODBC data source " << kPostgresDemoDataSource << ", saved connection " << number
            << '\n';
  return AddSampleGuides(kPostgresDemoDataSource, user, password);
}

}  // namespace corvanty::cli
