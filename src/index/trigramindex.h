// SPDX-License-Identifier: Apache-2.0
#pragma once
// A guide's search index on PostgreSQL: one trigram GIN index (pg_trgm's
// gin_trgm_ops) per search column, on the table the column's searched
// expression reads, named Db_Search_Index_N_K for guide N's K-th search
// column. The server keeps them up to date with every change, so they are
// never stale; a search of a guide that has them runs in the union shape
// (see UnionStatement), whose branches they serve.
#include <string>
#include <vector>

#include "connections/rdo.h"
#include "statements/guidedefinition.h"

namespace corvanty {

// The tables of a FROM clause by the names its columns are qualified with:
// each alias, and each table's own name, with the table it stands for.
// Subqueries are left out.
std::vector<std::pair<std::string, std::string>> TablesByQualifier(const std::string& from);

// The CREATE INDEX statements of the guide's index, their operator class in
// trigram_schema. Throws SearchIndexRefused when a searched expression does
// not read exactly one table of the guide's FROM clause.
std::vector<std::string> TrigramIndexStatements(const GuideDefinition& guide,
                                                const std::string& trigram_schema);

// Builds the guide's index in one transaction, replacing any it has, and
// adding the extension pg_trgm to the database first when it lacks it. Returns the
// number of indexes built. Throws SearchIndexRefused or rdo::DatabaseError;
// either way the database is left as it was.
size_t BuildTrigramIndex(rdo::rdoConnection& connection, int32_t guide);

// Removes the guide's index; false when it had none.
bool DropTrigramIndex(rdo::rdoConnection& connection, int32_t guide);

// The same inside a transaction the caller holds, such as a guide's deletion.
bool DropTrigramIndexWithin(rdo::rdoConnection& connection, int32_t guide);

// The names of the guide's indexes in the connection's schema, in lower case.
std::vector<std::string> TrigramIndexNames(rdo::SqlSession& connection, int32_t guide);

}  // namespace corvanty
