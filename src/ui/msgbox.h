// SPDX-License-Identifier: Apache-2.0
#pragma once
// Message boxes with the numeric styles and answer codes the whole tool uses.
// The core asks through a replaceable prompter so that it never needs Qt:
// the admin tool installs a Qt one, the command line a console one, tests a
// scripted one.
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace corvanty {

// Styles: buttons plus icon.
constexpr int vbOKOnly = 0;
constexpr int vbOKCancel = 1;
constexpr int vbYesNo = 4;
constexpr int vbExclamation = 48;
// Answers.
constexpr int vbOK = 1;
constexpr int vbCancel = 2;
constexpr int vbYes = 6;
constexpr int vbNo = 7;

extern const char* const kDefaultMsgBoxTitle;  // "Velmorastine: Corvanty"
extern const char* const kAppTitle;            // "CorvantyAdmin"

struct MessageBoxRequest {
  std::string prompt;
  int style = vbOKOnly;
  std::string title;
};

class Prompter {
 public:
  virtual ~Prompter() = default;
  virtual int Ask(const MessageBoxRequest& request) = 0;
};

// True when the style offers Yes and No rather than OK (and Cancel).
bool StyleIsYesNo(int style);
bool StyleHasCancel(int style);
bool StyleHasExclamation(int style);

// Shows the box through the installed prompter and returns its answer code.
int MsgBox(const std::string& prompt, int style = vbOKOnly,
           const std::string& title = kDefaultMsgBoxTitle);

// Installs a prompter and returns the previous one.
std::shared_ptr<Prompter> SetPrompter(std::shared_ptr<Prompter> prompter);

// Prints each box to standard error; questions are answered Yes only when
// the command line was given --yes, OK boxes with OK.
class ConsolePrompter : public Prompter {
 public:
  explicit ConsolePrompter(bool answer_yes) : answer_yes_(answer_yes) {}
  int Ask(const MessageBoxRequest& request) override;

 private:
  bool answer_yes_;
};

// Records every box and answers from a queue; an empty queue answers the
// affirmative button of the style (OK or Yes).
class ScriptedPrompter : public Prompter {
 public:
  void QueueAnswer(int answer) { answers_.push_back(answer); }
  const std::vector<MessageBoxRequest>& Shown() const { return shown_; }
  void Clear() {
    shown_.clear();
    answers_.clear();
  }
  int Ask(const MessageBoxRequest& request) override;

 private:
  std::deque<int> answers_;
  std::vector<MessageBoxRequest> shown_;
};

}  // namespace corvanty
