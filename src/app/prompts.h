// Every modal thing the program shows goes through this seam, so that tests
// can answer message boxes and dialogs without a person.
#pragma once

class QDialog;
class QString;
class QWidget;

namespace selvarex {

class Prompts {
 public:
  virtual ~Prompts() = default;
  // The error box: stop icon, OK, the application title as caption.
  virtual void ShowError(QWidget* parent, const QString& text) = 0;
  // The information box: no icon, OK, the application title as caption.
  virtual void ShowMessage(QWidget* parent, const QString& text) = 0;
  // Runs a modal dialog (file dialogs included) and returns its result code.
  virtual int ExecDialog(QDialog& dialog) = 0;
  // The system's error sound.
  virtual void Beep() = 0;
};

// The real boxes and dialogs.
Prompts& DefaultPrompts();

}  // namespace selvarex
