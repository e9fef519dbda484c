#include "guides/forms/frmcorvantytables.h"

#include <QGroupBox>
#include <QListWidget>
#include <QPlainTextEdit>

#include "guidedialogtest.h"
#include "guides/forms/frmcorvantycolumns.h"
#include "guides/forms/frmcorvantydsgadmin.h"
#include "guides/forms/movelistitems.h"
#include "support/forms/inventory.h"
#include "ui/forms/controls.h"

namespace corvanty {
namespace {

using namespace basCorvantyAdmin;
using testing::Align;

const char* const kRemovalWarning =
    "Warning! If you remove this table, all column settings for this table will be lost!";
const char* const kNoJoinQuestion =
    "More than one table is selected, and there is no join in the WHERE clause. Is this correct?";
const char* const kKeepQuestion = "Do you want to keep the Database Search Guide definition?";
const char* const kSyntaxOK = "Query Syntax OK.";

class TablesEditor : public testing::GuideDialogTest {
 protected:
  void SetUp() override {
    GuideDialogTest::SetUp();
    testing::ExecSqlite(db_,
                        "CREATE TABLE Customers (id INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT);"
                        "CREATE TABLE Orders (id INTEGER, customer_id INTEGER);"
                        "CREATE TABLE Items (order_id INTEGER);"
                        "CREATE TABLE \"Order\" (x);"
                        "CREATE VIRTUAL TABLE Notes USING fts5(body);"
                        "CREATE TABLE Db_Search_Index_State (x);");
  }

  // A new guide with no tables row, as the new-guide dialog leaves it.
  int NewGuide() {
    testing::ExecSqlite(db_, "INSERT INTO Db_Search_Guides (DSG_name) VALUES ('Sales')");
    return std::stoi(Value("SELECT max(DSG_ID) FROM Db_Search_Guides"));
  }

  frmCorvantyTables& Open(const char* mode, int id) {
    gstrDSGMode = mode;
    gintDSGID = id;
    frmCorvantyTables::Instance().Show();
    return frmCorvantyTables::Instance();
  }

  // Opens guide 1 for editing as the administrator does: Administer > Db
  // Search Tables, the guide chosen, OK.
  frmCorvantyTables& OpenFromMenu() {
    ChooseMenu("mnuSearchTables");
    Click(frmCorvantyDSGAdmin::Instance(), "cmdOK");
    return *frmCorvantyTables::Existing();
  }

  void ExecSql(const std::string& sql) { testing::ExecSqlite(db_, sql); }

  bool WasSent(const std::string& statement) const {
    return std::find(sent_.begin(), sent_.end(), statement) != sent_.end();
  }

  static std::string Entries(const QListWidget& list) {
    std::string entries;
    for (int i = 0; i < list.count(); ++i) entries += list.item(i)->text().toStdString() + "|";
    return entries;
  }

  // Clicks (or double-clicks) the entry as the user does.
  static void Select(QListWidget& list, const char* entry, bool twice = false) {
    QList<QListWidgetItem*> found = list.findItems(entry, Qt::MatchExactly);
    ASSERT_FALSE(found.isEmpty()) << entry;
    list.scrollToItem(found[0]);
    QPoint at = list.visualItemRect(found[0]).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
    if (twice) QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
  }

  // Moves each table to the guide by selecting it and clicking ">".
  static void Add(frmCorvantyTables& editor, std::initializer_list<const char*> tables) {
    for (const char* table : tables) {
      Select(*editor.lstAvailableTbls, table);
      Click(editor, "cmdOneRight");
    }
  }

  static std::string From(const frmCorvantyTables& editor) {
    return editor.txtFROM->toPlainText().toStdString();
  }

  // The guide's stored clauses, "FROM_clause|WHERE_clause".
  std::string StoredClauses(int id) {
    return Value(
        "SELECT FROM_clause || '|' || WHERE_clause FROM Db_Search_Guide_Tables "
        "WHERE DSG_ID = " +
        std::to_string(id));
  }
};

TEST_F(TablesEditor, ShowsItsControlsTopToBottomInTheirTabOrder) {
  frmCorvantyTables& editor = Open("New", NewGuide());
  EXPECT_INVENTORY(
      editor, "Db Search Guide Table(s)",
      (std::vector<testing::ControlRow>{
          {"Frame1", "QGroupBox", "Hint"},
          {"Label1", "QLabel",
           "Choose tables that are related to one another as well as to the Database Search "
           "Guide.",
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
  // The hint, the lists side by side with the move buttons between them,
  // FROM, WHERE, and the buttons in one row.
  auto top = [&](QWidget* w) { return w->mapTo(&editor, QPoint(0, 0)).y(); };
  auto left = [&](QWidget* w) { return w->mapTo(&editor, QPoint(0, 0)).x(); };
  EXPECT_LT(top(editor.Frame1), top(editor.lstAvailableTbls));
  EXPECT_EQ(top(editor.lstAvailableTbls), top(editor.lstSelectedTbls));
  EXPECT_LT(left(editor.lstAvailableTbls), left(editor.cmdOneRight));
  EXPECT_LT(left(editor.cmdOneRight), left(editor.lstSelectedTbls));
  EXPECT_LT(top(editor.cmdOneRight), top(editor.cmdOneLeft));
  EXPECT_LT(top(editor.lstAvailableTbls), top(editor.txtFROM));
  EXPECT_LT(top(editor.txtFROM), top(editor.txtWHERE));
  EXPECT_LT(top(editor.txtWHERE), top(editor.cmdOK));
  EXPECT_EQ(top(editor.cmdVerifySyntax), top(editor.cmdOK));
  EXPECT_EQ(top(editor.cmdOK), top(editor.cmdCancel));
}

TEST_F(TablesEditor, MovesTablesIntoTheFromListOnlyFromASelection) {
  frmCorvantyTables& editor = Open("New", NewGuide());
  // The user tables in the order they were made: the guide tables too, but
  // neither SQLite's own tables nor a full-text table and its hidden tables,
  // nor the search indexes' bookkeeping.
  EXPECT_EQ(Entries(*editor.lstAvailableTbls),
            "Db_Search_Guides|Db_Search_Guide_Tables|Db_Search_Guide_Cols|Db_Search_Guide_SQL|"
            "Db_Search_Guide_Unique|Customers|Orders|Items|Order|");

  Click(editor, "cmdOneRight");  // nothing selected yet
  EXPECT_EQ(From(editor), "");
  Add(editor, {"Customers"});
  EXPECT_EQ(From(editor), "Customers");
  EXPECT_EQ(ListIndex(*editor.lstAvailableTbls), -1);
  Click(editor, "cmdOneRight");  // the move left no selection behind
  EXPECT_EQ(From(editor), "Customers");

  Select(*editor.lstAvailableTbls, "Orders", true);
  EXPECT_EQ(From(editor), "Customers, Orders");
  EXPECT_EQ(Entries(*editor.lstSelectedTbls), "Customers|Orders|");
  EXPECT_EQ(Entries(*editor.lstAvailableTbls),
            "Db_Search_Guides|Db_Search_Guide_Tables|Db_Search_Guide_Cols|Db_Search_Guide_SQL|"
            "Db_Search_Guide_Unique|Items|Order|");

  Click(editor, "cmdOneLeft");  // nothing selected on the guide's side
  EXPECT_EQ(From(editor), "Customers, Orders");
  EXPECT_TRUE(boxes_->Shown().empty());
}

TEST_F(TablesEditor, RemovingANewGuidesTableTakesOutExactlyItsItem) {
  // {tables added, table removed, FROM text after, available list's tail}
  const struct {
    std::initializer_list<const char*> added;
    const char *removed, *from, *selected;
  } rows[] = {
      {{"Customers", "Orders", "Items"}, "Orders", "Customers, Items", "Customers|Items|"},
      {{"Customers", "Orders", "Items"}, "Customers", "Orders, Items", "Orders|Items|"},
      {{"Customers", "Orders", "Items"}, "Items", "Customers, Orders", "Customers|Orders|"},
      {{"Orders", "Order"}, "Order", "Orders", "Orders|"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.removed);
    frmCorvantyTables& editor = Open("New", NewGuide());
    Add(editor, row.added);
    Select(*editor.lstSelectedTbls, row.removed);
    Click(editor, "cmdOneLeft");
    EXPECT_EQ(From(editor), row.from);
    EXPECT_EQ(Entries(*editor.lstSelectedTbls), row.selected);
    // The table goes back to the end of the available list.
    EXPECT_EQ(editor.lstAvailableTbls->item(editor.lstAvailableTbls->count() - 1)->text(),
              row.removed);
    EXPECT_TRUE(boxes_->Shown().empty());  // a new guide has no settings to warn about
    CloseAllWindows();
  }
}

TEST_F(TablesEditor, RemovingAnEditedGuidesTableAsksAndDeletesItsSettingsAtOnce) {
  AddGuides({"Sales"});
  ExecSql(
      "UPDATE Db_Search_Guide_Tables SET FROM_clause = 'FROM Customers, Orders', "
      "WHERE_clause = 'WHERE ';"
      "INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, Column_qualifier, "
      "Column_name) VALUES (1, 3, 'Customers', 'name')");
  // Cancel abandons the removal: nothing changes anywhere.
  frmCorvantyTables& editor = OpenFromMenu();
  boxes_->Clear();
  boxes_->QueueAnswer(vbCancel);
  Select(*editor.lstSelectedTbls, "Orders");
  Click(editor, "cmdOneLeft");
  ExpectOnlyBox(kRemovalWarning, vbOKCancel + vbExclamation);
  EXPECT_EQ(From(editor), "Customers, Orders");
  EXPECT_EQ(Entries(*editor.lstSelectedTbls), "Customers|Orders|");
  EXPECT_EQ(RowsOfGuide(1), "1 1 3");

  // OK deletes Orders' settings at once; Cancel of the dialog keeps them deleted.
  boxes_->Clear();
  boxes_->QueueAnswer(vbOK);
  Click(editor, "cmdOneLeft");
  ExpectOnlyBox(kRemovalWarning, vbOKCancel + vbExclamation);
  EXPECT_EQ(From(editor), "Customers");
  EXPECT_EQ(Value("SELECT group_concat(Column_qualifier) FROM Db_Search_Guide_Cols"), "Customers");
  Click(editor, "cmdCancel");
  EXPECT_EQ(ShownDialogs(), "");
  EXPECT_EQ(RowsOfGuide(1), "1 1 1");
  EXPECT_EQ(StoredClauses(1), "FROM Customers, Orders|WHERE ");

  // A table whose name holds an apostrophe: its settings go all the same.
  ExecSql(
      "CREATE TABLE \"Bob's\" (x); INSERT INTO Db_Search_Guide_Cols (DSG_ID, "
      "DSG_column_seq_no, Column_qualifier, Column_name) VALUES (1, 4, 'Bob''s', 'x')");
  frmCorvantyTables& again = OpenFromMenu();
  Add(again, {"Bob's"});
  Select(*again.lstSelectedTbls, "Bob's");
  boxes_->Clear();
  Click(again, "cmdOneLeft");
  ExpectOnlyBox(kRemovalWarning, vbOKCancel + vbExclamation);
  EXPECT_EQ(From(again), "Customers, Orders");
  EXPECT_EQ(Value("SELECT group_concat(Column_qualifier) FROM Db_Search_Guide_Cols"), "Customers");
}

TEST_F(TablesEditor, SyntaxCheckAsksAboutAMissingJoinAndReportsTheServersErrors) {
  // {tables, WHERE typed, answer to the join question or 0 for none asked,
  //  the message after the check or "" for none, the statement run or ""}
  const struct {
    std::initializer_list<const char*> tables;
    const char* where;
    int answer;
    const char *message, *statement;
  } rows[] = {
      {{"Customers", "Orders"}, "", vbNo, "", ""},
      {{"Customers", "Orders"}, "", vbYes, kSyntaxOK, "SELECT 'atest' FROM Customers, Orders "},
      {{"Customers", "Orders"},
       "Customers.id = Orders.customer_id",
       0,
       kSyntaxOK,
       "SELECT 'atest' FROM Customers, Orders WHERE Customers.id = Orders.customer_id"},
      {{"Customers"},
       "name =",
       0,
       "Syntax Invalid: SQL Server returned the following error(s) - [[[SQLite]incomplete input "
       "(1)]] ",
       "SELECT 'atest' FROM Customers WHERE name ="},
      {{}, "", 0, kSyntaxOK, "SELECT 'atest'  "},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.where);
    boxes_->Clear();
    frmCorvantyTables& editor = Open("New", NewGuide());
    Add(editor, row.tables);
    QTest::keyClicks(editor.txtWHERE, row.where);
    sent_.clear();
    if (row.answer) boxes_->QueueAnswer(row.answer);
    Click(editor, "cmdVerifySyntax");
    std::string shown;
    for (const MessageBoxRequest& box : boxes_->Shown())
      shown += box.prompt + "|" + std::to_string(box.style) + "|" + box.title + "\n";
    std::string expected;
    if (row.answer) expected += std::string(kNoJoinQuestion) + "|4|" + kDefaultMsgBoxTitle + "\n";
    if (*row.message) expected += std::string(row.message) + "|0|" + kDefaultMsgBoxTitle + "\n";
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(sent_.empty() ? "" : sent_.back(), row.statement);
    CloseAllWindows();
  }
}

TEST_F(TablesEditor, OkChecksFirstSavesTheClausesAndHandsTheTablesOn) {
  int id = NewGuide();
  ASSERT_EQ(id, 1);  // the guide the Administer dialog offers first
  // No to the join question stops the save as well; the dialog stays.
  frmCorvantyTables& editor = Open("New", id);
  Add(editor, {"Customers", "Orders", "Items"});
  boxes_->QueueAnswer(vbNo);
  Click(editor, "cmdOK");
  ExpectOnlyBox(kNoJoinQuestion, vbYesNo);
  EXPECT_EQ(ShownDialogs(), "frmCorvantyTables");
  EXPECT_EQ(Value("SELECT count(*) FROM Db_Search_Guide_Tables"), "0");

  // A checked WHERE with a string literal, then edited: no second check.
  QTest::keyClicks(editor.txtWHERE, "Customers.name <> 'it''s'");
  boxes_->Clear();
  Click(editor, "cmdVerifySyntax");
  ExpectOnlyBox(kSyntaxOK, vbOKOnly);
  QTest::keyClicks(editor.txtWHERE, " AND Customers.id = Orders.customer_id");
  boxes_->Clear();
  sent_.clear();
  Click(editor, "cmdOK");
  EXPECT_TRUE(boxes_->Shown().empty());
  const std::string where = "Customers.name <> 'it''s' AND Customers.id = Orders.customer_id";
  EXPECT_EQ(StoredClauses(id), "FROM Customers, Orders, Items|WHERE " + where);
  EXPECT_EQ(gavarTables, (std::vector<std::string>{"", "Customers", "Orders", "Items"}));
  EXPECT_EQ(ShownDialogs(), "frmCorvantyColumns");
  EXPECT_EQ(gstrDSGMode, "New");

  // Reopened from the menu, the clauses come back exactly.
  CloseAllWindows();
  frmCorvantyTables& reopened = OpenFromMenu();
  EXPECT_EQ(From(reopened), "Customers, Orders, Items");
  EXPECT_EQ(reopened.txtWHERE->toPlainText().toStdString(), where);
  EXPECT_EQ(Entries(*reopened.lstSelectedTbls), "Customers|Orders|Items|");
}

TEST_F(TablesEditor, EmptyBoxesPassAndAreStoredWithTheirKeywordsAlone) {
  int id = NewGuide();
  sent_.clear();
  Click(Open("New", id), "cmdOK");
  ExpectOnlyBox(kSyntaxOK, vbOKOnly);
  EXPECT_TRUE(
      WasSent("INSERT INTO Db_Search_Guide_Tables (DSG_ID, FROM_clause, WHERE_clause) VALUES (" +
              std::to_string(id) + ",'FROM ','WHERE ')"));
  EXPECT_EQ(StoredClauses(id), "FROM |WHERE ");
  EXPECT_EQ(gavarTables, std::vector<std::string>{""});
  EXPECT_EQ(ShownDialogs(), "frmCorvantyColumns");
}

TEST_F(TablesEditor, EditLoadsTheStoredClausesAndUpdatesThem) {
  AddGuides({"Sales"});
  // {stored FROM clause, selected entries, available user tables}: double
  // blanks leave a blank before the name, which then stays available too.
  const struct {
    const char *stored, *selected, *available;
  } rows[] = {
      {"FROM Customers, Orders", "Customers|Orders|", "Items|Order|"},
      {"FROM Customers,  Orders", "Customers| Orders|", "Orders|Items|Order|"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.stored);
    ExecSql(std::string("UPDATE Db_Search_Guide_Tables SET FROM_clause = '") + row.stored +
            "', WHERE_clause = 'WHERE Customers.id = Orders.customer_id'");
    frmCorvantyTables& editor = OpenFromMenu();
    EXPECT_EQ(From(editor), std::string(row.stored).substr(5));
    EXPECT_EQ(editor.txtWHERE->toPlainText(), "Customers.id = Orders.customer_id");
    EXPECT_EQ(Entries(*editor.lstSelectedTbls), row.selected);
    std::string available = Entries(*editor.lstAvailableTbls);
    EXPECT_EQ(available.substr(available.find("Unique|") + 7), row.available);
    CloseAllWindows();
  }
  sent_.clear();
  frmCorvantyTables& editor = OpenFromMenu();
  editor.txtWHERE->setPlainText("Orders.id > 2");
  Click(editor, "cmdOK");
  EXPECT_TRUE(
      WasSent("UPDATE Db_Search_Guide_Tables SET FROM_clause = 'FROM Customers,  Orders', "
              "WHERE_clause = 'WHERE Orders.id > 2' WHERE DSG_ID = 1"));
  EXPECT_EQ(ShownDialogs(), "frmCorvantyColumns");
}

TEST_F(TablesEditor, AGuideKeptWithoutItsTablesRowOpensEmptyAndOkInsertsIt) {
  AddGuides({"Sales"});
  ExecSql("DELETE FROM Db_Search_Guide_Tables");
  frmCorvantyTables& editor = OpenFromMenu();
  EXPECT_EQ(From(editor), "");
  EXPECT_EQ(Entries(*editor.lstSelectedTbls), "");
  Add(editor, {"Items"});
  Click(editor, "cmdOK");
  EXPECT_EQ(StoredClauses(1), "FROM Items|WHERE ");
  EXPECT_EQ(ShownDialogs(), "frmCorvantyColumns");
}

TEST_F(TablesEditor, CancelOnANewGuideAsksWhetherToKeepIt) {
  // {mode, answer, guide rows left}: only a new guide is asked about.
  const struct {
    const char* mode;
    int answer;
    const char* rows;
  } rows[] = {{"New", vbNo, "0 0 0"}, {"New", vbYes, "1 0 0"}, {"Edit", 0, "1 0 0"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.mode) + std::to_string(row.answer));
    boxes_->Clear();
    int id = NewGuide();
    if (row.answer) boxes_->QueueAnswer(row.answer);
    Click(Open(row.mode, id), "cmdCancel");
    if (row.answer)
      ExpectOnlyBox(kKeepQuestion, vbYesNo);
    else
      EXPECT_TRUE(boxes_->Shown().empty());
    EXPECT_EQ(RowsOfGuide(id), row.rows);
    EXPECT_EQ(ShownDialogs(), "");
  }
}

TEST(MoveListItems, MovesTheSelectedEntryWithItsDataOnlyForAnExactDirection) {
  QListWidget left, right;
  left.addItems({"A", "B"});
  left.item(1)->setData(Qt::UserRole, 42);
  left.setCurrentRow(1);
  MoveListItems(left, right, "right");  // not a direction: nothing moves
  ASSERT_EQ(right.count(), 0);
  MoveListItems(left, right, "Right");
  ASSERT_EQ(right.count(), 1);
  EXPECT_EQ(right.item(0)->text(), "B");
  EXPECT_EQ(right.item(0)->data(Qt::UserRole).toInt(), 42);
  EXPECT_EQ(left.count(), 1);
  EXPECT_TRUE(left.selectedItems().isEmpty());
  right.setCurrentRow(0);
  MoveListItems(left, right, "Left");
  EXPECT_EQ(left.item(1)->text(), "B");
  EXPECT_EQ(right.count(), 0);
}

}  // namespace
}  // namespace corvanty
