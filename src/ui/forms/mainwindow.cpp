// SPDX-License-Identifier: Apache-2.0
#include "ui/forms/mainwindow.h"

#include <QPointer>
#include <QWidget>

namespace corvanty {

namespace {
// A guarded pointer: a main window deleted without saying so reads as none.
QPointer<QWidget> g_main_window;
}  // namespace

QWidget* MainWindow() { return g_main_window.data(); }

void SetMainWindow(QWidget* window) { g_main_window = window; }

}  // namespace corvanty
