// The connect dialogs show the registry's report where the command line
// prints it, and change nothing.
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <fstream>

#include "app/forms/mdicorvantymain.h"
#include "connections/forms/frmcorvantyconnect.h"
#include "connections/forms/frmcorvantynewconnection.h"
#include "support/corvantycli.h"
#include "support/forms/guitest.h"

namespace corvanty {
namespace {

using ConnectFaults = testing::GuiTest;

TEST_F(ConnectFaults, ARegistryThatIsNoDatabaseIsReportedWhenListingAndWhenSaving) {
  const std::string junk(4096, 'x'), report = "The registry " + registry_.Path() + " cannot be ";
  std::ofstream(registry_.Path()) << junk;
  mdiCorvantyMain::Instance().Show();
  EXPECT_EQ(frmCorvantyConnect::Instance().cmbAvailableDb->count(), 0);
  ExpectOnlyBox(report + "read: it is not a database.", vbOKOnly + vbExclamation);
  boxes_->Clear();
  QTimer::singleShot(0, [] {
    frmCorvantyNewConnection& dialog = *frmCorvantyNewConnection::Existing();
    QTest::keyClicks(dialog.txtDSN, "A");
    QTest::keyClicks(dialog.txtUID, "u");
    Click(dialog, "cmdConnect");
    EXPECT_TRUE(dialog.isVisible());  // nothing saved: the administrator may try again
    dialog.close();
  });
  Click(frmCorvantyConnect::Instance(), "cmdNew");
  ExpectOnlyBox(report + "written: it is not a database.", vbOKOnly + vbExclamation);
  EXPECT_EQ(testing::FileBytes(registry_.Path()), junk);
}

}  // namespace
}  // namespace corvanty
