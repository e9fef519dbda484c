// SPDX-License-Identifier: Apache-2.0
#pragma once
// The corvanty commands. Each takes the words after its name and returns
// the exit code; results go to standard output, messages to standard error.
#include <optional>
#include <string>
#include <vector>

#include "connections/rdo.h"
#include "connections/session.h"

namespace corvanty::cli {

using Words = std::vector<std::string>;

struct Command {
  const char* name;
  const char* usage;
  const char* summary;
  int (*run)(const Words& words);
};

const std::vector<Command>& Commands();

// The usage of the command named, as the command table and --help give it.
std::string UsageOf(const std::string& name);

int Connections(const Words& words);
int AddConnection(const Words& words);
int RemoveConnection(const Words& words);
int Check(const Words& words);
int Demo(const Words& words);
int Guides(const Words& words);
int Sql(const Words& words);
int Search(const Words& words);
int ProcedureText(const Words& words);
int TableScript(const Words& words);
int Index(const Words& words);
int DeleteGuideCommand(const Words& words);

int DemoScript(const Words& words);
int DemoPostgres(const Words& words);

// The number of the saved connection to data source dsn in list (the saved
// data source names, element 0 unused), saving one with the login when there
// is none.
long DemoConnection(const std::vector<std::string>& list, const std::string& dsn,
                    const std::string& uid, const std::string& pwd);

// Readies a new demo database through data source dsn as a connection to it
// would, defines the sample guides in it and names them on standard output.
int AddSampleGuides(const std::string& dsn, const std::string& uid, const std::string& pwd);

// Names on standard error each search index of the connection's database
// left incomplete by hand, with the command that repairs it; true when
// there is any.
bool ReportRemnants(rdo::SqlSession& connection);

// The saved connection a command works on: the data source its messages
// name, and the one session every step of the command shares.
struct CommandSession {
  std::string dsn;
  Session session;
};

// Saved connection --connection N (default 1); nullopt, with a message, when
// there is none.
std::optional<CommandSession> SavedConnectionOption(long number);

}  // namespace corvanty::cli
