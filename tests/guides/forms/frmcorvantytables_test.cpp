// SPDX-License-Identifier: Apache-2.0
#include "guides/forms/frmcorvantytables.h"

#include <QGroupBox>
#include <QListWidget>
#include <QPlainTextEdit>

#include "guidedialogtest.h"
#include "guides/forms/frmcorvantycolumns.h"
#include "guides/forms/frmcorvantydsgadmin.h"
#include "guides/forms/movelistitems.h"
#include "index/searchindexsql.h"
#include "support/forms/inventory.h"
#include "ui/forms/controls.h"

namespace corvanty {
namespace {

using namespace basCorvantyAdmin;
using testing::Align;

class TablesEditor : public testing::OnEachServer<testing::GuideDialogTest> {
 protected:
  void SetUp() override {
    OnEachServer::SetUp();
    Exec(
        "CREATE TABLE customers (id INTEGER PRIMARY KEY, name TEXT); CREATE TABLE orders (id "
        "INTEGER, customer_id INTEGER); CREATE TABLE items (order_id INTEGER); CREATE TABLE "
        "\"order\" (x int);");
    if (!postgres())  // tables of SQLite's own that the editor leaves out
      Exec(std::string("CREATE VIRTUAL TABLE notes USING fts5(body); ") +
           kCreateSearchIndexStateTable);
  }

  // A new guide with no tables row, as the new-guide dialog leaves it, opened
  // in mode (the guide's id is in gintDSGID).
  frmCorvantyTables& Open(const char* mode = "New") {
    Exec("INSERT INTO Db_Search_Guides (DSG_name) VALUES ('Sales')");
    gstrDSGMode = mode;
    gintDSGID = std::stoi(Value("SELECT max(DSG_ID) FROM Db_Search_Guides"));
    frmCorvantyTables::Instance().Show();
    return frmCorvantyTables::Instance();
  }

  // Opens guide 1 as the administrator does: Administer > Db Search Tables, OK.
  frmCorvantyTables& OpenFromMenu() {
    ChooseMenu("mnuSearchTables");
    Click(frmCorvantyDSGAdmin::Instance(), "cmdOK");
    return *frmCorvantyTables::Existing();
  }

  // The selected and available entries, the guide tables left out, and the FROM
  // and WHERE texts: "Customers|Orders| / Items|Order| / Customers, Orders / id > 1".
  static std::string Shown(const frmCorvantyTables& editor) {
    std::string shown;
    for (const QListWidget* list : {editor.lstSelectedTbls, editor.lstAvailableTbls}) {
      for (int i = 0; i < list->count(); ++i)
        if (!list->item(i)->text().startsWith("Db_Search_Guide", Qt::CaseInsensitive))
          shown += list->item(i)->text().toStdString() + "|";
      shown += " / ";
    }
    return shown + editor.txtFROM->toPlainText().toStdString() + " / " +
           editor.txtWHERE->toPlainText().toStdString();
  }

  // Clicks (or double-clicks) the entry as the user does.
  static void Select(QListWidget& list, const QString& entry, bool twice = false) {
    QList<QListWidgetItem*> found = list.findItems(entry, Qt::MatchExactly);
    ASSERT_FALSE(found.isEmpty()) << entry.toStdString();
    QPoint at = list.visualItemRect(found[0]).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
    if (twice) QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
  }

  // Moves each of the comma-separated tables to the guide by selecting it and clicking ">".
  static void Add(frmCorvantyTables& editor, const char* tables) {
    for (const QString& table : QString(tables).split(',', Qt::SkipEmptyParts)) {
      Select(*editor.lstAvailableTbls, table);
      Click(editor, "cmdOneRight");
    }
  }

  // Guide id's stored clauses and column qualifiers, "FROM_clause|WHERE_clause|A,B";
  // "-" for no tables row.
  std::string Stored(int id) {
    const std::string of = " WHERE DSG_ID = " + std::to_string(id) + "), ";
    return Value("SELECT coalesce((SELECT FROM_clause || '|' || WHERE_clause FROM " +
                 std::string("Db_Search_Guide_Tables") + of + "'-') || '|' || coalesce((SELECT " +
                 (postgres() ? "string_agg(Column_qualifier, ',' ORDER BY DSG_column_seq_no)"
                             : "group_concat(Column_qualifier)") +
                 " FROM Db_Search_Guide_Cols" + of + "'')");
  }
};

TEST(MoveListItems, CarriesTheItemDataOnlyInTheDirectionNamed) {
  // {direction, the lists after moving b from the left or y from the right:
  // each entry's text and item data, the selected row (-1: none)}
  const std::pair<const char*, const char*> rows[] = {
      {"Right", "a1 c3 -1 / x7 y8 b2 1"}, {"Left", "a1 b2 c3 y8 1 / x7 -1"},
      {"right", "a1 b2 c3 1 / x7 y8 1"},  {"Left ", "a1 b2 c3 1 / x7 y8 1"},
      {"", "a1 b2 c3 1 / x7 y8 1"},
  };
  for (auto [direction, after] : rows) {
    QListWidget left, right;
    auto fill = [](QListWidget& list, std::initializer_list<std::pair<const char*, int>> entries) {
      for (auto [text, data] : entries)
        (new QListWidgetItem(text, &list))->setData(Qt::UserRole, data);
      list.setCurrentRow(1);
    };
    fill(left, {{"a", 1}, {"b", 2}, {"c", 3}});
    fill(right, {{"x", 7}, {"y", 8}});
    basCorvantyAdmin::MoveListItems(left, right, direction);
    std::string shown;
    for (const QListWidget* list : {&left, &right}) {
      for (int i = 0; i < list->count(); ++i)
        shown += list->item(i)->text().toStdString() +
                 std::to_string(list->item(i)->data(Qt::UserRole).toInt()) + " ";
      shown += std::to_string(ListIndex(*list)) + (list == &left ? " / " : "");
    }
    EXPECT_EQ(shown, after) << direction;
  }
}

INSTANTIATE_TEST_SUITE_P(, TablesEditor, testing::kEachServer, testing::ServerParamName);

TEST_P(TablesEditor, ShowsItsControlsInTheirTabOrder) {
  frmCorvantyTables& editor = Open();
  EXPECT_INVENTORY(
      editor, "Db Search Guide Table(s)",
      (std::vector<testing::ControlRow>{
          {"Frame1", "QGroupBox", "Hint"},
          {"Label1", "QLabel",
           "Choose tables that are related to one another as well as to the Database Search Guide.",
           Align::Centre},
          {"Label2", "QLabel", "Available Tables", Align::Left},
          {"lstAvailableTbls", "QListWidget", "", Align::None, 1},
          {"cmdOneRight", "QPushButton", ">", Align::None, 2},
          {"cmdOneLeft", "QPushButton", "<", Align::None, 3},
          {"Label3", "QLabel", "Selected Tables", Align::Left},
          {"lstSelectedTbls", "QListWidget", "", Align::None, 4},
          {"Label4", "QLabel", "FROM :", Align::Right},
          {"txtFROM", "QPlainTextEdit", "", Align::None, 5},
          {"Label5", "QLabel", "WHERE :", Align::Right},
          {"txtWHERE", "QPlainTextEdit", "", Align::None, 6},
          {"cmdVerifySyntax", "QPushButton", "Verify Syntax", Align::None, 7},
          {"cmdOK", "QPushButton", "OK", Align::None, 8, "", true},
          {"cmdCancel", "QPushButton", "Cancel", Align::None, 9},
      }));
  // The user tables in the order they were made, but no SQLite table,
  // full-text table or search-index bookkeeping.
  EXPECT_EQ(Shown(editor), " / customers|orders|items|order| /  / ");
}

TEST_P(TablesEditor, MovesOnlyASelectedTableAndANewGuidesTableGoesWithoutAsking) {
  frmCorvantyTables& editor = Open();
  Click(editor, "cmdOneRight");  // nothing selected yet
  Add(editor, "customers,orders,items");
  Click(editor, "cmdOneRight");  // the move left no selection behind
  Select(*editor.lstAvailableTbls, "order", true);
  Select(*editor.lstSelectedTbls, "order");
  Click(editor, "cmdOneLeft");
  Click(editor, "cmdOneLeft");  // nothing selected after the move
  // order goes back, and exactly its item leaves the FROM text (orders
  // stays); no settings to warn about.
  EXPECT_EQ(Shown(editor) + Boxes(),
            "customers|orders|items| / order| / customers, orders, items / ");
}

TEST_P(TablesEditor, RemovingAnEditedGuidesTableAsksAndOkDeletesItsSettingsAtOnce) {
  AddGuides({"Sales"});
  Exec(
      "UPDATE Db_Search_Guide_Tables SET FROM_clause = 'FROM customers, orders', WHERE_clause = "
      "'WHERE '; CREATE TABLE \"Bob's\" (x int); INSERT INTO Db_Search_Guide_Cols (DSG_ID, "
      "DSG_column_seq_no, Column_qualifier, Column_name) VALUES (1, 3, 'customers', 'name'), "
      "(1, 4, 'Bob''s', 'x')");
  frmCorvantyTables& editor = OpenFromMenu();
  Add(editor, "Bob's");
  // {table double-clicked, answer to the warning, what is shown and stored
  // after}: Cancel changes nothing, OK deletes exactly that table's settings.
  const std::tuple<const char*, int, const char*> rows[] = {
      {"orders", vbCancel,
       "customers|orders|Bob's| / items|order| / customers, orders, Bob's / = FROM customers, "
       "orders|WHERE |Orders,Orders,customers,Bob's"},
      {"Bob's", vbOK,
       "customers|orders| / items|order|Bob's| / customers, orders / = FROM customers, "
       "orders|WHERE |Orders,Orders,customers"},
  };
  for (auto [table, answer, after] : rows) {
    boxes_->Clear();
    boxes_->QueueAnswer(answer);
    Select(*editor.lstSelectedTbls, table, true);
    EXPECT_EQ(Boxes() + Shown(editor) + "= " + Stored(1),
              "49 Warning! If you remove this table, all column settings for this table will be "
              "lost!\n" +
                  std::string(after));
  }
}

TEST_P(TablesEditor, OkChecksTheSyntaxFirstAndSavesOnlyWhatPasses) {
  const char* const kOK = "0 Query Syntax OK.\n";
  const std::string kAsked =
      "4 More than one table is selected, and there is no join in the WHERE clause. Is this "
      "correct?\n";
  // The server's answer to a WHERE clause cut short, naming the server.
  const std::string kIncomplete =
      std::string(postgres() ? "0 Syntax Invalid: PostgreSQL returned the following error(s) - "
                             : "0 Syntax Invalid: SQLite returned the following error(s) - ") +
      std::string(postgres() ? "[[ERROR: syntax error at or near \";\";\nError while executing "
                               "the query]] \n"
                             : "[[[SQLite]incomplete input (1)]] \n");
  const std::string kCutOff =
      "0 Syntax Invalid: the WHERE text holds \"--\" outside string literals. A comment or a "
      "\";\" there would cut off the search conditions joined after it.\n";
  // {tables, WHERE typed, answer to the join question (0: none asked), the
  // boxes shown, what is stored ("-|": nothing, the dialog stays) and the
  // tables handed on to the columns editor after an empty first entry; text
  // typed at the end of the FROM or the WHERE box after a passed check}
  const struct {
    const char *tables, *where;
    int answer;
    std::string boxes;
    const char* stored;
    QPlainTextEdit* frmCorvantyTables::*edited = nullptr;
    const char* typed_after_check = "";
  } rows[] = {
      {"customers,orders", "", vbNo, kAsked, "-| "},
      {"customers,orders", "  ", 0, kIncomplete, "-| "},  // not asked: blanks reach the server
      {"customers", "1=1", 0, kOK + kCutOff, "-| ", &frmCorvantyTables::txtWHERE,
       " -- every customer"},
      {"customers", "", 0, std::string(kOK) + kOK, "FROM customers c|WHERE | ,customers,",
       &frmCorvantyTables::txtFROM, " c"},
      {"customers,orders", "", vbYes, kAsked + kOK,
       "FROM customers, orders|WHERE | ,customers,orders,"},
      {"customers", "name =", 0, kIncomplete, "-| "},
      {"", "", 0, kOK, "FROM |WHERE | ,"},
      {"items", "", 0, kOK, "FROM items|WHERE | ,items,"},
      {"items,customers,orders", "customers.id = orders.customer_id", 0, kOK,
       "FROM items, customers, orders|WHERE customers.id = orders.customer_id| "
       ",items,customers,orders,"},
  };
  for (const auto& row : rows) {
    boxes_->Clear();
    frmCorvantyTables& editor = Open();
    Add(editor, row.tables);
    QTest::keyClicks(editor.txtWHERE, row.where);
    if (row.answer) boxes_->QueueAnswer(row.answer);
    if (row.edited) {
      Click(editor, "cmdVerifySyntax");
      (editor.*row.edited)->moveCursor(QTextCursor::End);
      QTest::keyClicks(editor.*row.edited, row.typed_after_check);
    }
    gavarTables.clear();
    Click(editor, "cmdOK");
    std::string handed_on;
    for (const std::string& table : gavarTables) handed_on += table + ",";
    EXPECT_EQ(Boxes() + Stored(gintDSGID) + " " + handed_on + ShownDialogs(),
              row.boxes + row.stored +
                  (row.stored[0] == '-' ? "frmCorvantyTables" : "frmCorvantyColumns"))
        << row.where;
    CloseAllWindows();
  }
}

TEST_P(TablesEditor, EditLoadsTheStoredClausesOrStaysShutAndOkStoresThem) {
  AddGuides({"Sales"});
  // {stored FROM clause ("": no tables row), what is shown, what is stored
  // once items is added and the syntax verified}: double blanks leave a blank before the name,
  // which then stays available too; a guide kept without its tables row is given one.
  const char* const rows[][3] = {
      {"FROM customers, orders",
       "customers|orders| / items|order| / customers, orders / name <> 'it''s'",
       "FROM customers, orders, items|WHERE name <> 'it''s'|Orders,Orders"},
      {"FROM customers,  orders",
       "customers| orders| / orders|items|order| / customers,  orders / name <> 'it''s'",
       "FROM customers,  orders, items|WHERE name <> 'it''s'|Orders,Orders"},
      {"", " / customers|orders|items|order| /  / ", "FROM items|WHERE |Orders,Orders"},
  };
  for (const auto& row : rows) {
    Exec(*row[0] ? std::string("UPDATE Db_Search_Guide_Tables SET FROM_clause = '") + row[0] +
                       "', WHERE_clause = 'WHERE name <> ''it''''s'''"
                 : "DELETE FROM Db_Search_Guide_Tables");
    frmCorvantyTables& editor = OpenFromMenu();
    EXPECT_EQ(Shown(editor), row[1]);
    Add(editor, "items");
    boxes_->Clear();
    Click(editor, "cmdVerifySyntax");
    Click(editor, "cmdOK");  // checked already
    EXPECT_EQ(Boxes() + Stored(1) + " " + ShownDialogs(),
              "0 Query Syntax OK.\n" + std::string(row[2]) + " frmCorvantyColumns");
    CloseAllWindows();
  }
  // A check that cannot reach the server reports the connection's error, not
  // a syntax fault, and OK then saves nothing.
  frmCorvantyTables& editor = OpenFromMenu();
  const std::string connect = gstrConnect;
  gstrConnect = "DSN=NoSuchSource;";
  boxes_->Clear();
  Click(editor, "cmdOK");
  gstrConnect = connect;
  EXPECT_EQ(Boxes() + Stored(1) + " " + ShownDialogs(),
            "48 [[[unixODBC][Driver Manager]Data source name not found and no default driver "
            "specified]][[The data source 'NoSuchSource' is not defined in " +
                odbc_.File("odbc.ini") + ".]]\nFROM items|WHERE |Orders,Orders frmCorvantyTables");
  CloseAllWindows();
  // Clauses that cannot be read keep the editor shut: OK would overwrite
  // them with its empty boxes.
  Exec("DROP TABLE Db_Search_Guide_Tables");
  boxes_->Clear();
  ChooseMenu("mnuSearchTables");
  Click(frmCorvantyDSGAdmin::Instance(), "cmdOK");
  EXPECT_EQ(Boxes() + ShownDialogs(),
            postgres() ? "48 [[ERROR: relation \"db_search_guide_tables\" does not exist;\nError "
                         "while executing the query]]\n"
                       : "48 [[[SQLite]no such table: Db_Search_Guide_Tables (1)]]\n");
}

TEST_P(TablesEditor, CancelEscapeAndCloseOnANewGuideAskWhetherToKeepIt) {
  // {mode, answer, the boxes shown, guide rows left}: only a new guide is asked about.
  const char* const kKeep = "4 Do you want to keep the Database Search Guide definition?\n";
  const struct {
    const char* mode;
    int answer;
    const char *boxes, *rows;
  } rows[] = {
      {"New", vbNo, kKeep, "0 0 0"}, {"New", vbYes, kKeep, "1 0 0"}, {"Edit", 0, "", "1 0 0"}};
  for (const char* way : kWaysToCancel) {
    for (const auto& row : rows) {
      boxes_->Clear();
      if (row.answer) boxes_->QueueAnswer(row.answer);
      LeaveBy(Open(row.mode), way);
      Settle();
      EXPECT_EQ(Boxes() + RowsOfGuide(gintDSGID) + ShownDialogs(),
                std::string(row.boxes) + row.rows)
          << way;
    }
  }
}

}  // namespace
}  // namespace corvanty
