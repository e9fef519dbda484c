#pragma once
// A guide dialog that is not built yet: it opens, names the guide and mode
// it was handed, and closes.
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "guides/currentguide.h"
#include "ui/forms/form.h"
#include "ui/forms/positionform.h"

namespace corvanty {

template <class Traits>
class PlaceholderForm : public SingleInstanceForm<PlaceholderForm<Traits>> {
 public:
  PlaceholderForm() {
    this->setObjectName(Traits::kName);
    this->setWindowTitle(Traits::kCaption);
    auto* layout = new QVBoxLayout(this);
    lblGuide = new QLabel(this);
    lblGuide->setObjectName("lblGuide");
    layout->addWidget(lblGuide);
    layout->addWidget(new QLabel("This dialog is not available in this version.", this));
    auto* close = new QPushButton("Close", this);
    close->setObjectName("cmdClose");
    layout->addWidget(close);
    QObject::connect(close, &QPushButton::clicked, this, [this] { this->Unload(); });
  }

  QLabel* lblGuide;

 protected:
  void Form_Load() override {
    PositionForm(*this);
    lblGuide->setText(QString("Guide %1, mode %2")
                          .arg(basCorvantyAdmin::gintDSGID)
                          .arg(QString::fromStdString(basCorvantyAdmin::gstrDSGMode)));
    // A form the menu only loads shows itself from its load.
    if (Traits::kShowsItself) this->show();
  }
};

}  // namespace corvanty
