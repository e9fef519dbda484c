// SPDX-License-Identifier: Apache-2.0
#include "connections/sqlerrorreport.h"

#include "ui/msgbox.h"

namespace corvanty {

const ErrorReportMarks kTablesExistMarks{"[[", "]] ", true};
const ErrorReportMarks kEngineInstallMarks{" [[", "]] ", false};
const ErrorReportMarks kTableBuildMarks{"[[", "]]", false};
const ErrorReportMarks kSyntaxCheckMarks{" [[", "]] ", false};

std::string SqlErrorReport(const std::vector<rdo::rdoError>& errors,
                           const ErrorReportMarks& marks) {
  std::string text;
  for (const rdo::rdoError& error : errors) {
    if (error.SQLRetcode == -1) text += marks.opening + error.Description + marks.closing;
    if (marks.report_missing_database && error.Number == 911)
      text += "[[The DSN supplied points to a database that does not exist.]] ";
  }
  return text;
}

std::string DialogErrorText(const std::exception& error) {
  if (auto database = dynamic_cast<const rdo::DatabaseError*>(&error)) {
    std::string text = SqlErrorReport(database->Errors(), kTableBuildMarks);
    if (!text.empty()) return text;
  }
  return error.what();
}

void ReportDialogError(const std::exception& error) {
  MsgBox(DialogErrorText(error), vbOKOnly + vbExclamation);
}

}  // namespace corvanty
