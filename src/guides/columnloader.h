// SPDX-License-Identifier: Apache-2.0
#pragma once
// What the columns editor reads when it opens: the guide's stored column
// settings (when it edits an existing guide) and the columns of the guide's
// tables from the catalogue, as the entries of its list, on the connection
// it is given; failures come out as rdo::DatabaseError.
#include <cstdint>
#include <string>
#include <vector>

#include "connections/rdo.h"
#include "guides/columnsettings.h"
#include "statements/guidedefinition.h"

namespace corvanty {

struct ColumnListEntry {
  std::string TableName;
  std::string ColumnName;
  std::string Text;  // "Total -> Orders", or "(3) Total -> Orders" with settings
  bool Checked = false;
};

struct ColumnEditorContents {
  // The guide's tables: element 0 empty, then the names. For an existing
  // guide rebuilt from its stored FROM clause, so elements 0 and 1 are empty.
  std::vector<std::string> Tables;
  std::vector<ColumnSlot> Slots;  // slot 0 unused; the stored rows in the server's order
  std::vector<ColumnListEntry> Entries;
};

// Reads the settings of guide id when edit is true (tables then come from
// its stored FROM clause; a guide without a tables row has no tables), else
// starts with no settings and the tables given, as the tables editor handed
// them over.
ColumnEditorContents LoadColumnEditor(rdo::rdoConnection& connection, int32_t id, bool edit,
                                      const std::vector<std::string>& tables);

// What the editor reads of guide id: its stored FROM clause, and its stored
// column rows (in the server's order, no ORDER BY).
std::string GuideFromClauseQuery(int32_t id);
std::string GuideColumnsQuery(int32_t id);

// The guide's stored column rows, in the order the server returns them.
std::vector<GuideColumn> ReadStoredRows(rdo::rdoConnection& connection, int32_t id);

// The table names of a stored FROM clause, after the empty elements 0 and 1:
// "FROM Orders, Customers" gives "", "", "Orders", "Customers".
std::vector<std::string> TablesOfFromClause(std::string from_clause);

// Elements 1 to the last, each between apostrophes (doubled inside), joined
// by commas: 'Orders','Customers'.
std::string QuotedTableList(const std::vector<std::string>& tables);

}  // namespace corvanty
