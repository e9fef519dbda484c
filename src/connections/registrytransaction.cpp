// SPDX-License-Identifier: Apache-2.0
#include "connections/registrytransaction.h"

namespace corvanty {

RegistryTransaction::RegistryTransaction(Mode mode)
    : file_(RegistryFile::Open(mode == Mode::Write)), mode_(mode) {
  if (mode == Mode::Write)
    file_.BeginWrite();
  else
    file_.BeginRead();
}

RegistryTransaction::~RegistryTransaction() {
  if (ended_) return;
  if (mode_ == Mode::Write)
    file_.Rollback();
  else
    file_.EndRead();
}

void RegistryTransaction::Commit() {
  ended_ = true;
  if (mode_ == Mode::Write)
    file_.Commit();
  else
    file_.EndRead();
}

}  // namespace corvanty
