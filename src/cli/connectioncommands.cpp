// SPDX-License-Identifier: Apache-2.0
// Commands about saved connections, the readiness check and the demo.
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <limits>

#include "cli/cliargs.h"
#include "cli/commands.h"
#include "cli/searchextensionpath.h"
#include "connections/connectionstore.h"
#include "connections/datasourcecheck.h"
#include "connections/filelock.h"
#include "connections/inisection.h"
#include "connections/odbcdatasource.h"
#include "connections/rdo.h"
#include "connections/serverdialect.h"
#include "connections/sqlerrorreport.h"
#include "demo/demodatabase.h"
#include "demo/demoguides.h"
#include "schema/guidetablewriters.h"
#include "schema/readiness.h"
#include "schema/searchservicestate.h"
#include "ui/msgbox.h"
#include "ui/utf8text.h"

namespace corvanty::cli {

using namespace basCorvantyAdmin;

namespace {

constexpr long kMaxConnection = std::numeric_limits<int16_t>::max();

// Passes boxes on to the console and remembers that one was shown: the
// readiness check speaks only when something went wrong.
class CountingPrompter : public Prompter {
 public:
  explicit CountingPrompter(std::shared_ptr<Prompter> inner) : inner_(std::move(inner)) {}
  int Ask(const MessageBoxRequest& request) override {
    ++shown;
    return inner_->Ask(request);
  }
  int shown = 0;

 private:
  std::shared_ptr<Prompter> inner_;
};

// "Heading: 'A' 'B'" on its own line; nothing when there are no names.
void PrintGuides(const char* heading, const std::vector<std::string>& names) {
  if (names.empty()) return;
  std::cout << heading;
  for (const std::string& name : names) std::cout << " '" << name << "'";
  std::cout << '\n';
}

std::string DemoFolder() {
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data)
    return std::string(data) + "/corvanty";
  const char* home = std::getenv("HOME");
  return std::string(home ? home : ".") + "/.local/share/corvanty";
}

}  // namespace

long DemoConnection(const std::vector<std::string>& list, const std::string& dsn,
                    const std::string& uid, const std::string& pwd) {
  for (size_t number = 1; number < list.size(); ++number)
    if (list[number] == dsn) return static_cast<long>(number);
  return SaveNewConnection(dsn, uid, pwd);
}

std::optional<CommandSession> SavedConnectionOption(long number) {
  if (std::optional<SavedConnection> saved = ReadConnection(static_cast<int16_t>(number)))
    return CommandSession{saved->dsn, Session(saved->Connect())};
  std::cerr << kNoActiveConnectionMessage << " There is no saved connection " << number
            << " (see corvanty connections, corvanty add-connection).\n";
  return std::nullopt;
}

int Connections(const Words& words) {
  Args args(words, {}, {});
  args.ExpectPositional(0, 0, UsageOf("connections"));
  for (const ListedConnection& connection : ListConnectionsWithLogins())
    std::cout << connection.number << '\t' << ShownText(connection.dsn) << '\t'
              << ShownText(connection.uid) << '\n';
  return kExitOk;
}

int AddConnection(const Words& words) {
  Args args(words, {}, {});
  args.ExpectPositional(2, 3, UsageOf("add-connection"));
  const auto& p = args.Positional();
  if (p[0].empty() || p[1].empty()) throw UsageError("DSN and UID must not be empty");
  if (std::string problem = rdo::DataSourceNameProblem(p[0]); !problem.empty()) {
    std::cerr << ShownText(problem, true) << '\n';
    return kExitFailure;
  }
  std::cout << SaveNewConnection(p[0], p[1], p.size() > 2 ? p[2] : "") << '\n';
  return kExitOk;
}

int RemoveConnection(const Words& words) {
  Args args(words, {}, {});
  args.ExpectPositional(1, 1, UsageOf("remove-connection"));
  long number = args.PositionalNumber(0, "N", 1, kMaxConnection);
  std::optional<int16_t> last = basCorvantyAdmin::RemoveConnection(static_cast<int16_t>(number));
  if (!last) {
    std::cerr << "There is no saved connection " << number << ".\n";
    return kExitFailure;
  }
  if (*last == number + 1)
    std::cout << "Connection " << *last << " is now connection " << number << ".\n";
  else if (*last > number + 1)
    std::cout << "Connections " << number + 1 << " to " << *last << " are now " << number << " to "
              << *last - 1 << ".\n";
  return kExitOk;
}

int Check(const Words& words) {
  Args args(words, {"--connection"}, {});
  args.ExpectPositional(0, 0, UsageOf("check"));
  std::optional<CommandSession> saved =
      SavedConnectionOption(args.Number("--connection", 1, 1, kMaxConnection));
  if (!saved) return kExitFailure;
  auto console = SetPrompter(nullptr);
  auto counting = std::make_shared<CountingPrompter>(console);
  SetPrompter(counting);
  bool broken_indexes = false;
  try {
    CheckDatabaseReadiness(saved->session);
    rdo::rdoConnection& connection = saved->session.Connection();
    if (ForDialect(connection.GetDialect()).SearchService() ==
        SearchServiceForm::VersionedFunctions) {
      const SearchServiceState state = ReadSearchServiceState(connection);
      const std::string service = SearchServiceReport(state);
      (service.rfind("Warning: ", 0) == 0 ? std::cerr : std::cout) << service << '\n';
      if (const std::string why = ExtensionNotUsedReason(state); !why.empty())
        std::cout << ExtensionNotUsedNote(state, why) << '\n';
    }
    for (const std::string& warning : GuideTableWriterWarnings(connection))
      std::cerr << warning << '\n';
    broken_indexes = ReportRemnants(connection);
  } catch (const std::exception& error) {
    SetPrompter(console);
    std::cerr << ShownText(DialogErrorText(error), true) << '\n';
    return kExitFailure;
  }
  SetPrompter(console);
  return counting->shown == 0 && !broken_indexes ? kExitOk : kExitFailure;
}

int AddSampleGuides(const std::string& dsn, const std::string& uid, const std::string& pwd) {
  Session session(BuildConnectString(dsn, uid, pwd));
  try {
    CheckDatabaseReadiness(session);
    rdo::rdoConnection& connection = session.Connection();
    demo::ConnectionGuideStatements statements(connection);
    rdo::Transaction transaction = connection.BeginTrans();
    demo::SampleGuidesOutcome outcome =
        demo::DefineSampleGuides(statements, connection.GetDialect());
    transaction.Commit();
    PrintGuides("Sample guides:", outcome.defined);
    PrintGuides("Sample guides kept as they were:", outcome.kept);
    PrintGuides("Sample guides completed (their tables or columns were missing):",
                outcome.completed);
    return kExitOk;
  } catch (const std::exception& error) {
    std::cerr << "The sample guides could not be defined: "
              << ShownText(DialogErrorText(error), true) << '\n';
    return kExitFailure;
  }
}

int Demo(const Words& words) {
  Args args(words, {"--rows", "--dir"}, {});
  args.ExpectPositional(0, 0, UsageOf("demo"));
  long rows = args.Number("--rows", demo::kDefaultDemoRows, demo::kMinDemoRows, demo::kMaxDemoRows);
  std::filesystem::path folder = args.Value("--dir", DemoFolder());
  std::string database = std::filesystem::absolute(folder / "corvanty-demo.db").string();
  // Its path goes into odbc.ini as a value.
  if (std::string problem = IniValueProblem(database); !problem.empty())
    throw UsageError("--dir: the database path " + ShownText(database) + " " + problem +
                     ", and odbc.ini cannot hold it");
  // The registry is read before anything is built: one that cannot be read
  // stops the command with nothing changed.
  std::vector<std::string> list;
  ListConnections(list);
  std::filesystem::create_directories(folder);
  const std::unique_ptr<FileLock> hold = demo::HoldDemoFolder(database);
  // An existing demo may hold the administrator's guides: it is replaced
  // only when the question is answered Yes (--yes).
  bool create = !std::filesystem::exists(database) ||
                MsgBox("The demo database " + database +
                           " exists already. Replace it with a new one? Its guides will be lost.",
                       vbYesNo + vbExclamation) == vbYes;
  if (!create) {
    if (std::string problem = demo::DemoDatabaseProblem(database); !problem.empty()) {
      std::cerr << "The demo database " << database << " cannot be kept: " << problem
                << ". Replace it with corvanty --yes demo.\n";
      return kExitFailure;
    }
  }
  // The data source first: when it cannot be written, no database has been replaced.
  WriteSqliteDataSource("CorvantyDemo", database, SearchExtensionPath());
  std::vector<std::string> guides;
  if (create) guides = demo::CreateDemoDatabase(database, rows);

  const long number = DemoConnection(list, "CorvantyDemo", "demo", "");
  std::cout << "Demo database " << database
            << (create ? " (" + std::to_string(rows) + " order lines)" : " (kept as it was)")
            << '\n'
            << "ODBC data source CorvantyDemo, saved connection " << number << '\n';
  PrintGuides("Sample guides:", guides);
  return kExitOk;
}

}  // namespace corvanty::cli
