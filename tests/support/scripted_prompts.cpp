#include "support/scripted_prompts.h"

#include <QAction>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>

namespace selvarex::test {

void ScriptedPrompts::ShowError(QWidget*, const QString& text) {
  errors.push_back(text.toStdString());
  if (onBox) onBox();
}

void ScriptedPrompts::ShowMessage(QWidget*, const QString& text) {
  messages.push_back(text.toStdString());
  if (onBox) onBox();
}

int ScriptedPrompts::ExecDialog(QDialog& dialog) {
  if (answers.empty()) {
    ++unexpectedDialogs;
    return QDialog::Rejected;
  }
  DialogAnswer answer = std::move(answers.front());
  answers.pop_front();
  return answer(dialog);
}

ScriptedPrompts::DialogAnswer ScriptedPrompts::ChooseFile(const QString& path) {
  return [path](QDialog& dialog) {
    auto* files = qobject_cast<QFileDialog*>(&dialog);
    if (files == nullptr) return static_cast<int>(QDialog::Rejected);
    files->selectFile(path);
    return static_cast<int>(QDialog::Accepted);
  };
}

void ScriptedPrompts::AnswerParameters(const QString& first, const QString& second, const QString& file) {
  Answer([this, first, second, file](QDialog& dialog) {
    dialog.findChild<QLineEdit*>("edtAddress")->setText(first);
    auto* secondField = dialog.findChild<QLineEdit*>("edtSize");
    if (secondField == nullptr) secondField = dialog.findChild<QLineEdit*>("edtNrSectors");
    secondField->setText(second);
    if (!file.isEmpty()) {
      answers.push_front(ChooseFile(file));
      auto* choose = dialog.findChild<QAction*>("actWriteToFile");
      if (choose == nullptr) choose = dialog.findChild<QAction*>("actReadFromFile");
      choose->trigger();
    }
    return static_cast<int>(QDialog::Accepted);
  });
}

}  // namespace selvarex::test
