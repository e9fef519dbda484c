// SPDX-License-Identifier: Apache-2.0
#include "guides/forms/guidechooser.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>

#include "connections/connectionstore.h"
#include "connections/sqlerrorreport.h"
#include "ui/forms/controls.h"

namespace corvanty {

GuideChooser MakeGuideChooser(QWidget& dialog) {
  GuideChooser chooser{};
  chooser.Frame1 = new QGroupBox(&dialog);
  chooser.Frame1->setObjectName("Frame1");
  chooser.Label1 = NewLabel("Label1", "Available Search Guides :", chooser.Frame1);
  chooser.Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  chooser.cmbAvailableDSG = new QComboBox(chooser.Frame1);
  chooser.cmbAvailableDSG->setObjectName("cmbAvailableDSG");
  chooser.cmbAvailableDSG->setEditable(false);
  chooser.cmbAvailableDSG->setMinimumWidth(240);
  auto* row = new QHBoxLayout(chooser.Frame1);
  row->addWidget(chooser.Label1);
  row->addWidget(chooser.cmbAvailableDSG, 1);
  return chooser;
}

std::optional<std::vector<GuideEntry>> ListGuidesReportingErrors() {
  try {
    rdo::rdoConnection connection = rdo::rdoConnection::Open(basCorvantyAdmin::gstrConnect);
    return ListGuides(connection);
  } catch (const std::exception& error) {
    ReportDialogError(error);
    return std::nullopt;
  }
}

void FillGuideList(QComboBox& list, const std::vector<GuideEntry>& guides) {
  for (const GuideEntry& guide : guides)
    list.addItem(QString::fromStdString(guide.name), static_cast<int>(guide.id));
  if (!guides.empty()) list.setCurrentIndex(0);
}

int32_t SelectedGuideId(const QComboBox& list) {
  return static_cast<int32_t>(list.currentData().toInt());
}

}  // namespace corvanty
