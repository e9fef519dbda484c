// SPDX-License-Identifier: Apache-2.0
#include "guides/guidestore.h"

#include "connections/rdo.h"
#include "index/searchindexdrop.h"
#include "statements/sqlliteral.h"

namespace corvanty {

namespace {

size_t CharacterCount(const std::string& text) {
  size_t count = 0;
  for (unsigned char c : text) count += (c & 0xC0) != 0x80;  // UTF-8 lead bytes
  return count;
}

std::vector<GuideEntry> GuidesFrom(rdo::rdoResultset rows) {
  std::vector<GuideEntry> guides;
  for (; !rows.IsEOF(); rows.MoveNext())
    guides.push_back({rows.Text("DSG_name"), rows.Int("DSG_ID")});
  return guides;
}

}  // namespace

std::optional<std::string> GuideTextTooLong(const std::string& name,
                                            const std::string& description) {
  if (CharacterCount(name) > kMaxGuideNameLength)
    return "The Database Search Guide name may be at most 50 characters long.";
  if (CharacterCount(description) > kMaxGuideDescriptionLength)
    return "The description may be at most 255 characters long.";
  return std::nullopt;
}

std::vector<GuideEntry> ListGuides(rdo::rdoConnection& connection) {
  return GuidesFrom(connection.OpenResultset("SELECT DSG_name, DSG_ID FROM Db_Search_Guides"));
}

bool GuideNameExists(rdo::rdoConnection& connection, const std::string& name) {
  return !connection
              .OpenResultset("SELECT DSG_name FROM Db_Search_Guides WHERE DSG_name = '" +
                             QuoteApostrophes(name) + "'")
              .IsEOF();
}

int32_t InsertGuide(rdo::rdoConnection& connection, const std::string& name,
                    const std::string& description) {
  std::string quoted_name = QuoteApostrophes(name);
  // The first statement writes: the driver waits for another writer's lock
  // only before the transaction has read anything.
  rdo::Transaction transaction = connection.BeginTrans();
  connection.Execute("INSERT INTO Db_Search_Guides (DSG_name, DSG_Description) VALUES ('" +
                     quoted_name + "','" + QuoteApostrophes(description) + "')");
  rdo::rdoResultset id = connection.OpenResultset(
      "SELECT DSG_ID FROM Db_Search_Guides WHERE DSG_name = '" + quoted_name + "'");
  const int32_t number = id.Int("DSG_ID");
  transaction.Commit();
  return number;
}

bool DeleteGuide(rdo::rdoConnection& connection, int32_t id) {
  std::string text = std::to_string(id);
  // The first statement writes: the driver waits for another writer's lock
  // only before the transaction has read anything.
  rdo::Transaction transaction = connection.BeginTrans();
  connection.Execute("DELETE FROM Db_Search_Guides WHERE DSG_ID = " + text);
  connection.Execute("DELETE FROM Db_Search_Guide_Tables WHERE DSG_ID = " + text);
  connection.Execute("DELETE FROM Db_Search_Guide_Cols WHERE DSG_ID = " + text);
  const bool had_index = DropGuideSearchIndexWithin(connection, id);
  transaction.Commit();
  return had_index;
}

}  // namespace corvanty
