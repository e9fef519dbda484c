// SPDX-License-Identifier: Apache-2.0
#pragma once
// The search engine's statement generation: from the definitions of the
// listed guides and the user's search text, one SELECT per guide returning
// ResultList (the result text), IDColumn (the key) and DSG_ID. For SQL Server
// the text is the one the installed search procedure builds; for SQLite and
// PostgreSQL the same statement with its T-SQL pieces translated. Pure: reads nothing but
// its arguments.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "connections/serverdialect.h"
#include "statements/guidedefinition.h"
#include "statements/searchcriteria.h"

namespace corvanty {

inline constexpr char kInvalidGuidesMessage[] = "Error: Database Search Guide ID(s) invalid.";

// What a search of one guide that exists but has no column rows yet says.
std::string NoColumnsYetMessage(const std::string& guide_name);

struct GuideStatement {
  int32_t DSG_ID = 0;
  std::string SQL;    // the SELECT; empty when Error is set
  std::string Error;  // why this guide cannot be searched; empty when it can
};

struct SearchStatements {
  std::string Error;                   // kInvalidGuidesMessage, or empty
  std::vector<GuideStatement> Guides;  // ascending DSG_ID
};

// One entry per listed guide that has column rows (guides without any are
// skipped, a DSG_ID listed twice counts once); when there is none, Error is
// kInvalidGuidesMessage and Guides is empty. A guide without a tables row,
// without a column shown in the result text, or whose clauses or columns
// hold a comment or a ; outside quotes, or a quote they do not close, as the
// dialect's server reads quotes (it would cut off the search conditions and
// find every row, or run a second statement) gets an Error instead of SQL
// and must not be run. Each guide's conditions are on its own search columns.
SearchStatements GenerateSearchStatements(const std::vector<GuideDefinition>& guides,
                                          const SearchCriteria& criteria, rdo::Dialect dialect);

// The guide's SQLite statement for the criteria in two parts joined by
// UNION ALL, of which one finds rows, chosen by the condition fresh (which
// must not depend on the rows searched) as the statement runs. While it
// holds: the rows that meet candidates as well, a condition joined by AND
// after the search conditions (in parentheses also when the guide has no
// WHERE clause of its own); otherwise the plain statement's rows. Every row
// the search conditions find must meet candidates while fresh holds: the
// statement then finds what the plain one finds, candidates only spare it
// reading the others. An Error instead when the guide's FROM clause does not
// begin with FROM or has a RIGHT or FULL join, or the guide's own error.
GuideStatement IndexedStatement(const GuideDefinition& guide, const SearchCriteria& criteria,
                                const std::string& fresh, const std::string& candidates);

// The guide's PostgreSQL statement in the union shape: one branch per search
// column joined by UNION ALL, the k-th finding the rows whose k-th search
// column meets the criteria and no earlier one does, so that each row the
// plain statement finds comes out of exactly one branch. A trigram index on
// a column's searched expression serves its branch, where the plain
// statement's OR across the columns reads every row. An Error instead when
// the guide's WHERE clause has an OR outside parentheses (what is added
// after it binds to its last part only), or the guide's own error.
GuideStatement UnionStatement(const GuideDefinition& guide, const SearchCriteria& criteria);

// The expressions the guide's search columns are matched by, in column
// order, in the dialect. Throws UntranslatableExpression as ValueExpression
// does.
std::vector<std::string> SearchedValues(const GuideDefinition& guide, const ServerDialect& server);
std::vector<std::string> SearchedValues(const GuideDefinition& guide, rdo::Dialect dialect);

// The rows a guide's statement searches: its FROM clause and, when it has a
// condition of its own, its WHERE clause.
std::string GuideRows(const GuideDefinition& guide);

}  // namespace corvanty
