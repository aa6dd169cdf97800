// "Address to Erase": the start address and the end block of a sector erase.
#pragma once

#include <QDialog>
#include <cstdint>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;

namespace selvarex {

class Prompts;

class TfrmEraseSector : public QDialog {
  Q_OBJECT

 public:
  // Shows no dialogs of its own; the parameter keeps the three dialogs alike.
  explicit TfrmEraseSector(Prompts& prompts);

  void SetAddress(std::int32_t value);
  void SetNumber(std::int32_t value);
  // The fields as numbers; valid once the dialog closed with Ok.
  std::int32_t Address() const;
  std::int32_t Number() const;

  QPushButton* Button1;
  QPushButton* Button2;
  QLabel* lblAddress;
  QLineEdit* edtAddress;
  QLabel* Label1;
  QLabel* lblNrSectors;
  QLineEdit* edtNrSectors;
  QAction* actOk;
  QAction* actCancel;

 private:
  void actOkExecute();
  void actCancelExecute();
  void actOkUpdate();
};

}  // namespace selvarex
