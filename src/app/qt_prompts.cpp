#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QScreen>

#include "app/prompts.h"
#include "device/platform_loader.h"

namespace selvarex {

namespace {

// The information box sits in the middle of the screen (the one its parent
// window is on), not over its parent.
class CentredMessageBox : public QMessageBox {
 public:
  using QMessageBox::QMessageBox;

 protected:
  void showEvent(QShowEvent* event) override {
    QMessageBox::showEvent(event);  // sizes the box
    const QScreen* screen = parentWidget() != nullptr ? parentWidget()->screen() : this->screen();
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
};

class QtPrompts : public Prompts {
 public:
  void ShowError(QWidget* parent, const QString& text) override {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Selvarex"), text, QMessageBox::Ok, parent);
    box.exec();
  }

  void ShowMessage(QWidget* parent, const QString& text) override {
    CentredMessageBox box(QMessageBox::NoIcon, QStringLiteral("Selvarex"), text, QMessageBox::Ok, parent);
    box.exec();
  }

  int ExecDialog(QDialog& dialog) override { return dialog.exec(); }

  void Beep() override {
    if (!platform::PlayErrorSound()) QApplication::beep();
  }
};

}  // namespace

Prompts& DefaultPrompts() {
  static QtPrompts prompts;
  return prompts;
}

}  // namespace selvarex
