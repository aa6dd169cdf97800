#include "app/image_file_dialogs.h"

#include <QFileDialog>

namespace selvarex {

ImageFileDialogs::ImageFileDialogs() = default;
ImageFileDialogs::~ImageFileDialogs() = default;

QFileDialog& ImageFileDialogs::Save() {
  if (!save_) {
    save_ = std::make_unique<QFileDialog>();
    save_->setObjectName(QStringLiteral("SaveDialog1"));
    save_->setAcceptMode(QFileDialog::AcceptSave);
    // An existing image is replaced without a question.
    save_->setOption(QFileDialog::DontConfirmOverwrite, true);
  }
  // The folder stays where the operator left it; the name does not.
  save_->selectFile(QString());
  return *save_;
}

QFileDialog& ImageFileDialogs::Open() {
  if (!open_) {
    open_ = std::make_unique<QFileDialog>();
    open_->setObjectName(QStringLiteral("OpenDialog1"));
    open_->setAcceptMode(QFileDialog::AcceptOpen);
  }
  open_->selectFile(QString());
  return *open_;
}

}  // namespace selvarex
