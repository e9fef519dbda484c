// SPDX-License-Identifier: Apache-2.0
#include "guides/forms/movelistitems.h"

#include <QListWidget>

#include "ui/forms/controls.h"

namespace corvanty::basCorvantyAdmin {

namespace {
void MoveSelected(QListWidget& from, QListWidget& to) {
  int index = ListIndex(from);
  if (index < 0) return;
  QListWidgetItem* item = from.takeItem(index);
  to.addItem(item);  // text and item data travel with the item
  from.setCurrentRow(-1);
  from.clearSelection();
}
}  // namespace

void MoveListItems(QListWidget& lstLeft, QListWidget& lstRight, const std::string& strDirection) {
  if (strDirection == "Right")
    MoveSelected(lstLeft, lstRight);
  else if (strDirection == "Left")
    MoveSelected(lstRight, lstLeft);
}

}  // namespace corvanty::basCorvantyAdmin
