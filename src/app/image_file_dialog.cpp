#include "app/image_file_dialog.h"

#include <QFileDialog>

namespace selvarex {

QFileDialog* NewImageSaveDialog(QWidget* owner) {
  auto* dialog = new QFileDialog(owner);
  dialog->setObjectName(QStringLiteral("SaveDialog1"));
  dialog->setAcceptMode(QFileDialog::AcceptSave);
  dialog->setOption(QFileDialog::DontConfirmOverwrite, true);
  return dialog;
}

QFileDialog* NewImageOpenDialog(QWidget* owner) {
  auto* dialog = new QFileDialog(owner);
  dialog->setObjectName(QStringLiteral("OpenDialog1"));
  dialog->setAcceptMode(QFileDialog::AcceptOpen);
  return dialog;
}

}  // namespace selvarex
