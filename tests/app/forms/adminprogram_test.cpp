// SPDX-License-Identifier: Apache-2.0
// corvanty-admin as the desktop starts it: the entry and icon it belongs to,
// and a one-line refusal where there is no display.
#include <gtest/gtest.h>

#include <QApplication>
#include <QIcon>

#include "app/forms/mdicorvantymain.h"
#include "app/forms/startup.h"
#include "support/corvantycli.h"
#include "support/forms/guitest.h"
#include "support/tempdir.h"

namespace corvanty {
namespace {

TEST(AdminProgram, WithoutADisplaySaysSoInOneLineAndExitsWithOne) {
  const testing::TempDir home;
  // No display named, and one that nothing serves.
  for (const char* display : {"", "DISPLAY=:97"}) {
    std::vector<std::string> environment = {"PATH=/usr/bin:/bin", "HOME=" + home.Path()};
    if (*display) environment.push_back(display);
    const testing::CommandResult run = testing::RunCommand(environment, {CORVANTY_ADMIN_PATH});
    EXPECT_EQ(std::to_string(run.exit_code) + "|" + run.out + "|" + run.err,
              "1||corvanty-admin: no display to open its window on (DISPLAY or WAYLAND_DISPLAY); "
              "the command line corvanty needs none\n")
        << display;
  }
}

using AdminWindow = testing::GuiTest;

TEST_F(AdminWindow, CarriesTheDesktopEntrysNameAndIcon) {
  SetUpApplication();
  mdiCorvantyMain& main = mdiCorvantyMain::Instance();
  // The icon is drawn from the entry's SVG: white drum on the blue square.
  const QImage icon = main.windowIcon().pixmap(64, 64).toImage();
  ASSERT_FALSE(icon.isNull()) << "no icon could be drawn";
  EXPECT_EQ(QGuiApplication::desktopFileName().toStdString() + " " +
                icon.pixelColor(4, 32).name().toStdString() + " " +
                icon.pixelColor(24, 29).name().toStdString(),
            "corvanty-admin #1c4f8c #ffffff");
}

}  // namespace
}  // namespace corvanty
