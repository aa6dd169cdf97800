// Test support: message boxes and dialogs answered by the test, never by a
// person. Every box shown is recorded; a dialog without a scripted answer is
// a test failure and is cancelled.
#pragma once

#include <QString>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/prompts.h"

namespace selvarex::test {

class ScriptedPrompts : public Prompts {
 public:
  using DialogAnswer = std::function<int(QDialog&)>;

  void ShowError(QWidget* parent, const QString& text) override;
  void ShowMessage(QWidget* parent, const QString& text) override;
  int ExecDialog(QDialog& dialog) override;
  void Beep() override { ++beeps; }

  // Answers for the next dialogs, in order.
  void Answer(DialogAnswer answer) { answers.push_back(std::move(answer)); }
  // Chooses a file in a file dialog and accepts it.
  static DialogAnswer ChooseFile(const QString& path);
  // Answers the next parameter dialog (read, write or erase): its two number
  // fields and, when given, the file chosen through its file dialog.
  void AnswerParameters(const QString& first, const QString& second, const QString& file = {});

  std::vector<std::string> errors;
  std::vector<std::string> messages;
  std::deque<DialogAnswer> answers;
  int beeps = 0;
  int unexpectedDialogs = 0;
  // Called when a box is shown, e.g. to act while the box would be open.
  std::function<void()> onBox;
};

}  // namespace selvarex::test
