// SPDX-License-Identifier: Apache-2.0
// Entry point of the dialog tests: one application object for all of them.
#include <gtest/gtest.h>

#include <QApplication>

#include "app/forms/startup.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Dialog tests never need a screen; listing the tests must not either.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  corvanty::ConnectDialogsToChecks();
  return RUN_ALL_TESTS();
}
