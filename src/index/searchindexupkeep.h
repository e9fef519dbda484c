// SPDX-License-Identifier: Apache-2.0
#pragma once
// The triggers that keep a guide's search index on SQLite up to date with
// one table its rows are read from, in the writer's own transaction. A
// written row takes part in the guide's rows of some row ids of the
// candidate table: its entries, and only those, are made again from the
// rows as they are once the row is written. Before the write, the row ids
// of the row as it was (UPDATE, DELETE) and of the rows the write will
// replace (INSERT or UPDATE OR REPLACE deletes them without firing a delete
// trigger) are noted in Db_Search_Index_Pending; after it, their entries
// and those of the row as it is are made again.
#include <cstdint>
#include <string>
#include <vector>

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
  // The columns whose update may change the guide's rows (see
  // upkeepplan.h); empty: any column's.
  std::vector<std::string> columns_read;
};

// The six triggers (before and after insert, update, delete) on the
// table-th table the guide's rows are read from.
std::vector<std::string> KeepTable(int32_t guide, size_t table, const IndexedRows& indexed,
                                   const KeptTable& kept);

}  // namespace corvanty
