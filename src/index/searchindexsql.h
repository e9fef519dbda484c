// SPDX-License-Identifier: Apache-2.0
#pragma once
// The statement texts of a guide's search index on SQLite. The index of
// guide N is the FTS5 table Db_Search_Index_N (trigram tokenizer, keeping a
// copy of the texts it indexes, so that an entry can be taken out again):
// one row per row id of the guide's candidate table (one table of its FROM
// clause), one column per search column holding that column's values on the
// guide's rows with that row id, one per line. Triggers Db_Search_Index_N_...
// on the tables the guide's rows are read from keep it exact in the
// writer's own transaction, noting the row ids whose entries may be out of
// date in its pending list Db_Search_Index_N_pending and merging them in
// batches (see searchindexupkeep.h); those on a table it cannot keep up to
// date with, and on the guide's own rows in the guide tables, mark it stale
// in Db_Search_Index_State at the first change.
#include <cstdint>
#include <string>
#include <vector>

#include "index/indexmatch.h"

namespace corvanty {

inline constexpr char kSearchIndexPrefix[] = "Db_Search_Index_";
inline constexpr char kSearchIndexStateTable[] = "Db_Search_Index_State";

// One row per guide with an index. Is_fresh turns 0 at the first change the
// index does not show; Schema_version is SQLite's schema version the index
// was built (or kept valid) under. Schema_signature is the stored SQL of the
// index, its triggers, and the tables they watch with their indexes (a new
// unique index changes what a write may replace), when it was built: under
// another schema version the index stays valid while they are unchanged.
// It is empty when any schema change may invalidate the index: its row ids
// are not a table's INTEGER PRIMARY KEY (VACUUM may renumber them), or it
// reads a view. Unkept_tables names the tables whose changes mark it stale,
// ", " between them. Fill_statement is the statement that filled it: a
// search uses it only with the guide definition that gives the same
// statement. Side_parts names the parts kept on the rows of other tables
// (see SidePart), one a line; Side_fills holds the statements that filled
// them, compared alike.
inline constexpr char kCreateSearchIndexStateTable[] =
    "CREATE TABLE IF NOT EXISTS Db_Search_Index_State ("
    "DSG_ID int NOT NULL PRIMARY KEY, "
    "Is_fresh int NOT NULL, "
    "Candidate_qualifier varchar(50) NOT NULL, "
    "Row_count int NOT NULL, "
    "Schema_version int NOT NULL, "
    "Fill_statement text NOT NULL, "
    "Schema_signature text NOT NULL DEFAULT '', "
    "Unkept_tables text NOT NULL DEFAULT '', "
    "Side_parts text NOT NULL DEFAULT '', "
    "Side_fills text NOT NULL DEFAULT '')";

// The columns an earlier state table lacks, as ALTER TABLE adds them.
inline constexpr const char* kStateColumnsAdded[] = {
    "Schema_signature text NOT NULL DEFAULT ''", "Unkept_tables text NOT NULL DEFAULT ''",
    "Side_parts text NOT NULL DEFAULT ''", "Side_fills text NOT NULL DEFAULT ''"};

inline constexpr char kSchemaVersionQuery[] =
    "SELECT schema_version AS Version FROM pragma_schema_version";

std::string SearchIndexTable(int32_t guide);

// The guide's pending list: the candidate row ids whose entries may be out
// of date (see searchindexupkeep.h).
std::string PendingTable(int32_t guide);
std::string CreatePendingTable(int32_t guide);

// The FTS5 table with one column per search column (c1, c2, ...).
std::string CreateSearchIndexTable(int32_t guide, size_t search_columns);

// Fills the index from the guide's rows (FROM and own WHERE), grouped by the
// candidate table's row id, with the search columns' value expressions.
std::string FillSearchIndex(int32_t guide, const std::string& rows,
                            const std::string& candidate_qualifier,
                            const std::vector<std::string>& searched_values);

// The three triggers (insert, update, delete) on one table the guide's rows
// are read from, the table-th such table.
std::vector<std::string> WatchTable(int32_t guide, size_t table, const std::string& table_name);

// The same on a guide table (Db_Search_Guide_Tables or _Cols), for the
// guide's own rows only.
std::vector<std::string> WatchGuideRows(int32_t guide, const std::string& guide_table);

// The names of the guide's triggers, to drop them: those of sqlite_master
// that begin with this.
std::string SearchIndexTriggerPrefix(int32_t guide);

// The columns of the index: rowid, c1, c2, ...
std::string IndexColumns(size_t search_columns);

// A query giving the guide's schema signature (see Db_Search_Index_State).
std::string SchemaSignatureQuery(int32_t guide);

// Whether the schema is still the one the guide's index was built under, as
// far as the index is concerned: a condition on its Db_Search_Index_State
// row.
std::string SchemaUnchanged(int32_t guide);

// The names a guide's statement may look tables and views up by, lower
// case, each once: every word of its rows and its searched values.
std::vector<std::string> NamesLookedUp(const std::string& rows,
                                       const std::vector<std::string>& values);

// The tables and views (schema, name) in schemas of the connection other
// than main that are named as one the guide's statement may read: one of
// names, or a table whose changes its index follows. A temporary one is
// read in place of main's; an attached one is not what the index was built
// from either.
std::string HidingTablesQuery(int32_t guide, const std::vector<std::string>& names);

// Whether the guide's index may serve, read as the statement using it runs:
// it is fresh (false also once the index is gone), and no table named in
// names or followed by its triggers is hidden (see HidingTablesQuery).
std::string FreshCondition(int32_t guide, const std::vector<std::string>& names);

// The condition the guide's indexed statement adds: the candidate table's
// row id is among those the index gives for the FTS5 query, or pending.
std::string CandidateCondition(int32_t guide, const std::string& candidate_qualifier,
                               const std::string& match_query);

// A part of a guide's index kept on the rows of a table other than the
// candidate table: the searched values of one qualifier that read that
// table's row alone (a customer's name once, not once in the entry of each
// of the customer's orders). Side k of guide N is the FTS5 table
// Db_Search_Index_N_sidek, one entry per row id of the table, whatever the
// guide's rows, with its own pending list; the guide's own entries hold NULL
// for those values.
struct SidePart {
  std::string table;              // in main
  std::string qualifier;          // as the guide's FROM clause names it
  std::vector<size_t> positions;  // of the guide's searched values, from 0
};

std::string SidePartTable(int32_t guide, size_t side);  // side from 1
std::string SidePendingTable(int32_t guide, size_t side);
std::string CreateSidePart(int32_t guide, size_t side, size_t search_columns);
std::string CreateSidePendingTable(int32_t guide, size_t side);

// Fills the side part from every row of its table; values: all the guide's
// searched values.
std::string FillSidePart(int32_t guide, size_t side, const SidePart& part,
                         const std::vector<std::string>& values);

// The values the guide's own entries hold: NULL where a side part holds it.
std::vector<std::string> OwnValues(std::vector<std::string> values,
                                   const std::vector<SidePart>& sides);

// The side parts as Side_parts keeps them, and read back; no table or
// qualifier of a side part holds a tab or a line break.
std::string SidePartsText(const std::vector<SidePart>& sides);
std::vector<SidePart> SidePartsOf(const std::string& text);
std::string SideFills(int32_t guide, const std::vector<SidePart>& sides,
                      const std::vector<std::string>& values);

// The guide's rows and searched values, its candidate table's qualifier and
// its side parts, as its indexed statement narrows them.
struct IndexLayout {
  std::string rows;
  std::string candidate_qualifier;
  std::vector<std::string> values;
  std::vector<SidePart> sides;
};

// CandidateCondition for an index with side parts. A row meets an
// alternative of the criteria when one of its searched values holds every
// text of it: a value of its own entry, or of the entry of a side part's row
// it is made with, unless that entry is pending. So the candidates are
// those its own entries give, with those of the guide's rows whose side rows'
// entries meet the query, or whose pending side rows' values hold the texts
// now (read by LIKE, as the statement reads them).
std::string CandidateCondition(int32_t guide, const IndexLayout& layout, const IndexMatch& match);

}  // namespace corvanty
