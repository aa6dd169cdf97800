#include "app/dialogs/image_transfer_dialog.h"

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/action_button.h"
#include "app/chosen_file_label.h"
#include "app/labelled_edit.h"
#include "app/prompts.h"

namespace selvarex {

namespace {

QAction* NewAction(QObject* owner, const char* objectName, const QString& text) {
  auto* action = new QAction(text, owner);
  action->setObjectName(QString::fromLatin1(objectName));
  return action;
}

QPushButton* NewButton(QWidget* parent, const char* objectName, const QRect& geometry, QAction* action) {
  auto* button = new QPushButton(parent);
  button->setObjectName(QString::fromLatin1(objectName));
  button->setGeometry(geometry);
  BindButtonToAction(button, action);
  return button;
}

}  // namespace

ImageTransferDialog::ImageTransferDialog(Prompts& prompts, const ImageTransferLayout& layout)
    : QDialog(nullptr), prompts_(prompts), okRule_(layout.okRule) {
  setWindowTitle(QString::fromLatin1(layout.title));
  setFixedSize(layout.size);

  const LabelledEdit address = AddLabelledEdit(this, "edtAddress", QStringLiteral("Address (decimal)"), 16, 32, 121);
  lblAddress = address.label;
  edtAddress = address.edit;
  const LabelledEdit size =
      AddLabelledEdit(this, "edtSize", QString::fromLatin1(layout.sizeCaption), layout.sizeX, 32, layout.sizeWidth);
  lblSize = size.label;
  edtSize = size.edit;

  chooseFile_ = NewAction(this, layout.chooseFileName, QStringLiteral("Select File"));
  const auto newOk = [&] { actOk = NewAction(this, "actOk", QString::fromLatin1(layout.okText)); };
  const auto newCancel = [&] { actCancel = NewAction(this, "actCancel", QStringLiteral("Cancel")); };
  if (layout.cancelFirst) {
    newCancel();
    newOk();
  } else {
    newOk();
    newCancel();
  }

  Button1 = NewButton(this, "Button1", layout.chooseFileButton, chooseFile_);
  lblFileName = NewChosenFileLabel(this, layout.fileLabelAt.x(), layout.fileLabelAt.y(), layout.fileLabelWidth);
  const auto newOkButton = [&] {
    Button2 = NewButton(this, "Button2", layout.okButton, actOk);
    Button2->setDefault(true);
  };
  const auto newCancelButton = [&] { Button3 = NewButton(this, "Button3", layout.cancelButton, actCancel); };
  if (layout.cancelFirst) {
    newCancelButton();
    newOkButton();
  } else {
    newOkButton();
    newCancelButton();
  }

  fileDialog_ = layout.newFileDialog(this);

  QPushButton* const second = layout.cancelFirst ? Button3 : Button2;
  QPushButton* const last = layout.cancelFirst ? Button2 : Button3;
  setTabOrder(edtAddress, edtSize);
  setTabOrder(edtSize, Button1);
  setTabOrder(Button1, second);
  setTabOrder(second, last);

  connect(actOk, &QAction::triggered, this, [this] { done(QDialog::Accepted); });
  connect(actCancel, &QAction::triggered, this, [this] { done(QDialog::Rejected); });
  connect(chooseFile_, &QAction::triggered, this, &ImageTransferDialog::actChooseFileExecute);
  connect(edtAddress, &QLineEdit::textChanged, this, &ImageTransferDialog::actOkUpdate);
  connect(edtSize, &QLineEdit::textChanged, this, &ImageTransferDialog::actOkUpdate);
  actOkUpdate();
}

ImageTransferDialog::~ImageTransferDialog() = default;

void ImageTransferDialog::SetAddress(std::int32_t value) { SetFieldValue(edtAddress, value); }
void ImageTransferDialog::SetSize(std::int32_t value) { SetFieldValue(edtSize, value); }
std::int32_t ImageTransferDialog::Address() const { return FieldValue(edtAddress); }
std::int32_t ImageTransferDialog::Size() const { return FieldValue(edtSize); }

void ImageTransferDialog::actChooseFileExecute() {
  // A cancelled file dialog keeps the earlier choice.
  if (prompts_.ExecDialog(*fileDialog_) != QDialog::Accepted) return;
  const QStringList chosen = fileDialog_->selectedFiles();
  if (chosen.isEmpty()) return;
  FFileName = chosen.first();
  ShowChosenFile(lblFileName, FFileName);
  actOkUpdate();
}

void ImageTransferDialog::actOkUpdate() {
  actOk->setEnabled(okRule_(edtAddress->text().toStdString(), edtSize->text().toStdString(), FFileName.toStdString()));
}

}  // namespace selvarex
