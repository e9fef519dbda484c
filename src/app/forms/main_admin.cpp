// corvanty-admin: the administration tool. With --splash the splash window
// comes first and the main window follows when it is dismissed.
#include <QApplication>
#include <cstring>

#include "app/forms/frmcorvantysplash.h"
#include "app/forms/startup.h"
#include "ui/forms/backgroundwork.h"
#include "ui/forms/qtprompter.h"
#include "ui/msgbox.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(corvanty::kAppTitle);
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
