#include "guides/forms/frmcorvantynewdsg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "guidedialogtest.h"
#include "guides/forms/frmcorvantytables.h"

namespace corvanty {
namespace {

using namespace basCorvantyAdmin;
using testing::ExecSqlite;

class NewGuideDialog : public testing::GuideDialogTest {
 protected:
  // Opens the dialog from File > New > Db Search Guide.
  frmCorvantyNewDSG& Open() {
    ChooseMenu("mnuDbSG");
    return frmCorvantyNewDSG::Instance();
  }

  void Fill(frmCorvantyNewDSG& dialog, const QString& name, const QString& description) {
    dialog.txtDSGName->setText(name);
    dialog.txtDSGDescription->setPlainText(description);
  }

  // The dialog is still open and no tables editor followed.
  static void ExpectStillOpen(frmCorvantyNewDSG& dialog) {
    EXPECT_EQ(frmCorvantyNewDSG::Existing(), &dialog);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(frmCorvantyTables::Existing(), nullptr);
  }
};

TEST_F(NewGuideDialog, AnEmptyNameIsRefusedUnderTheApplicationTitleYetTheModeIsNew) {
  gstrDSGMode = kModeEdit;
  frmCorvantyNewDSG& dialog = Open();
  Fill(dialog, "", "A description");
  Click(dialog, "cmdOK");
  ExpectOnlyBox("You need to supply a Database Search Guide name.", vbOKOnly, kAppTitle);
  EXPECT_EQ(gstrDSGMode, "New");
  EXPECT_EQ(GuideCount(), 0);
  ExpectStillOpen(dialog);
}

TEST_F(NewGuideDialog, ADuplicateNameIsRefusedAndTheTypedTextKept) {
  AddGuides({"Orders"});
  frmCorvantyNewDSG& dialog = Open();
  Fill(dialog, "Orders", "Again");
  Click(dialog, "cmdOK");
  ExpectOnlyBox("Database Search Guide name exists. Please choose another.",
                vbOKOnly + vbExclamation);
  EXPECT_EQ(GuideCount(), 1);
  EXPECT_EQ(dialog.txtDSGName->text(), "Orders");
  EXPECT_EQ(dialog.txtDSGDescription->toPlainText(), "Again");
  ExpectStillOpen(dialog);
}

TEST_F(NewGuideDialog, ApostrophesInNameAndDescriptionAreStoredExactly) {
  frmCorvantyNewDSG& dialog = Open();
  Fill(dialog, "O'Brien's orders", "Customers' 'best' orders");
  Click(dialog, "cmdOK");
  EXPECT_TRUE(boxes_->Shown().empty());
  EXPECT_EQ(Value("SELECT DSG_name || '|' || DSG_description FROM Db_Search_Guides"),
            "O'Brien's orders|Customers' 'best' orders");
  // The duplicate check compares the same text.
  Fill(Open(), "O'Brien's orders", "");
  Click(frmCorvantyNewDSG::Instance(), "cmdOK");
  ExpectOnlyBox("Database Search Guide name exists. Please choose another.",
                vbOKOnly + vbExclamation);
  EXPECT_EQ(GuideCount(), 1);
}

TEST_F(NewGuideDialog, TextsLongerThanTheirColumnsAreRefusedBeforeAnythingIsWritten) {
  frmCorvantyNewDSG& dialog = Open();
  Fill(dialog, QString(51, 'n'), "");
  Click(dialog, "cmdOK");
  ExpectOnlyBox("The Database Search Guide name may be at most 50 characters long.",
                vbOKOnly + vbExclamation);
  boxes_->Clear();
  Fill(dialog, "Orders", QString(256, 'd'));
  Click(dialog, "cmdOK");
  ExpectOnlyBox("The description may be at most 255 characters long.", vbOKOnly + vbExclamation);
  EXPECT_EQ(GuideCount(), 0);
  ExpectStillOpen(dialog);

  // Lengths are counted in characters, not bytes.
  boxes_->Clear();
  QString fifty = QString(25, QChar(0x00E9)) + QString(25, 'n');
  Fill(dialog, fifty, QString(255, QChar(0x00FC)));
  Click(dialog, "cmdOK");
  EXPECT_TRUE(boxes_->Shown().empty());
  EXPECT_EQ(Value("SELECT DSG_name FROM Db_Search_Guides"), fifty.toStdString());
}

TEST_F(NewGuideDialog, ACreatedGuideIsHandedToTheTablesEditorAndTheDialogCloses) {
  AddGuides({"Customers", "Suppliers"});
  // The next number does not fit in 16 bits; the current guide holds it whole.
  ExecSqlite(db_, "UPDATE sqlite_sequence SET seq = 70000 WHERE name = 'Db_Search_Guides'");
  frmCorvantyNewDSG& dialog = Open();
  Fill(dialog, "Orders", "Orders by customer");
  Click(dialog, "cmdOK");

  EXPECT_TRUE(boxes_->Shown().empty());
  std::string id = Value("SELECT DSG_ID FROM Db_Search_Guides WHERE DSG_name = 'Orders'");
  EXPECT_EQ(id, "70001");
  EXPECT_EQ(gintDSGID, 70001);
  EXPECT_EQ(gstrDSGMode, "New");
  EXPECT_EQ(Value("SELECT DSG_description FROM Db_Search_Guides WHERE DSG_ID = 70001"),
            "Orders by customer");
  EXPECT_EQ(frmCorvantyNewDSG::Existing(), nullptr);
  ASSERT_NE(frmCorvantyTables::Existing(), nullptr);
  EXPECT_TRUE(frmCorvantyTables::Existing()->isVisible());
  EXPECT_EQ(frmCorvantyTables::Existing()->lblGuide->text(), "Guide 70001, mode New");
}

}  // namespace
}  // namespace corvanty
