// SPDX-License-Identifier: Apache-2.0
#include "cli/helptext.h"

#include <utility>
#include <vector>

namespace corvanty::cli {
namespace {

// A value's placeholder in a usage: NAME, HOST|SOCKET_FOLDER.
bool IsPlaceholder(const std::string& word) {
  return word.find_first_of("abcdefghijklmnopqrstuvwxyz[") == std::string::npos;
}

// The words of text; a bracketed group, and an option with its placeholder
// ("--user NAME"), count as one word.
std::vector<std::string> WordsOf(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  int depth = 0;
  const auto end_word = [&] {
    if (word.empty()) return;
    if (!words.empty() && words.back().rfind("--", 0) == 0 && IsPlaceholder(word))
      words.back() += " " + word;
    else
      words.push_back(word);
    word.clear();
  };
  for (char c : text) {
    if (c == ' ' && depth == 0) {
      end_word();
      continue;
    }
    depth += (c == '[') - (c == ']');
    word += c;
  }
  end_word();
  return words;
}

// The program's own options: {the option, what it does}.
const std::pair<const char*, const char*> kOptions[] = {
    {"--registry FILE",
     "keep the saved connections in FILE for this run (by default $CORVANTY_REGISTRY, else "
     "$XDG_CONFIG_HOME/corvanty/registry.db, else ~/.config/corvanty/registry.db)"},
    {"--yes", "answer Yes to the questions a command asks (without it, each is answered No)"},
    {"--help", "print this help and exit (COMMAND --help: the command's help)"},
    {"--version", "print the version and exit"},
};
constexpr size_t kOptionColumn = 19;

const char kCommandOptions[] =
    "The commands that work on a database take --connection N: the saved connection\n"
    "to use (see connections), by default 1.\n";

const char kExitCodes[] = "Exit codes: 0 success, 1 a reported failure, 2 a usage error.\n";

}  // namespace

std::string Wrapped(const std::string& lead, const std::string& text, size_t indent) {
  std::string out = lead;
  size_t column = lead.size();
  bool line_empty = true;
  for (const std::string& word : WordsOf(text)) {
    if (!line_empty && column + 1 + word.size() > kHelpWidth) {
      out += "\n" + std::string(indent, ' ');
      column = indent;
      line_empty = true;
    }
    if (!line_empty) {
      out += ' ';
      ++column;
    }
    out += word;
    column += word.size();
    line_empty = false;
  }
  return out + "\n";
}

void PrintProgramHelp(std::ostream& out) {
  out << "Usage: corvanty [--registry FILE] [--yes] COMMAND [ARGUMENT...]\n\n"
      << Wrapped("",
                 "The command line for Database Search Guides: saved connections, the "
                 "readiness check, guides, searches, statement texts and the demo.",
                 0)
      << "\n"
      << "Options:\n";
  for (const auto& [option, does] : kOptions) {
    std::string lead = std::string("  ") + option;
    lead.resize(kOptionColumn, ' ');
    out << Wrapped(lead, does, kOptionColumn);
  }
  out << "\nCommands:\n";
  for (const Command& command : Commands())
    out << Wrapped("  ", command.usage, 4) << Wrapped("      ", command.summary, 6);
  out << "\n" << kCommandOptions << kExitCodes;
}

void PrintCommandHelp(std::ostream& out, const Command& command) {
  const std::string lead = "Usage: corvanty ";
  out << Wrapped(lead, command.usage, lead.size() + std::string(command.name).size() + 1) << "\n"
      << Wrapped("", command.summary, 0);
}

}  // namespace corvanty::cli
