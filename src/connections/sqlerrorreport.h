// SPDX-License-Identifier: Apache-2.0
#pragma once
// Turns the data layer's error list into one message text: each real
// error's description (return code -1) between the site's opening and
// closing marks, in list order. Informational records are skipped, so an
// empty text means the operation succeeded.
#include <string>
#include <vector>

#include "connections/rdo.h"

namespace corvanty {

struct ErrorReportMarks {
  const char* opening;
  const char* closing;
  // Adds the "database does not exist" text for native error 911.
  bool report_missing_database = false;
};

// The marks of each site that reports database errors.
extern const ErrorReportMarks kTablesExistMarks;    // "[[" "]] " + the 911 rule
extern const ErrorReportMarks kEngineInstallMarks;  // " [[" "]] "
extern const ErrorReportMarks kTableBuildMarks;     // "[[" "]]"
extern const ErrorReportMarks kSyntaxCheckMarks;    // " [[" "]] "

std::string SqlErrorReport(const std::vector<rdo::rdoError>& errors, const ErrorReportMarks& marks);

// The text shown when an error reaches a dialog: a database error's records
// each between "[[" and "]]"; an application error's (or any other) own
// description.
std::string DialogErrorText(const std::exception& error);

// Shows an error that reached a dialog (exclamation, OK only).
void ReportDialogError(const std::exception& error);

}  // namespace corvanty
