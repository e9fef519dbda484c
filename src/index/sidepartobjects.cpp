// SPDX-License-Identifier: Apache-2.0
#include "index/sidepartobjects.h"

#include "index/searchindexsql.h"
#include "index/sidepart.h"
#include "statements/sqlliteral.h"

namespace corvanty {
namespace {

bool StateNamesParts(rdo::SqlSession& connection) {
  return !connection
              .OpenResultset(std::string("SELECT 1 FROM main.pragma_table_info('") +
                             kSearchIndexStateTable + "') WHERE name = 'Side_parts'")
              .IsEOF();
}

std::vector<std::string> Names(rdo::rdoConnection& connection, const std::string& sql) {
  std::vector<std::string> names;
  for (rdo::rdoResultset rows = connection.OpenResultset(sql); !rows.IsEOF(); rows.MoveNext())
    names.push_back(rows.Text("name"));
  return names;
}

}  // namespace

std::map<int32_t, std::set<std::string>> PartsNamedByGuides(rdo::SqlSession& connection) {
  std::map<int32_t, std::set<std::string>> named;
  if (!StateNamesParts(connection)) return named;
  for (rdo::rdoResultset rows = connection.OpenResultset(
           std::string("SELECT DSG_ID, Side_parts FROM main.") + kSearchIndexStateTable);
       !rows.IsEOF(); rows.MoveNext())
    for (const SidePart& part : SidePartsOf(rows.Text("Side_parts")))
      named[rows.Int("DSG_ID")].insert(part.name);
  return named;
}

void DropPart(rdo::rdoConnection& connection, const std::string& part) {
  const std::string of = "SELECT name FROM main.sqlite_master WHERE substr(name, 1, " +
                         std::to_string(kPartNameLength) + ") = '" + QuoteApostrophes(part) + "'";
  for (const std::string& trigger : Names(connection, of + " AND type = 'trigger'"))
    connection.Execute("DROP TRIGGER " + DoubleQuoted(trigger));
  // The FTS5 table first: its own tables go with it. Then what is left: the
  // pending list, or tables a hand left.
  for (const char* kind :
       {" AND type = 'table' AND sql LIKE 'CREATE VIRTUAL%'", " AND type = 'table'"})
    for (const std::string& table : Names(connection, of + kind))
      connection.Execute("DROP TABLE IF EXISTS " + DoubleQuoted(table));
}

void DropUnnamedParts(rdo::rdoConnection& connection) {
  std::set<std::string> named;
  for (const auto& [guide, parts] : PartsNamedByGuides(connection))
    named.insert(parts.begin(), parts.end());
  std::set<std::string> parts;
  std::string pattern = kPartPrefix;
  for (size_t digit = pattern.size(); digit < kPartNameLength; ++digit) pattern += "[0-9a-f]";
  for (const std::string& object :
       Names(connection, "SELECT name FROM main.sqlite_master WHERE name GLOB '" + pattern + "*'"))
    parts.insert(object.substr(0, kPartNameLength));
  for (const std::string& part : parts)
    if (!named.count(part)) DropPart(connection, part);
}

void MakePart(rdo::rdoConnection& connection, const KeptSide& kept,
              const std::vector<std::string>& values, long long merge_at) {
  DropPart(connection, kept.part.name);
  for (const std::string& table : CreateSidePart(kept.part)) connection.Execute(table);
  connection.Execute(CreateSidePendingTable(kept.part));
  connection.Execute(FillSidePart(kept.part, values));
  connection.Execute(IndexPartTexts(kept.part));
  for (const std::string& settle : SettleEntries(kept.part.name)) connection.Execute(settle);
  for (const std::string& trigger : KeepSide(kept, values, merge_at)) connection.Execute(trigger);
}

}  // namespace corvanty
