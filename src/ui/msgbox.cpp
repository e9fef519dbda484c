// SPDX-License-Identifier: Apache-2.0
#include "ui/msgbox.h"

#include <iostream>

#include "ui/utf8text.h"

namespace corvanty {

const char* const kDefaultMsgBoxTitle = "Velmorastine: Corvanty";
const char* const kAppTitle = "CorvantyAdmin";

namespace {
std::shared_ptr<Prompter>& CurrentPrompter() {
  static std::shared_ptr<Prompter> prompter = std::make_shared<ConsolePrompter>(false);
  return prompter;
}

int AffirmativeAnswer(int style) { return StyleIsYesNo(style) ? vbYes : vbOK; }
}  // namespace

bool StyleIsYesNo(int style) { return (style & 0xF) == vbYesNo; }
bool StyleHasCancel(int style) { return (style & 0xF) == vbOKCancel; }
bool StyleHasExclamation(int style) { return (style & 0x70) == vbExclamation; }

int MsgBox(const std::string& prompt, int style, const std::string& title) {
  return CurrentPrompter()->Ask({prompt, style, title});
}

std::shared_ptr<Prompter> SetPrompter(std::shared_ptr<Prompter> prompter) {
  std::swap(CurrentPrompter(), prompter);
  return prompter;
}

int ConsolePrompter::Ask(const MessageBoxRequest& request) {
  std::cerr << ShownText(request.prompt, true) << '\n';
  if (!StyleIsYesNo(request.style)) return vbOK;
  std::cerr << (answer_yes_ ? "(answered Yes)" : "(answered No; pass --yes to answer Yes)") << '\n';
  return answer_yes_ ? vbYes : vbNo;
}

int ScriptedPrompter::Ask(const MessageBoxRequest& request) {
  shown_.push_back(request);
  if (answers_.empty()) return AffirmativeAnswer(request.style);
  int answer = answers_.front();
  answers_.pop_front();
  return answer;
}

}  // namespace corvanty
