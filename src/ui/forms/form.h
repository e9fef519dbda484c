// SPDX-License-Identifier: Apache-2.0
#pragma once
// The life of a dialog: one instance per form, Load runs Form_Load once,
// Show displays it (modeless unless asked), Unload runs Form_Unload and
// destroys it so that the next use creates it afresh; Tag carries a string.
#include <QDialog>
#include <QString>

namespace corvanty {

class Form : public QDialog {
  Q_OBJECT

 public:
  enum class Modality { Modeless, Modal };

  void Load();
  void Show(Modality modality = Modality::Modeless);
  void Unload();
  bool IsUnloading() const { return unloading_; }

  QString Tag;

 protected:
  Form();
  virtual void Form_Load() {}
  virtual void Form_Unload() {}
  // Escape or the window's close button: the form unloads, unless a form
  // whose Cancel asks first does what its Cancel does instead.
  virtual void Form_QueryUnload() { Unload(); }
  // Forgets the one instance, so the next request makes a new one.
  virtual void Release() = 0;

  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void BeginUnload();
  bool loaded_ = false;
  bool unloading_ = false;
};

// Gives form T its one predeclared instance.
template <class T>
class SingleInstanceForm : public Form {
 public:
  // The instance, created (but not loaded) on first use.
  static T& Instance() {
    if (!instance_) instance_ = new T();
    return *instance_;
  }
  // The instance if one exists, else nullptr.
  static T* Existing() { return instance_; }

 protected:
  void Release() override {
    if (instance_ == this) instance_ = nullptr;
  }

 private:
  static inline T* instance_ = nullptr;
};

}  // namespace corvanty
