// "Flash Read": address, size and the image file to create.
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

class TfrmFlashRead : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmFlashRead(Prompts& prompts);
  ~TfrmFlashRead() override;

  void SetAddress(std::int32_t value);
  void SetSize(std::int32_t value);
  // The fields as numbers; valid once the dialog closed with Ok.
  std::int32_t Address() const;
  std::int32_t Size() const;
  // The name last accepted in the save dialog; empty until then.
  QString FileName() const { return FFileName; }

  QLabel* lblAddress;
  QLineEdit* edtAddress;
  QLabel* lblSize;
  QLineEdit* edtSize;
  QPushButton* Button1;
  QPushButton* Button3;
  QPushButton* Button2;
  QAction* actWriteToFile;
  QAction* actCancel;
  QAction* actOk;
  QFileDialog* SaveDialog1;

 private:
  void actOkExecute();
  void actCancelExecute();
  void actWriteToFileExecute();
  void actOkUpdate();

  Prompts& prompts_;
  QString FFileName;
  QLabel* lblFileName = nullptr;
};

}  // namespace selvarex
