// SPDX-License-Identifier: Apache-2.0
#include "app/forms/startup.h"

#include <QApplication>
#include <QIcon>

#include "app/forms/mdicorvantymain.h"
#include "connections/connectionstore.h"
#include "connections/forms/frmcorvantyconnect.h"
#include "connections/session.h"
#include "connections/sqlerrorreport.h"
#include "schema/readiness.h"
#include "ui/msgbox.h"

namespace corvanty {

void SetUpApplication() {
  QApplication::setApplicationName(kAppTitle);
  QApplication::setDesktopFileName("corvanty-admin");
  QApplication::setWindowIcon(QIcon(":/corvanty.svg"));
}

void ConnectDialogsToChecks() {
  SetReadinessCheck([] {
    try {
      Session session(basCorvantyAdmin::gstrConnect);
      basCorvantyAdmin::CheckDatabaseReadiness(session);
      return true;
    } catch (const std::exception& error) {
      ReportDialogError(error);
      return false;
    }
  });
}

void Main() { mdiCorvantyMain::Instance().Show(); }

}  // namespace corvanty
