// "Flash Read": address, size and the image file to create.
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <memory>

class QAction;
class QFileDialog;
class QLabel;
class QLineEdit;
class QPushButton;

namespace selvarex {

class ImageFileDialogs;
class Prompts;

class TfrmFlashRead : public QDialog {
  Q_OBJECT

 public:
  // Without file dialogs of the window's, the dialog makes its own.
  explicit TfrmFlashRead(Prompts& prompts, ImageFileDialogs* fileDialogs = nullptr);
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
  std::unique_ptr<ImageFileDialogs> ownFileDialogs_;
  QString FFileName;
  QLabel* lblFileName = nullptr;
};

}  // namespace selvarex
