// SPDX-License-Identifier: Apache-2.0
// corvanty: the command line for scripting and headless use.
#include <iostream>

#include "cli/cliargs.h"
#include "cli/commands.h"
#include "cli/helptext.h"
#include "connections/registrystore.h"
#include "ui/msgbox.h"
#include "ui/utf8text.h"

namespace corvanty::cli {
namespace {

int Run(int argc, char** argv) {
  Words words(argv + 1, argv + argc);
  bool answer_yes = false;
  // Global options come before the command.
  size_t at = 0;
  for (; at < words.size() && words[at].rfind("--", 0) == 0; ++at) {
    if (words[at] == "--help") {
      PrintProgramHelp(std::cout);
      return kExitOk;
    } else if (words[at] == "--version") {
      std::cout << "corvanty " CORVANTY_VERSION "\n";
      return kExitOk;
    } else if (words[at] == "--yes") {
      answer_yes = true;
    } else if (words[at] == "--registry" && at + 1 < words.size()) {
      SetRegistryPathOverride(words[++at]);
    } else {
      std::cerr << "corvanty: unknown or incomplete option " << words[at] << "\n";
      return kExitUsage;
    }
  }
  if (at == words.size()) {
    PrintProgramHelp(std::cerr);  // a usage error: nothing on standard output
    return kExitUsage;
  }
  SetPrompter(std::make_shared<ConsolePrompter>(answer_yes));
  for (const Command& command : Commands()) {
    if (words[at] != command.name) continue;
    Words rest(words.begin() + static_cast<long>(at) + 1, words.end());
    for (const std::string& word : rest) {
      if (word == "--") break;
      if (word == "--help") {
        PrintCommandHelp(std::cout, command);
        return kExitOk;
      }
    }
    try {
      return command.run(rest);
    } catch (const UsageError& error) {
      std::cerr << "corvanty " << command.name << ": " << ShownText(error.what(), true) << "\n";
      return kExitUsage;
    } catch (const std::exception& error) {
      std::cerr << "corvanty " << command.name << ": " << ShownText(error.what(), true) << "\n";
      return kExitFailure;
    }
  }
  std::cerr << "corvanty: unknown command " << words[at] << " (see corvanty --help)\n";
  return kExitUsage;
}

}  // namespace
}  // namespace corvanty::cli

int main(int argc, char** argv) { return corvanty::cli::Run(argc, argv); }
