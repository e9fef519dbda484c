// SPDX-License-Identifier: Apache-2.0
#include "ui/forms/form.h"

#include <QCloseEvent>

namespace corvanty {

Form::Form() : QDialog(nullptr) {}

void Form::Load() {
  if (loaded_ || unloading_) return;
  loaded_ = true;
  Form_Load();
}

void Form::Show(Modality modality) {
  Load();
  if (unloading_) return;  // Form_Load decided the dialog is not wanted
  if (modality == Modality::Modal) {
    exec();
    return;
  }
  show();
  raise();
  activateWindow();
}

void Form::BeginUnload() {
  if (unloading_) return;
  unloading_ = true;
  if (loaded_) Form_Unload();
  Release();
  deleteLater();
}

void Form::Unload() {
  if (unloading_) return;
  BeginUnload();
  close();
}

void Form::closeEvent(QCloseEvent* event) {
  // Closed by its frame or by Esc: the form decides, as its Cancel would;
  // the window closes only through Unload.
  if (!unloading_) {
    event->ignore();
    Form_QueryUnload();
    return;
  }
  QDialog::closeEvent(event);
}

void Form::reject() {
  if (!unloading_) {
    close();
    return;
  }
  QDialog::reject();
}

}  // namespace corvanty
