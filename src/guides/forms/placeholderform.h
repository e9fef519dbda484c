#pragma once
// A dialog that is not built yet: it opens, names itself and closes.
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/forms/form.h"
#include "shell/forms/positionform.h"

namespace corvanty {

template <class Traits>
class PlaceholderForm : public SingleInstanceForm<PlaceholderForm<Traits>> {
 public:
  PlaceholderForm() {
    this->setObjectName(Traits::kName);
    this->setWindowTitle(Traits::kName);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("This dialog is not available in this version.", this));
    auto* close = new QPushButton("Close", this);
    close->setObjectName("cmdClose");
    layout->addWidget(close);
    QObject::connect(close, &QPushButton::clicked, this, [this] { this->Unload(); });
  }

 protected:
  void Form_Load() override {
    PositionForm(*this);
    // Forms the menu only loads show themselves from their load.
    if (Traits::kShowsItself) this->show();
  }
};

}  // namespace corvanty
