#include <QApplication>
#include <QDialog>
#include <QMessageBox>

#include "app/prompts.h"

namespace selvarex {

namespace {

class QtPrompts : public Prompts {
 public:
  void ShowError(QWidget* parent, const QString& text) override {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Selvarex"), text, QMessageBox::Ok, parent);
    box.exec();
  }

  void ShowMessage(QWidget* parent, const QString& text) override {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Selvarex"), text, QMessageBox::Ok, parent);
    box.exec();
  }

  int ExecDialog(QDialog& dialog) override { return dialog.exec(); }

  void Beep() override { QApplication::beep(); }
};

}  // namespace

Prompts& DefaultPrompts() {
  static QtPrompts prompts;
  return prompts;
}

}  // namespace selvarex
