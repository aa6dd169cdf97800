// "Flash Write": address, size and the image file to write from.
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>

class QAction;
class QFileDialog;
class QLabel;
class QLineEdit;
class QPushButton;

namespace selvarex {

class Prompts;

class TfrmFlashWrite : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmFlashWrite(Prompts& prompts);
  ~TfrmFlashWrite() override;

  void SetAddress(std::int32_t value);
  void SetSize(std::int32_t value);
  // The fields as numbers; valid once the dialog closed with OK.
  std::int32_t Address() const;
  std::int32_t Size() const;
  // The name last accepted in the open dialog; empty until then.
  QString FileName() const { return FFileName; }

  QLabel* lblAddress;
  QLineEdit* edtAddress;
  QLabel* lblSize;
  QLineEdit* edtSize;
  QPushButton* Button1;
  QPushButton* Button2;
  QPushButton* Button3;
  QAction* actReadFromFile;
  QAction* actOk;
  QAction* actCancel;
  QFileDialog* OpenDialog1;

 private:
  void actOkExecute();
  void actCancelExecute();
  void actReadFromFileExecute();
  void actOkUpdate();

  Prompts& prompts_;
  QString FFileName;
  QLabel* lblFileName = nullptr;
};

}  // namespace selvarex
