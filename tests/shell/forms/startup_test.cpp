#include <QLabel>
#include <QTimer>

#include "connections/forms/frmcorvantyconnect.h"
#include "shell/forms/frmcorvantysplash.h"
#include "shell/forms/mdicorvantymain.h"
#include "shell/forms/positionform.h"
#include "shell/twips.h"
#include "support/forms/guitest.h"

namespace corvanty {
namespace {

class Startup : public testing::GuiTest {};

TEST_F(Startup, TheMainWindowTakesThreeQuartersOfTheScreenAndOpensTheConnectDialog) {
  mdiCorvantyMain& main = mdiCorvantyMain::Instance();
  main.Show();
  double dpi = ScreenDotsPerInch(main);
  QSize screen = main.screen()->geometry().size();
  TwipSize expected = MainWindowSize(PixelsToTwips(screen.width(), dpi),
                                     PixelsToTwips(screen.height(), dpi));
  EXPECT_EQ(main.width(), TwipsToPixels(expected.width, dpi));
  EXPECT_EQ(main.height(), TwipsToPixels(expected.height, dpi));
  ASSERT_NE(frmCorvantyConnect::Existing(), nullptr);
  EXPECT_TRUE(frmCorvantyConnect::Existing()->isVisible());
}

TEST_F(Startup, PositionFormCentresADialogOnTheMainWindowWidth) {
  mdiCorvantyMain& main = mdiCorvantyMain::Instance();
  main.resize(900, 675);  // 13,500 x 10,125 twips at 96 dots per inch
  QDialog dialog;
  dialog.resize(500, 300);
  PositionForm(dialog);
  double dpi = ScreenDotsPerInch(main);
  long main_width = PixelsToTwips(main.frameGeometry().width(), dpi);
  long main_height = PixelsToTwips(main.frameGeometry().height(), dpi);
  TwipPoint at =
      DialogPosition(main_width, main_height, PixelsToTwips(dialog.frameGeometry().width(), dpi));
  EXPECT_EQ(dialog.x(), TwipsToPixels(at.left, dpi));
  EXPECT_EQ(dialog.y(), TwipsToPixels(at.top, dpi));
  if (dpi == 96.0) {
    EXPECT_EQ(dialog.x(), 200);
    EXPECT_EQ(dialog.y(), 84);
  }
}

TEST_F(Startup, TheSplashShowsTitleAndVersionAndStartsTheApplicationOnce) {
  frmCorvantySplash& splash = frmCorvantySplash::Instance();
  splash.Show();
  EXPECT_EQ(splash.lblProductName->text(), "CorvantyAdmin");
  EXPECT_EQ(splash.lblVersion->text(), "Version 1.1.0");
  EXPECT_EQ(splash.lblPlatform->text(), "For : MS SQL Server");
  EXPECT_EQ(splash.Timer1->interval(), 10000);
  EXPECT_TRUE(splash.Timer1->isActive());
  EXPECT_EQ(mdiCorvantyMain::Existing(), nullptr);

  splash.Frame1_Click();
  ASSERT_NE(mdiCorvantyMain::Existing(), nullptr);
  EXPECT_TRUE(mdiCorvantyMain::Existing()->isVisible());
  EXPECT_EQ(frmCorvantySplash::Existing(), nullptr);
  // A late timer tick on the dismissed window starts nothing more.
  mdiCorvantyMain* main = mdiCorvantyMain::Existing();
  splash.Timer1_Timer();
  EXPECT_EQ(mdiCorvantyMain::Existing(), main);
  Settle();
}

}  // namespace
}  // namespace corvanty
