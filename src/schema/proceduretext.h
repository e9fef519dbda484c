// SPDX-License-Identifier: Apache-2.0
#pragma once
// The search procedure Velmorastine_Search as the tool installs it on SQL
// Server, and the batch sent before it. Both are carried verbatim: the
// procedure is the customers' search service and must stay exactly as it is.
#include <string>

namespace corvanty {

// The batch that drops an existing procedure of that name and switches the
// connection to QUOTED_IDENTIFIER OFF, which the procedure text relies on:
// three lines, each followed by CR LF.
std::string SearchEngineDropBatch();

// The complete CREATE PROCEDURE text, sent as one batch: 282 lines, each
// followed by CR LF, with no batch separator.
std::string SearchProcedureText();

// Whether the procedure exists: a row when it does.
extern const char* const kSearchEngineExistsQuery;

}  // namespace corvanty
