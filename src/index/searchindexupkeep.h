// SPDX-License-Identifier: Apache-2.0
#pragma once
// The triggers that keep a guide's search index on SQLite exact under the
// writes to one table its rows are read from, in the writer's own
// transaction, at little cost to the write. A written row takes part in the
// guide's rows of some row ids of the candidate table: the triggers only
// note those row ids in the guide's pending list (Db_Search_Index_N_pending),
// before the write (the row as it was, and the rows the write will replace:
// INSERT or UPDATE OR REPLACE deletes them without firing a delete trigger)
// and after it (the row as it is). A search takes the pending row ids as
// candidates besides those the index gives, so their entries, which may be
// out of date, never decide anything: the statement's own conditions do.
// Once the list holds merge_at rows (a row id noted again counts again),
// the write that finds it so makes their entries again from the rows as
// they are, in one batch, and empties it.
#include <cstdint>
#include <string>
#include <vector>

#include "index/sidepart.h"

namespace corvanty {

// What the index is made of: the guide's rows (FROM and own WHERE), the
// qualifier of its candidate table, its search columns' value expressions.
struct IndexedRows {
  std::string rows;
  std::string candidate_qualifier;
  std::vector<std::string> values;
};

// A table the index keeps up to date with: the qualifiers of its
// occurrences in the guide's FROM clause, which read it all, the columns of
// each of its unique indexes, and the rows (FROM and a WHERE clause) in
// which a row of it takes part, before and after a write, wherever the
// write may change the guide's rows: the guide's own rows, or more of them
// when the table is on the optional side of an outer join (see
// outerjoinrows.h).
struct KeptTable {
  std::string name;
  std::vector<std::string> qualifiers;
  std::vector<std::vector<std::string>> unique_keys;
  std::string rows_written;
  // The columns whose update may change the guide's rows: those the guide's
  // text names, its unique keys' (a REPLACE they meet deletes a row), its
  // primary key and the names of its row id. Empty: any column's.
  std::vector<std::string> columns_read;
  // Of those, the ones whose update may change which rows the guide has,
  // rather than only their texts: those its FROM and WHERE clauses name,
  // its primary key and the names of its row id. Once only others change,
  // the row ids noted before the update are all there is to note.
  std::vector<std::string> columns_joined;
};

// A table with a side part (see SidePart): a write notes its own row ids
// in the part's pending list, and only where it may change the part's value
// or which rows of the table there are.
struct KeptSide {
  SidePart part;
  std::vector<std::vector<std::string>> unique_keys;
  // The columns whose update may change an entry: those the side's values
  // name, with the columns of moving. Empty: any column's.
  std::vector<std::string> columns_read;
  // The columns whose update may move the row to another row id or replace
  // another row: its unique keys', its primary key, the names of its row id.
  std::vector<std::string> columns_moving;
  // Whether the value names each column it reads with its qualifier: a
  // trigger then reads it from NEW, not from the row again.
  bool value_read_from_new = false;
};

// The pending lists' sizes at which a write merges them into the index. A
// guide's own list gives a search each of its row ids as a candidate, whose
// row the search then reads; a side part's list gives one only where a value
// noted with it can match, found by a scan of the list: it may grow longer,
// and the longer it grows, the less each entry made again costs.
inline constexpr long long kMergeAt = 1000;
inline constexpr long long kSideMergeAt = 3000;

// The eight triggers on the table-th table the guide's rows are read from:
// notes before insert, update and delete, after insert and after an update
// of columns_joined, and merges after each of the three.
std::vector<std::string> KeepTable(int32_t guide, size_t table, const IndexedRows& indexed,
                                   const KeptTable& kept, long long merge_at);

// The triggers of a side part, named after it: notes before insert and
// before an update of columns_moving, after insert, update of columns_read
// and delete, and merges after each of the three. values: all the guide's
// searched values.
std::vector<std::string> KeepSide(const KeptSide& kept, const std::vector<std::string>& values,
                                  long long merge_at);

}  // namespace corvanty
