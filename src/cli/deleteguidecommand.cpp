// SPDX-License-Identifier: Apache-2.0
// The delete-guide command: removes a guide with its rows and its search
// index in one transaction, as File > Delete does.
#include <iostream>

#include "cli/commands.h"
#include "cli/guidearguments.h"
#include "guides/guidestore.h"
#include "search/searchengine.h"
#include "ui/msgbox.h"

namespace corvanty::cli {

int DeleteGuideCommand(const Words& words) {
  Args args(words, {"--connection"}, {"--yes"});
  args.ExpectPositional(1, 1, UsageOf("delete-guide"));
  std::optional<CommandSession> saved = SavedConnectionFrom(args);
  if (!saved) return kExitFailure;
  return ReportingDatabaseErrors(saved->dsn, [&] {
    rdo::rdoConnection& connection = saved->session.Connection();
    const int32_t guide = ResolveGuide(connection, args.Positional()[0]);
    std::optional<std::string> name;
    for (const GuideEntry& entry : ListGuides(connection))
      if (entry.id == guide) name = entry.name;
    const std::string named = "Database Search Guide " + std::to_string(guide);
    // A number without a guide: deleting nothing is not reported as done.
    if (!name) ThrowSearchError("There is no " + named + ".");
    const std::string shown = named + " (" + ShownText(*name) + ")";
    if (!args.Has("--yes") &&
        MsgBox("Delete " + shown + " with its tables, columns and search index?", vbYesNo) !=
            vbYes) {
      std::cerr << "Nothing was deleted.\n";
      return kExitFailure;
    }
    const bool had_index = corvanty::DeleteGuide(connection, guide);
    std::cout << "Deleted " << shown << (had_index ? " and its search index" : "") << ".\n";
    return kExitOk;
  });
}

}  // namespace corvanty::cli
