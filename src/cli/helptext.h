// SPDX-License-Identifier: Apache-2.0
#pragma once
// corvanty's help texts, laid out within 80 columns: the program's help
// (usage, options, each command with its usage and what it does) and each
// command's own.
#include <ostream>
#include <string>

#include "cli/commands.h"

namespace corvanty::cli {

inline constexpr size_t kHelpWidth = 80;

// text in lines of at most kHelpWidth columns: the first goes on after lead,
// which is printed first, and the later ones start with indent blanks. A
// bracketed group ("[--format lines|tsv|json]") stays on one line.
std::string Wrapped(const std::string& lead, const std::string& text, size_t indent);

void PrintProgramHelp(std::ostream& out);
void PrintCommandHelp(std::ostream& out, const Command& command);

}  // namespace corvanty::cli
