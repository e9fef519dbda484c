// SPDX-License-Identifier: Apache-2.0
#include "guides/forms/frmcorvantycolumns.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "connections/connectionstore.h"
#include "guidedialogtest.h"
#include "guides/columnsettings.h"
#include "search/searchengine.h"
#include "support/forms/inventory.h"

namespace corvanty {
namespace {

using namespace basCorvantyAdmin;

// Guide 1 over Orders and Customers, with its tables row as the tables editor
// stores it; the catalogue lists Orders' columns (entries 0-2), then
// Customers' (3-5).
class ColumnsEditor : public testing::OnEachServer<testing::GuideDialogTest> {
 protected:
  void SetUp() override {
    OnEachServer::SetUp();
    Exec(
        "CREATE TABLE orders (orderid int, total numeric, customerid int); INSERT INTO orders "
        "VALUES (10, 5, 1), (11, 7, 2); CREATE TABLE customers (customerid int, name varchar(40), "
        "city varchar(40)); INSERT INTO customers VALUES (1, 'Amber Trading', 'Oslo'), (2, "
        "'Birch', 'Lyon'); INSERT INTO Db_Search_Guides (DSG_ID, DSG_name) VALUES (1, 'orders');"
        "INSERT INTO Db_Search_Guide_Tables VALUES (1, 'FROM orders, customers', 'WHERE "
        "orders.customerid = customers.customerid', NULL, NULL)");
  }
  // Opens the editor as the tables editor ("New") or the guide list ("Edit") does.
  frmCorvantyColumns& Open(const char* mode) {
    if (frmCorvantyColumns* open = frmCorvantyColumns::Existing()) open->Unload();
    Settle();
    gintDSGID = 1;
    gstrDSGMode = mode;
    gavarTables = {"", "Orders", "customers"};  // as the user named them
    frmCorvantyColumns::Instance().Show();
    return Dialog();
  }
  static frmCorvantyColumns& Dialog() { return *frmCorvantyColumns::Existing(); }

  // The entries, checked ones marked "*", each followed by "|".
  static std::string Entries() {
    QListWidget* list = Dialog().lstAvailableCols;
    std::string text;
    for (int i = 0; i < list->count(); ++i)
      text += (list->item(i)->checkState() == Qt::Checked ? "*" : "") +
              list->item(i)->text().toStdString() + "|";
    return text;
  }

  // What the property controls show: the data type, show, search, key, the
  // separator and the index: "Integer 0 0 1 [ ] 1".
  static std::string Controls() {
    frmCorvantyColumns& dialog = Dialog();
    std::string seen = dialog.cmbDataType->currentText().toStdString();
    for (QCheckBox* box : {dialog.chkShowInList, dialog.chkIsSearchCol, dialog.chkKeyColumn})
      seen += " " + std::to_string(box->isChecked());
    return seen + " [" + dialog.txtListColSep->text().toStdString() + "] " +
           dialog.txtColIndex->text().toStdString();
  }

  // Selects the entry and applies the settings as a user sets them; roles
  // holds S to show the column, F to search it, K to make it the key.
  static void Apply(int row, const char* type, const std::string& roles, const char* separator,
                    const char* index) {
    frmCorvantyColumns& dialog = Dialog();
    dialog.lstAvailableCols->setCurrentRow(row);
    dialog.cmbDataType->setCurrentText(type);
    dialog.chkKeyColumn->setChecked(false);  // unlocks the other two
    dialog.chkShowInList->setChecked(roles.find('S') != std::string::npos);
    dialog.chkIsSearchCol->setChecked(roles.find('F') != std::string::npos);
    dialog.chkKeyColumn->setChecked(roles.find('K') != std::string::npos);
    dialog.txtListColSep->setText(separator);
    dialog.txtColIndex->setText(index);
    Click(dialog, "cmdApply");
  }

  // The values joined by separator, in the order the rows come.
  std::string Concat(const char* values, const char* separator) const {
    return std::string(postgres() ? "string_agg(" : "group_concat(") + values + ", '" + separator +
           "')";
  }

  // Guide 1's rows in sequence order: "seq|table|column|type|show|search|separator|conv|expr|key".
  std::string StoredRows() {
    return Value(
        "SELECT " + Concat("r", " / ") +
        " FROM (SELECT DSG_column_seq_no || '|' || Column_qualifier"
        " || '|' || Column_name || '|' || Column_data_type || '|' || Show_in_list || '|' ||"
        " Is_search_column || '|' || List_column_separator || '|' || Conv_required || '|' ||"
        " Conversion_expression || '|' || Is_key_column AS r FROM Db_Search_Guide_Cols"
        " WHERE DSG_ID = 1 ORDER BY DSG_column_seq_no) AS rows");
  }
};

// The stored rows of an existing guide: a key, the editor's own separator, the
// table default separator, one with an apostrophe, and a column that is gone.
const char* const kStoredGuide =
    "INSERT INTO Db_Search_Guide_Cols VALUES (1, 1, 'orders', 'orderid', 'Integer', 0, 0, "
    "'+ '' '' +', -1, 'CONVERT(varchar,orders.orderid)', -1),"
    "(1, 2, 'customers', 'name', 'Varchar', -1, -1, '+'', ''+', 0, '(none)', 0),"
    "(1, 3, 'customers', 'city', 'Char', -1, 0, '+''it''''s''+', 0, '', 0),"
    "(1, 5, 'orders', 'Gone', '(none)', -1, 0, '+ '' - '' + CHAR(13) +', 0, '(none)', 0)";

INSTANTIATE_TEST_SUITE_P(, ColumnsEditor, testing::kEachServer, testing::ServerParamName);

TEST_P(ColumnsEditor, ShowsItsControlsInTheirTabOrder) {
  using testing::Align;
  EXPECT_INVENTORY(Open("New"), "Search Column Administration",
                   (std::vector<testing::ControlRow>{
                       {"Label1", "QLabel", "Available Columns", Align::Left},
                       {"lstAvailableCols", "QListWidget", "", Align::None, 1},
                       {"Frame1", "QGroupBox", "Column Properties"},
                       {"Label2", "QLabel", "Data Type :", Align::Right},
                       {"cmbDataType", "QComboBox", "Char", Align::None, 2},
                       {"Label3", "QLabel", "List Column Separator :", Align::Right},
                       {"txtListColSep", "QLineEdit", "", Align::Left, 3},
                       {"Label4", "QLabel", "Column Index :", Align::Right},
                       {"txtColIndex", "QLineEdit", "0", Align::Left, 4},
                       {"chkShowInList", "QCheckBox", "Show In Result List :", Align::None, 5},
                       {"chkIsSearchCol", "QCheckBox", "Is Search Column :", Align::None, 6},
                       {"chkKeyColumn", "QCheckBox", "Is Key Column :", Align::None, 7},
                       {"cmdApply", "QPushButton", "Apply", Align::None, 8, "", true},
                       {"cmdRemove", "QPushButton", "Remove", Align::None, 0},  // disabled
                       {"cmdOK", "QPushButton", "OK", Align::None, 9},
                       {"cmdCancel", "QPushButton", "Cancel", Align::None, 10},
                   }));
  std::string words;
  for (int i = 0; i < Dialog().cmbDataType->count(); ++i)
    words += Dialog().cmbDataType->itemText(i).toStdString() + " ";
  EXPECT_EQ(words, "Char Varchar Integer Numeric Text Datetime ");
}

TEST_P(ColumnsEditor, ANewGuideStoresEachDataTypeAsAppliedAndReopensWithItsColumnsChecked) {
  frmCorvantyColumns& dialog = Open("New");
  Click(dialog, "cmdApply");  // entry 0 with the defaults
  Apply(1, "Varchar", "S", ", ", "1");
  Apply(2, "Integer", "F", ", ", "2");
  Apply(3, "Numeric", "", ", ", "3");
  Apply(4, "Text", "", ", ", "4");
  Apply(5, "Datetime", "", ", ", "5");
  Click(dialog, "cmdOK");
  EXPECT_EQ(
      Boxes() + ShownDialogs() + StoredRows(),
      "0|orders|orderid|Char|0|0|+''+|0||0 / 1|orders|total|Varchar|1|0|+', '+|0||0 / "
      "2|orders|customerid|Integer|0|1|+', '+|-1|CONVERT(varchar,orders.customerid)|0 / "
      "3|customers|customerid|Numeric|0|0|+', '+|-1|CONVERT(varchar,customers.customerid)|0 / "
      "4|customers|name|Text|0|0|+', '+|-1|CONVERT(varchar,customers.name)|0 / "
      "5|customers|city|Datetime|0|0|+', '+|-1|CONVERT(varchar,customers.city)|0");

  Open("Edit");
  EXPECT_EQ(gavarTables, (std::vector<std::string>{"", "", "orders", "customers"}));
  EXPECT_EQ(Entries(),
            "*(0) orderid -> orders|*(1) total -> orders|*(2) customerid -> orders|"
            "*(3) customerid -> customers|*(4) name -> customers|*(5) city -> customers|");
}

TEST_P(ColumnsEditor, EditShowsTheStoredSettingsReusesSlotsAndKeepsTheRowsThroughAFailedOk) {
  Exec(kStoredGuide);
  // Enter then OK keeps the rows byte for byte: the controls show entry 0's own
  // settings (orderid's, or none when its row names another table), applied
  // unchanged. {statement first, the controls and Remove enabled, the boxes}
  const std::tuple<const char*, const char*, const char*> openings[] = {
      {"UPDATE Db_Search_Guide_Cols SET Column_qualifier = 'gone' WHERE Column_name = 'orderid'",
       "Char 0 0 0 []  0", "0 Index property must have a value.\n"},
      {"UPDATE Db_Search_Guide_Cols SET Column_qualifier = 'orders' WHERE Column_name = 'orderid'",
       "Integer 0 0 1 [ ] 1 1", ""},
  };
  for (auto [statement, shown, boxes] : openings) {
    Exec(statement);
    const std::string stored = StoredRows();
    boxes_->Clear();
    frmCorvantyColumns& opened = Open("Edit");
    EXPECT_EQ(Controls() + " " + std::to_string(opened.cmdRemove->isEnabled()), shown);
    QTest::keyClick(opened.lstAvailableCols, Qt::Key_Return);
    Click(opened, "cmdOK");
    EXPECT_EQ(Boxes() + ShownDialogs() + StoredRows(), boxes + stored);
  }
  frmCorvantyColumns& dialog = Open("Edit");
  EXPECT_EQ(Entries(),
            "*(1) orderid -> orders|total -> orders|customerid -> orders|customerid -> customers|"
            "*(2) name -> customers|*(3) city -> customers|");
  // total is given city's index; removing name, slot 2 of 5, shifts the later
  // slots and leaves the entries' texts alone.
  // Remove is enabled on a checked entry only, and stays so after a Remove.
  Apply(1, "Numeric", "F", " o' ", "3");
  dialog.lstAvailableCols->setCurrentRow(2);
  std::string remove_enabled = std::to_string(dialog.cmdRemove->isEnabled());
  dialog.lstAvailableCols->setCurrentRow(4);
  Click(dialog, "cmdRemove");
  EXPECT_EQ(remove_enabled + std::to_string(dialog.cmdRemove->isEnabled()) + " " + Entries(),
            "01 *(1) orderid -> orders|(3) total -> orders|customerid -> orders|customerid -> "
            "customers|(2) name -> customers|*(3) city -> customers|");

  // Unchecking city (with settings) is refused and shows its settings; an
  // entry without settings checks and unchecks silently.
  dialog.lstAvailableCols->item(5)->setCheckState(Qt::Unchecked);
  EXPECT_EQ(Boxes() + Controls() + " " + Entries().substr(Entries().rfind("*(3)")),
            "48 To remove an item please use the remove button.\nChar 1 0 0 [it's] 3 *(3) city -> "
            "customers|");
  dialog.lstAvailableCols->item(2)->setCheckState(Qt::Checked);
  dialog.lstAvailableCols->item(2)->setCheckState(Qt::Unchecked);
  EXPECT_EQ(std::to_string(boxes_->Shown().size()) + Controls(), "1Char 0 0 0 [] ");

  // An OK that fails on the shared index keeps the stored rows and the
  // settings; total applied again keeps its one slot. city applied as shown
  // keeps its stored values; total's separator, with an apostrophe, is stored as typed.
  const std::string before = StoredRows();
  dialog.lstAvailableCols->setCurrentRow(5);
  Click(dialog, "cmdApply");
  boxes_->Clear();
  Click(dialog, "cmdOK");
  EXPECT_EQ(Boxes() + ShownDialogs(),
            postgres()
                ? "48 [[ERROR: duplicate key value violates unique constraint "
                  "\"pk_db_search_guide_cols\"\nDETAIL: Key (dsg_id, dsg_column_seq_no)=(1, "
                  "3) already exists.;\nError while executing the query]]\nfrmCorvantyColumns"
                : "48 [[[SQLite]UNIQUE constraint failed: Db_Search_Guide_Cols.DSG_ID, "
                  "Db_Search_Guide_Cols.DSG_column_seq_no (19)]]\nfrmCorvantyColumns");
  EXPECT_EQ(StoredRows(), before);
  Apply(1, "Numeric", "F", " o' ", "4");
  Click(dialog, "cmdOK");
  EXPECT_EQ(ShownDialogs() + StoredRows(),
            "1|orders|orderid|Integer|0|0|+ ' ' +|-1|CONVERT(varchar,orders.orderid)|-1 / "
            "3|customers|city|Char|-1|0|+'it''s'+|0||0 / "
            "4|orders|total|Numeric|0|1|+' o'' '+|-1|CONVERT(varchar,orders.total)|0 / "
            "5|orders|Gone|(none)|-1|0|+ ' - ' + CHAR(13) +|0|(none)|0");
}

TEST_P(ColumnsEditor, ASeparatorTypedOverAndBackIsWrittenAsItWasRead) {
  Exec(kStoredGuide);
  frmCorvantyColumns& dialog = Open("Edit");
  // orderid shows " " for its stored "+ ' ' +": another text applied and then
  // " " again leaves the stored fragment, not the editor's own "+' '+".
  Apply(0, "Integer", "K", "-", "1");
  Apply(0, "Integer", "K", " ", "1");
  Click(dialog, "cmdOK");
  const std::string rows = StoredRows();
  EXPECT_EQ(rows.substr(0, rows.find(" / ")),
            "1|orders|orderid|Integer|0|0|+ ' ' +|-1|CONVERT(varchar,orders.orderid)|1");
}

TEST_P(ColumnsEditor, AnIndexThatIsNotAWholeNumberIsRefusedAndNothingChanges) {
  // {index typed, the refusal or "" for none}
  const std::pair<const char*, const char*> rows[] = {
      {"", "Index property must have a value."},
      {"  ", "Index property must be a numeric value."},
      {"two", "Index property must be a numeric value."},
      {"2.5", "Index property must be a whole number."},
      {"3e1", "Index property must be a whole number."},
      {"2147483648", "Index property must be a whole number."},
      {" -7 ", ""},
  };
  Open("New");
  for (auto [index, refusal] : rows) {
    boxes_->Clear();
    Apply(1, "Char", "S", "", index);
    EXPECT_EQ(
        Boxes() + std::to_string(gavarColumns.size()) + " " +
            Dialog().lstAvailableCols->item(1)->text().toStdString(),
        *refusal ? "0 " + std::string(refusal) + "\n1 total -> orders" : "2 (-7) total -> orders");
  }
}

TEST_P(ColumnsEditor, TheKeyExcludesShowingAndSearchingAndAnotherKeyIsAskedFor) {
  Exec(kStoredGuide);  // orderid, slot 1, is the key, and so is Gone
  Exec("UPDATE Db_Search_Guide_Cols SET Is_key_column = -1 WHERE Column_name = 'Gone'");
  frmCorvantyColumns& dialog = Open("Edit");
  // {boxes clicked in order: S show, F search, K key; then each box checked
  // (1/0) and enabled (e) or locked (d)}
  const std::pair<const char*, const char*> rows[] = {
      {"S", "1e 0e 0d "}, {"SF", "1e 1e 0d "}, {"SFS", "0e 1e 0d "}, {"SS", "0e 0e 0e "},
      {"K", "0d 0d 1e "}, {"KK", "0e 0e 0e "}, {"KS", "0d 0d 1e "},  {"SFSFK", "0d 0d 1e "},
  };
  QCheckBox* boxes[] = {dialog.chkShowInList, dialog.chkIsSearchCol, dialog.chkKeyColumn};
  for (auto [clicks, states] : rows) {
    dialog.lstAvailableCols->setCurrentRow(0);
    dialog.lstAvailableCols->setCurrentRow(1);  // resets the boxes
    for (const char* click = clicks; *click; ++click)
      boxes[std::string("SFK").find(*click)]->click();
    std::string seen;
    for (QCheckBox* box : boxes)
      seen += std::to_string(box->isChecked()) + (box->isEnabled() ? "e " : "d ");
    EXPECT_EQ(seen, states) << clicks;
  }
  // Another key is asked for, before the index is checked; a refused index
  // leaves the key where it was. The remembered key follows its slot.
  const std::string kAlreadyKey =
      "' is already set as the key for this database search guide. Remove it and assign this "
      "column?\n";
  Apply(3, "Char", "K", "", "");  // answered OK
  EXPECT_EQ(Boxes() + std::to_string(gavarColumns[1].Row.Is_key_column),
            "1 Column 'orderid" + kAlreadyKey + "0 Index property must have a value.\n-1");
  boxes_->Clear();
  boxes_->QueueAnswer(vbCancel);
  Apply(3, "Char", "K", "", "7");  // customers.customerid
  EXPECT_EQ(Boxes() + Controls() + std::to_string(gavarColumns[5].Row.Is_key_column),
            "1 Column 'orderid" + kAlreadyKey + "Char 0 0 0 [] 70");
  boxes_->Clear();
  Apply(3, "Char", "K", "", "7");  // answered OK
  Dialog().lstAvailableCols->setCurrentRow(0);
  Click(Dialog(), "cmdRemove");    // slot 1: the key, customerid, moves to slot 4
  Apply(1, "Char", "K", "", "8");  // orders.total, answered OK
  EXPECT_EQ(Boxes(), "1 Column 'orderid" + kAlreadyKey + "1 Column 'customerid" + kAlreadyKey);
  Click(Dialog(), "cmdOK");
  EXPECT_EQ(Value("SELECT " + Concat("Column_name", ",") +
                  " FROM Db_Search_Guide_Cols WHERE Is_key_column <> 0"),
            "total");
}

TEST_P(ColumnsEditor,
       CancelEscapeAndCloseOnANewGuideOfferToDeleteItAndUnreadableSettingsKeepTheEditorShut) {
  // {mode, answer (0: none asked), the boxes and the rows of the guide left}
  const std::tuple<const char*, int, const char*> rows[] = {
      {"New", vbYes, "4 Do you want to keep the Database Search Guide definition?\n1 1 0"},
      {"Edit", 0, "1 1 0"},
      {"New", vbNo, "4 Do you want to keep the Database Search Guide definition?\n0 0 0"}};
  const std::string kGuide =
      "INSERT INTO Db_Search_Guides (DSG_ID, DSG_name) VALUES (1, 'orders');"
      "INSERT INTO Db_Search_Guide_Tables VALUES (1, 'FROM orders', NULL, NULL, NULL)";
  for (const char* way : kWaysToCancel) {
    if (RowsOfGuide(1) == "0 0 0") Exec(kGuide);  // No removed it
    for (auto [mode, answer, left] : rows) {
      boxes_->Clear();
      if (answer) boxes_->QueueAnswer(answer);
      LeaveBy(Open(mode), way);
      Settle();
      EXPECT_EQ(Boxes() + RowsOfGuide(1) + ShownDialogs(), left) << mode << " " << way;
    }
  }
  // Settings that cannot be read keep the editor shut: an OK would replace
  // them with nothing.
  Exec("DROP TABLE Db_Search_Guide_Cols");
  boxes_->Clear();
  Open("Edit");
  EXPECT_EQ(Boxes() + ShownDialogs(),
            postgres() ? "48 [[ERROR: relation \"db_search_guide_cols\" does not exist;\nError "
                         "while executing the query]]\n"
                       : "48 [[[SQLite]no such table: Db_Search_Guide_Cols (1)]]\n");
}

TEST_P(ColumnsEditor, TheSearchFindsRowsThroughTheGuideInSequenceOrder) {
  Open("New");
  // Applied out of sequence order: the key first, then name (2), then city (1).
  Apply(0, "Integer", "K", "", "0");
  Apply(4, "Varchar", "SF", "", "2");
  Apply(5, "Varchar", "S", "'s ", "1");
  Click(Dialog(), "cmdOK");
  // Kept in the order written (0, 2, 1), without the index that sorts them.
  Exec(
      "CREATE TABLE Cols AS SELECT * FROM Db_Search_Guide_Cols; DROP TABLE Db_Search_Guide_Cols;"
      "ALTER TABLE Cols RENAME TO Db_Search_Guide_Cols");
  // {criteria, results: ResultList*IDColumn}; city is shown, not searched.
  const std::pair<const char*, const char*> rows[] = {
      {"trading", "Oslo's Amber Trading*10 "},
      {"Oslo", ""},
      {"i", "Oslo's Amber Trading*10 Lyon's Birch*11 "}};
  for (auto [criteria, expected] : rows) {
    std::unique_ptr<SearchRun> run = StartSearch(gstrConnect, {1}, criteria);
    std::string found;
    while (std::optional<SearchResult> result = run->Next())
      found += result->ResultList + "*" + result->IDColumn + " ";
    EXPECT_EQ(found, expected) << criteria;
  }
}

}  // namespace
}  // namespace corvanty
