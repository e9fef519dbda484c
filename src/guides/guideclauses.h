// SPDX-License-Identifier: Apache-2.0
#pragma once
// A guide's row of Db_Search_Guide_Tables as the tables editor reads and
// writes it, and the user tables it picks from. Each operation works on the
// connection it is given; database failures come out as rdo::DatabaseError.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "connections/rdo.h"

namespace corvanty {

// The clauses as stored, keywords included ("FROM Customers, Orders").
struct StoredClauses {
  std::string FROM_clause;
  std::string WHERE_clause;
};

// The guide's stored clauses, or nullopt when it has no tables row.
std::optional<StoredClauses> LoadGuideClauses(rdo::rdoConnection& connection, int32_t id);

// The user tables of the connected database, in the server's order.
std::vector<std::string> ListUserTables(rdo::rdoConnection& connection);

// A new guide's number that rows of the guide tables hold already, left by
// a guide that no longer exists; what() says so and what to do.
class LeftoverGuideRows : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Stores "FROM " + from_text and "WHERE " + where_text as the guide's
// clauses: a new guide gets its row inserted (LeftoverGuideRows when one is
// there already); an edited guide has its row updated when the clauses
// differ, or inserted when it has none. One transaction. False when it wrote
// nothing.
bool SaveGuideClauses(rdo::rdoConnection& connection, int32_t id, bool editing,
                      const std::string& from_text, const std::string& where_text);

// What LeftoverGuideRows says for guide id.
std::string OrphanTablesRowMessage(int32_t id);

// Deletes the guide's column settings whose qualifier is the table.
void DeleteTableColumnSettings(rdo::rdoConnection& connection, int32_t id,
                               const std::string& table);

// The statements above, the same on every server: the tables row inserted
// or updated with "FROM " + from_text and "WHERE " + where_text, and the
// deletion of a removed table's column settings. Apostrophes are doubled.
std::string TablesRowInsertStatement(int32_t id, const std::string& from_text,
                                     const std::string& where_text);
std::string TablesRowUpdateStatement(int32_t id, const std::string& from_text,
                                     const std::string& where_text);
std::string TableColumnSettingsDeleteStatement(int32_t id, const std::string& table);

}  // namespace corvanty
