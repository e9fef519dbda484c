// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>

class QListWidget;

namespace corvanty::basCorvantyAdmin {

// Moves the selected entry of one list to the end of the other, with its
// item data: "Right" from lstLeft to lstRight, "Left" back; any other
// direction (compared exactly) does nothing. The source list is left with no
// selection. The caller makes sure the source list has a selection.
void MoveListItems(QListWidget& lstLeft, QListWidget& lstRight, const std::string& strDirection);

}  // namespace corvanty::basCorvantyAdmin
