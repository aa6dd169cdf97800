// What "Flash Read" and "Flash Write" share: the address and size fields, a
// button that picks the image file, the chosen file's name, and an OK that
// waits for both numbers and a file. Each dialog gives its own layout.
#pragma once

#include <QDialog>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>
#include <string_view>

class QAction;
class QFileDialog;
class QLabel;
class QLineEdit;
class QPushButton;

namespace selvarex {

class Prompts;

// Where a dialog puts the shared parts, their texts, and its own rules.
struct ImageTransferLayout {
  const char* title;
  QSize size;
  const char* sizeCaption;
  int sizeX;
  int sizeWidth;
  const char* chooseFileName;  // object name of the "Select File" action
  const char* okText;
  QRect chooseFileButton;
  QPoint fileLabelAt;
  int fileLabelWidth;
  QRect okButton;
  QRect cancelButton;
  // Cancel comes before OK, in creation and tab order.
  bool cancelFirst;
  QFileDialog* (*newFileDialog)(QWidget* owner);
  bool (*okRule)(std::string_view address, std::string_view size, std::string_view fileName);
};

class ImageTransferDialog : public QDialog {
  Q_OBJECT

 public:
  ~ImageTransferDialog() override;

  void SetAddress(std::int32_t value);
  void SetSize(std::int32_t value);
  // The fields as numbers; valid once the dialog closed with OK.
  std::int32_t Address() const;
  std::int32_t Size() const;
  // The name last accepted in the file dialog; empty until then.
  QString FileName() const { return FFileName; }

  QLabel* lblAddress;
  QLineEdit* edtAddress;
  QLabel* lblSize;
  QLineEdit* edtSize;
  QPushButton* Button1;  // picks the file
  QPushButton* Button2;  // OK
  QPushButton* Button3;  // Cancel
  QAction* actOk;
  QAction* actCancel;

 protected:
  ImageTransferDialog(Prompts& prompts, const ImageTransferLayout& layout);

  QAction* chooseFile_ = nullptr;
  QFileDialog* fileDialog_ = nullptr;

 private:
  void actChooseFileExecute();
  void actOkUpdate();

  Prompts& prompts_;
  bool (*okRule_)(std::string_view address, std::string_view size, std::string_view fileName);
  QString FFileName;
  QLabel* lblFileName = nullptr;
};

}  // namespace selvarex
