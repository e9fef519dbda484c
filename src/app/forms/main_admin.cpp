// SPDX-License-Identifier: Apache-2.0
// corvanty-admin: the administration tool. With --splash the splash window
// comes first and the main window follows when it is dismissed.
#include <QApplication>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "app/forms/frmcorvantysplash.h"
#include "app/forms/startup.h"
#include "ui/forms/backgroundwork.h"
#include "ui/forms/qtprompter.h"
#include "ui/msgbox.h"

namespace {

const char kHelp[] =
    "Usage: corvanty-admin [--splash]\n"
    "\n"
    "The administration tool for Database Search Guides. It opens on the Connect\n"
    "dialog, where a saved ODBC connection is picked or a new one saved; its menus\n"
    "install the guide tables and the search service, and define, delete and test\n"
    "guides on the active connection.\n"
    "\n"
    "Options:\n"
    "  --splash   show the splash window first; the main window follows when it is\n"
    "             dismissed\n"
    "  --help     print this help and exit\n"
    "  --version  print the version and exit\n"
    "\n"
    "Saved connections are kept in $CORVANTY_REGISTRY, else\n"
    "$XDG_CONFIG_HOME/corvanty/registry.db, else ~/.config/corvanty/registry.db.\n"
    "Guides are defined here; the command line corvanty lists, searches, indexes\n"
    "and deletes them, checks a database and sets up the demo without a window.\n";

// --help and --version are answered before QApplication exists, so that they
// need no display (the manual page is made from them at build time).
bool AnsweredWithoutWindow(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) {
      std::cout << kHelp;
      return true;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::cout << "corvanty-admin " CORVANTY_VERSION "\n";
      return true;
    }
  }
  return false;
}

// Without a display the toolkit ends the program with an abort (and a core
// dump) after several lines of its own; the tool says so in one line and
// exits with 1 instead. Only while the application starts.
void ReportNoDisplay(QtMsgType type, const QMessageLogContext&, const QString&) {
  if (type != QtFatalMsg) return;  // the toolkit's own account of it
  std::cerr << "corvanty-admin: no display to open its window on (DISPLAY or "
               "WAYLAND_DISPLAY); the command line corvanty needs none\n";
  std::_Exit(1);
}

}  // namespace

int main(int argc, char** argv) {
  if (AnsweredWithoutWindow(argc, argv)) return 0;
  const QtMessageHandler usual = qInstallMessageHandler(ReportNoDisplay);
  QApplication app(argc, argv);
  qInstallMessageHandler(usual);
  corvanty::SetUpApplication();
  corvanty::ConnectDialogsToChecks();
  corvanty::SetPrompter(std::make_shared<corvanty::QtPrompter>());
  bool splash = false;
  for (int i = 1; i < argc; ++i) splash = splash || std::strcmp(argv[i], "--splash") == 0;
  if (splash)
    corvanty::frmCorvantySplash::Instance().Show();
  else
    corvanty::Main();
  int status = app.exec();
  corvanty::WaitForBackgroundWork();
  return status;
}
