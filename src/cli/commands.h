#pragma once
// The corvanty commands. Each takes the words after its name and returns
// the exit code; results go to standard output, messages to standard error.
#include <string>
#include <vector>

namespace corvanty::cli {

using Words = std::vector<std::string>;

struct Command {
  const char* name;
  const char* usage;
  const char* summary;
  int (*run)(const Words& words);
};

const std::vector<Command>& Commands();

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

// Loads saved connection --connection N (default 1) as the active one;
// false, with a message, when there is none.
bool LoadConnectionOption(long number);

}  // namespace corvanty::cli
