// SPDX-License-Identifier: Apache-2.0
#pragma once
#include "ui/msgbox.h"

namespace corvanty {

// Shows message boxes as Qt message boxes with the style's buttons and icon.
class QtPrompter : public Prompter {
 public:
  int Ask(const MessageBoxRequest& request) override;
};

}  // namespace corvanty
