// SPDX-License-Identifier: Apache-2.0
#pragma once
// The statement texts of a guide's search index on SQLite. The index of
// guide N is the FTS5 table Db_Search_Index_N (trigram tokenizer, keeping a
// copy of the texts it indexes, so that an entry can be taken out again):
// one row per row id of the guide's candidate table (one table of its FROM
// clause), one column per search column holding that column's values on the
// guide's rows with that row id, one per line, but for the values kept in a
// side part on the rows of the one table they read (see sidepart.h). Triggers
// Db_Search_Index_N_... on the tables the guide's rows are read from keep it
// exact in the writer's own transaction, noting the row ids whose entries
// may be out of date in its pending list Db_Search_Index_N_pending and
// merging them in batches (see searchindexupkeep.h); those on a table it
// cannot keep up to date with, and on the guide's own rows in the guide
// tables, mark it stale in Db_Search_Index_State at the first change.
#include <cstdint>
#include <string>
#include <vector>

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
// statement. Side_parts names the side parts whose entries it reads (see
// SidePart), one a line; Side_fills holds the statements that filled them,
// compared alike.
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

// The same FTS5 table named table; with texts, one that keeps its texts in
// that table (rowid, c1, c2, ...), which its writers keep.
std::string CreateEntries(const std::string& table, size_t search_columns,
                          const std::string& texts = "");

// Once an FTS5 table is filled: its entries merged into one segment, and
// the segments written by later merges merged 8 at a time, not 4, so an
// entry is written again fewer times over a run of writes.
std::vector<std::string> SettleEntries(const std::string& table);

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

// A query giving the guide's schema signature (see Db_Search_Index_State),
// with the objects of the side parts named (see sidepart.h).
std::string SchemaSignatureQuery(int32_t guide, const std::vector<std::string>& parts);

// Whether the schema is still the one the guide's index was built under, as
// far as the index is concerned: a condition on its Db_Search_Index_State
// row.
std::string SchemaUnchanged(int32_t guide, const std::vector<std::string>& parts);

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
std::string FreshCondition(int32_t guide, const std::vector<std::string>& names,
                           const std::vector<std::string>& parts);

// The row ids the guide's own entries give for the FTS5 query, with those
// of its pending list: a SELECT.
std::string OwnCandidates(int32_t guide, const std::string& match_query);

// The condition the guide's indexed statement adds: the candidate table's
// row id is among those the index gives for the FTS5 query, or pending.
std::string CandidateCondition(int32_t guide, const std::string& candidate_qualifier,
                               const std::string& match_query);

}  // namespace corvanty
