// SPDX-License-Identifier: Apache-2.0
#pragma once
// The "Available Search Guides :" frame the selection and deletion dialogs
// share: a right-aligned label and a drop-down list of guides whose item
// data is the guide's DSG_ID.
#include <optional>
#include <vector>

#include "guides/guidestore.h"

class QBoxLayout;
class QComboBox;
class QGroupBox;
class QLabel;
class QWidget;

namespace corvanty {

struct GuideChooser {
  QGroupBox* Frame1;
  QLabel* Label1;
  QComboBox* cmbAvailableDSG;
};

GuideChooser MakeGuideChooser(QWidget& dialog);

// The guides, or nullopt after the error that kept them from being read
// has been shown.
std::optional<std::vector<GuideEntry>> ListGuidesReportingErrors();

// Lists the guides in the order given, the first selected.
void FillGuideList(QComboBox& list, const std::vector<GuideEntry>& guides);

// The DSG_ID of the selected guide.
int32_t SelectedGuideId(const QComboBox& list);

}  // namespace corvanty
