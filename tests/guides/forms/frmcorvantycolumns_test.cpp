#include "guides/forms/frmcorvantycolumns.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

#include "connections/connectionstore.h"
#include "engine/searchengine.h"
#include "guidedialogtest.h"
#include "guides/columnsettings.h"
#include "support/forms/inventory.h"

namespace corvanty {
namespace {

using namespace basCorvantyAdmin;

// Guide 1 over Orders and Customers, with its tables row as the tables editor
// stores it; the catalogue lists Orders' columns (entries 0-2), then
// Customers' (3-5).
class ColumnsEditor : public testing::GuideDialogTest {
 protected:
  void SetUp() override {
    GuideDialogTest::SetUp();
    Exec(
        "CREATE TABLE Orders (OrderID int, Total numeric, CustomerID int); INSERT INTO Orders "
        "VALUES (10, 5, 1), (11, 7, 2); CREATE TABLE Customers (CustomerID int, Name varchar(40), "
        "City varchar(40)); INSERT INTO Customers VALUES (1, 'Amber Trading', 'Oslo'), (2, "
        "'Birch', 'Lyon'); INSERT INTO Db_Search_Guides (DSG_ID, DSG_name) VALUES (1, 'Orders');"
        "INSERT INTO Db_Search_Guide_Tables VALUES (1, 'FROM Orders, Customers', 'WHERE "
        "Orders.CustomerID = Customers.CustomerID', NULL, NULL)");
  }
  // Opens the editor as the tables editor ("New") or the guide list ("Edit") does.
  frmCorvantyColumns& Open(const char* mode) {
    if (frmCorvantyColumns* open = frmCorvantyColumns::Existing()) open->Unload();
    Settle();
    gintDSGID = 1;
    gstrDSGMode = mode;
    gavarTables = {"", "Orders", "Customers"};
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

  // Guide 1's rows in sequence order: "seq|table|column|type|show|search|separator|conv|expr|key".
  std::string StoredRows() {
    return Value(
        "SELECT group_concat(r, ' / ') FROM (SELECT DSG_column_seq_no || '|' || Column_qualifier"
        " || '|' || Column_name || '|' || Column_data_type || '|' || Show_in_list || '|' ||"
        " Is_search_column || '|' || List_column_separator || '|' || Conv_required || '|' ||"
        " Conversion_expression || '|' || Is_key_column AS r FROM Db_Search_Guide_Cols"
        " WHERE DSG_ID = 1 ORDER BY DSG_column_seq_no)");
  }
};

// The stored rows of an existing guide: a key, the editor's own separator, the
// table default separator, one with an apostrophe, and a column that is gone.
const char* const kStoredGuide =
    "INSERT INTO Db_Search_Guide_Cols VALUES (1, 1, 'Orders', 'OrderID', 'Integer', 0, 0, "
    "'+ '' '' +', -1, 'CONVERT(varchar,Orders.OrderID)', -1),"
    "(1, 2, 'Customers', 'Name', 'Varchar', -1, -1, '+'', ''+', 0, '(none)', 0),"
    "(1, 3, 'Customers', 'City', 'Char', -1, 0, '+''it''''s''+', 0, '', 0),"
    "(1, 5, 'Orders', 'Gone', '(none)', -1, 0, '+ '' - '' + CHAR(13) +', 0, '(none)', 0)";

TEST_F(ColumnsEditor, ShowsItsControlsInTheirTabOrder) {
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
}

TEST_F(ColumnsEditor, ANewGuideStoresEachDataTypeAsAppliedAndReopensWithItsColumnsChecked) {
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
      "0|Orders|OrderID|Char|0|0|+''+|0||0 / 1|Orders|Total|Varchar|1|0|+', '+|0||0 / "
      "2|Orders|CustomerID|Integer|0|1|+', '+|-1|CONVERT(varchar,Orders.CustomerID)|0 / "
      "3|Customers|CustomerID|Numeric|0|0|+', '+|-1|CONVERT(varchar,Customers.CustomerID)|0 / "
      "4|Customers|Name|Text|0|0|+', '+|-1|CONVERT(varchar,Customers.Name)|0 / "
      "5|Customers|City|Datetime|0|0|+', '+|-1|CONVERT(varchar,Customers.City)|0");

  Open("Edit");
  EXPECT_EQ(gavarTables, (std::vector<std::string>{"", "", "Orders", "Customers"}));
  EXPECT_EQ(Entries(),
            "*(0) OrderID -> Orders|*(1) Total -> Orders|*(2) CustomerID -> Orders|"
            "*(3) CustomerID -> Customers|*(4) Name -> Customers|*(5) City -> Customers|");
}

TEST_F(ColumnsEditor, EditShowsTheStoredSettingsReusesSlotsAndKeepsTheRowsThroughAFailedOk) {
  Exec(kStoredGuide);
  frmCorvantyColumns& dialog = Open("Edit");
  EXPECT_EQ(Entries(),
            "*(1) OrderID -> Orders|Total -> Orders|CustomerID -> Orders|CustomerID -> Customers|"
            "*(2) Name -> Customers|*(3) City -> Customers|");
  // Total is given City's index; removing Name, slot 2 of 5, shifts the later
  // slots and leaves the entries' texts alone.
  Apply(1, "Numeric", "F", " o' ", "3");
  dialog.lstAvailableCols->setCurrentRow(4);
  Click(dialog, "cmdRemove");
  EXPECT_EQ(Entries(),
            "*(1) OrderID -> Orders|(3) Total -> Orders|CustomerID -> Orders|CustomerID -> "
            "Customers|(2) Name -> Customers|*(3) City -> Customers|");

  // Unchecking City (with settings) is refused and shows its settings; an
  // entry without settings checks and unchecks silently.
  dialog.lstAvailableCols->item(5)->setCheckState(Qt::Unchecked);
  EXPECT_EQ(Boxes() + Controls() + " " + Entries().substr(Entries().rfind("*(3)")),
            "48 To remove an item please use the remove button.\nChar 1 0 0 [it's] 3 *(3) City -> "
            "Customers|");
  dialog.lstAvailableCols->item(2)->setCheckState(Qt::Checked);
  dialog.lstAvailableCols->item(2)->setCheckState(Qt::Unchecked);
  EXPECT_EQ(std::to_string(boxes_->Shown().size()) + Controls(), "1Char 0 0 0 [] ");

  // An OK that fails on the shared index keeps the stored rows and the
  // settings; Total applied again keeps its one slot. City applied as shown
  // keeps its stored separator; Total's, with an apostrophe, is stored as typed.
  const std::string before = StoredRows();
  dialog.lstAvailableCols->setCurrentRow(5);
  Click(dialog, "cmdApply");
  boxes_->Clear();
  Click(dialog, "cmdOK");
  EXPECT_EQ(Boxes() + ShownDialogs(),
            "48 [[[SQLite]UNIQUE constraint failed: Db_Search_Guide_Cols.DSG_ID, "
            "Db_Search_Guide_Cols.DSG_column_seq_no (19)]]\nfrmCorvantyColumns");
  EXPECT_EQ(StoredRows(), before);
  Apply(1, "Numeric", "F", " o' ", "4");
  Click(dialog, "cmdOK");
  EXPECT_EQ(ShownDialogs() + StoredRows(),
            "1|Orders|OrderID|Integer|0|0|+ ' ' +|-1|CONVERT(varchar,Orders.OrderID)|-1 / "
            "3|Customers|City|Char|1|0|+'it''s'+|0||0 / "
            "4|Orders|Total|Numeric|0|1|+' o'' '+|-1|CONVERT(varchar,Orders.Total)|0 / "
            "5|Orders|Gone|(none)|-1|0|+ ' - ' + CHAR(13) +|0|(none)|0");
}

TEST_F(ColumnsEditor, AnIndexThatIsNotAWholeNumberIsRefusedAndNothingChanges) {
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
        *refusal ? "0 " + std::string(refusal) + "\n1 Total -> Orders" : "2 (-7) Total -> Orders");
  }
}

TEST_F(ColumnsEditor, TheKeyExcludesShowingAndSearchingAndAnotherKeyIsAskedFor) {
  Exec(kStoredGuide);  // OrderID, slot 1, is the key, and so is Gone
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
  // Another key is asked for; the remembered key follows its slot.
  const std::string kAlreadyKey =
      "' is already set as the key for this database search guide. Remove it and assign this "
      "column?\n";
  boxes_->QueueAnswer(vbCancel);
  Apply(3, "Char", "K", "", "7");  // Customers.CustomerID
  EXPECT_EQ(Boxes() + Controls() + std::to_string(gavarColumns[5].IsKeyColumn),
            "1 Column 'OrderID" + kAlreadyKey + "Char 0 0 0 [] 70");
  boxes_->Clear();
  Apply(3, "Char", "K", "", "7");  // answered OK
  Dialog().lstAvailableCols->setCurrentRow(0);
  Click(Dialog(), "cmdRemove");    // slot 1: the key, CustomerID, moves to slot 4
  Apply(1, "Char", "K", "", "8");  // Orders.Total, answered OK
  EXPECT_EQ(Boxes(), "1 Column 'OrderID" + kAlreadyKey + "1 Column 'CustomerID" + kAlreadyKey);
  Click(Dialog(), "cmdOK");
  EXPECT_EQ(
      Value("SELECT group_concat(Column_name) FROM Db_Search_Guide_Cols WHERE Is_key_column <> 0"),
      "Total");
}

TEST_F(ColumnsEditor, CancelOnANewGuideOffersToDeleteItAndUnreadableSettingsKeepTheEditorShut) {
  // {mode, answer (0: none asked), the boxes and the rows of the guide left}
  const std::tuple<const char*, int, const char*> rows[] = {
      {"New", vbYes, "4 Do you want to keep the Database Search Guide definition?\n1 1 0"},
      {"Edit", 0, "1 1 0"},
      {"New", vbNo, "4 Do you want to keep the Database Search Guide definition?\n0 0 0"}};
  for (auto [mode, answer, left] : rows) {
    boxes_->Clear();
    if (answer) boxes_->QueueAnswer(answer);
    Click(Open(mode), "cmdCancel");
    EXPECT_EQ(Boxes() + RowsOfGuide(1) + ShownDialogs(), left) << mode;
  }
  // Settings that cannot be read keep the editor shut: an OK would replace
  // them with nothing.
  Exec("DROP TABLE Db_Search_Guide_Cols");
  boxes_->Clear();
  Open("Edit");
  EXPECT_EQ(Boxes() + ShownDialogs(), "48 [[[SQLite]no such table: Db_Search_Guide_Cols (1)]]\n");
}

TEST_F(ColumnsEditor, TheSearchFindsRowsThroughTheGuideInSequenceOrder) {
  Open("New");
  // Applied out of sequence order: the key first, then Name (2), then City (1).
  Apply(0, "Integer", "K", "", "0");
  Apply(4, "Varchar", "SF", "", "2");
  Apply(5, "Varchar", "S", "'s ", "1");
  Click(Dialog(), "cmdOK");
  // Kept in the order written (0, 2, 1), without the index that sorts them.
  Exec(
      "CREATE TABLE Cols AS SELECT * FROM Db_Search_Guide_Cols; DROP TABLE Db_Search_Guide_Cols;"
      "ALTER TABLE Cols RENAME TO Db_Search_Guide_Cols");
  // {criteria, results: ResultList*IDColumn}; City is shown, not searched.
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
