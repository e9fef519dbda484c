// SPDX-License-Identifier: Apache-2.0
#include "demo/demoguides.h"

#include "guides/columnsettings.h"
#include "guides/columnstore.h"
#include "guides/listseparator.h"
#include "statements/sqlliteral.h"

namespace corvanty::demo {

namespace {

// One column's settings as an administrator applies them in the columns
// editor; roles: S shown in the result line, F searched, K the key.
GuideColumn Column(const char* table, const char* column, const char* type, const char* roles,
                   const char* separator, int index) {
  const std::string role = roles;
  GuideColumn row;
  row.Column_qualifier = table;
  row.Column_name = column;
  row.Column_data_type = type;
  row.Show_in_list = role.find('S') != std::string::npos;
  row.Is_search_column = role.find('F') != std::string::npos;
  row.Is_key_column = role.find('K') != std::string::npos;
  row.List_column_separator = SeparatorFragment(separator);
  row.DSG_column_seq_no = index;
  SetConversionFromDataType(row);
  return row;
}

struct SampleGuide {
  const char *name, *description, *from, *where;
  std::vector<GuideColumn> columns;
};

std::vector<SampleGuide> SampleGuides() {
  return {
      {"Customers by name and city",
       "Finds customers by company, contact or city: company, city and country",
       "customers",
       "",
       {Column("customers", "customer_id", "Integer", "K", "", 1),
        Column("customers", "company_name", "Varchar", "SF", ", ", 2),
        Column("customers", "contact_name", "Varchar", "F", "", 3),
        Column("customers", "city", "Varchar", "SF", ", ", 4),
        Column("customers", "country", "Varchar", "S", "", 5)}},
      {"Orders by ship city and customer",
       "Finds orders by ship city or customer: date, ship city and customer",
       "orders, customers",
       "orders.customer_id = customers.customer_id",
       {Column("orders", "order_id", "Integer", "K", "", 1),
        Column("orders", "order_date", "Varchar", "S", " ", 2),
        Column("orders", "ship_city", "Varchar", "SF", " / ", 3),
        Column("customers", "company_name", "Varchar", "SF", "", 4)}},
  };
}

// The stored state of a guide: its number and whether its tables row and
// column rows are there.
struct StoredGuide {
  int64_t id;
  bool whole;
};

std::optional<StoredGuide> FindGuide(GuideStatements& db, const std::string& name) {
  std::optional<int64_t> id = db.Number("SELECT DSG_ID FROM Db_Search_Guides WHERE DSG_name = '" +
                                        QuoteApostrophes(name) + "'");
  if (!id) return std::nullopt;
  const std::string where = " WHERE DSG_ID = " + std::to_string(*id);
  return StoredGuide{*id, db.Number("SELECT count(*) FROM Db_Search_Guide_Tables" + where) > 0 &&
                              db.Number("SELECT count(*) FROM Db_Search_Guide_Cols" + where) > 0};
}

}  // namespace

std::optional<int64_t> ConnectionGuideStatements::Number(const std::string& sql) {
  rdo::rdoResultset rows = connection_.OpenResultset(sql);
  if (rows.IsEOF()) return std::nullopt;
  return rows.Int(rows.ColumnNames().at(0));
}

SampleGuidesOutcome DefineSampleGuides(GuideStatements& db, rdo::Dialect dialect) {
  SampleGuidesOutcome outcome;
  for (const SampleGuide& guide : SampleGuides()) {
    std::optional<StoredGuide> stored = FindGuide(db, guide.name);
    if (stored && stored->whole) {
      outcome.kept.push_back(guide.name);
      continue;
    }
    if (stored) {
      const std::string where = " WHERE DSG_ID = " + std::to_string(stored->id);
      db.Execute("DELETE FROM Db_Search_Guide_Tables" + where);
      db.Execute("DELETE FROM Db_Search_Guide_Cols" + where);
      outcome.completed.push_back(guide.name);
    } else {
      db.Execute("INSERT INTO Db_Search_Guides (DSG_name, DSG_Description) VALUES ('" +
                 QuoteApostrophes(guide.name) + "','" + QuoteApostrophes(guide.description) + "')");
      stored = FindGuide(db, guide.name);
      outcome.defined.push_back(guide.name);
    }
    const int32_t id = static_cast<int32_t>(stored->id);
    db.Execute("INSERT INTO Db_Search_Guide_Tables (DSG_ID, FROM_clause, WHERE_clause) VALUES (" +
               std::to_string(id) + ",'" + QuoteApostrophes(std::string("FROM ") + guide.from) +
               "','" + QuoteApostrophes(std::string("WHERE ") + guide.where) + "')");
    for (const GuideColumn& column : guide.columns)
      db.Execute(ColumnInsertStatement(dialect, id, column));
  }
  return outcome;
}

std::string SampleGuidesProblem(GuideStatements& db) {
  for (const SampleGuide& guide : SampleGuides()) {
    std::optional<StoredGuide> stored = FindGuide(db, guide.name);
    if (!stored) return std::string("it lacks the sample guide '") + guide.name + "'";
    if (!stored->whole)
      return std::string("the sample guide '") + guide.name + "' lacks its tables or columns";
  }
  return "";
}

}  // namespace corvanty::demo
