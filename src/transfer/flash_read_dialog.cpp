#include "transfer/flash_read_dialog.h"

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/action_button.h"
#include "app/chosen_file_label.h"
#include "app/image_file_dialog.h"
#include "app/prompts.h"
#include "transfer/dialog_rules.h"
#include "app/labelled_edit.h"

namespace selvarex {

TfrmFlashRead::TfrmFlashRead(Prompts& prompts)
    : QDialog(nullptr), prompts_(prompts) {
  setWindowTitle(QStringLiteral("Flash Read"));
  setFixedSize(298, 153);

  const LabelledEdit address =
      AddLabelledEdit(this, "edtAddress", QStringLiteral("Address (decimal)"), 16, 32, 121);
  lblAddress = address.label;
  edtAddress = address.edit;
  const LabelledEdit size =
      AddLabelledEdit(this, "edtSize", QStringLiteral("Byte to Read (decimal)"), 161, 32, 121);
  lblSize = size.label;
  edtSize = size.edit;

  actWriteToFile = new QAction(QStringLiteral("Select File"), this);
  actWriteToFile->setObjectName(QStringLiteral("actWriteToFile"));
  actCancel = new QAction(QStringLiteral("Cancel"), this);
  actCancel->setObjectName(QStringLiteral("actCancel"));
  actOk = new QAction(QStringLiteral("Ok"), this);
  actOk->setObjectName(QStringLiteral("actOk"));

  Button1 = new QPushButton(this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(16, 72, 121, 27);
  BindButtonToAction(Button1, actWriteToFile);
  lblFileName = NewChosenFileLabel(this, 161, 72, 121);
  Button3 = new QPushButton(this);
  Button3->setObjectName(QStringLiteral("Button3"));
  Button3->setGeometry(16, 112, 121, 27);
  BindButtonToAction(Button3, actCancel);
  Button2 = new QPushButton(this);
  Button2->setObjectName(QStringLiteral("Button2"));
  Button2->setGeometry(161, 112, 121, 27);
  Button2->setDefault(true);
  BindButtonToAction(Button2, actOk);

  SaveDialog1 = NewImageSaveDialog(this);

  setTabOrder(edtAddress, edtSize);
  setTabOrder(edtSize, Button1);
  setTabOrder(Button1, Button3);
  setTabOrder(Button3, Button2);

  connect(actOk, &QAction::triggered, this, &TfrmFlashRead::actOkExecute);
  connect(actCancel, &QAction::triggered, this, &TfrmFlashRead::actCancelExecute);
  connect(actWriteToFile, &QAction::triggered, this, &TfrmFlashRead::actWriteToFileExecute);
  connect(edtAddress, &QLineEdit::textChanged, this, &TfrmFlashRead::actOkUpdate);
  connect(edtSize, &QLineEdit::textChanged, this, &TfrmFlashRead::actOkUpdate);
  actOkUpdate();
}

TfrmFlashRead::~TfrmFlashRead() = default;

void TfrmFlashRead::SetAddress(std::int32_t value) { SetFieldValue(edtAddress, value); }
void TfrmFlashRead::SetSize(std::int32_t value) { SetFieldValue(edtSize, value); }
std::int32_t TfrmFlashRead::Address() const { return FieldValue(edtAddress); }
std::int32_t TfrmFlashRead::Size() const { return FieldValue(edtSize); }

void TfrmFlashRead::actOkExecute() { done(QDialog::Accepted); }
void TfrmFlashRead::actCancelExecute() { done(QDialog::Rejected); }

void TfrmFlashRead::actWriteToFileExecute() {
  // A cancelled save dialog keeps the earlier choice.
  if (prompts_.ExecDialog(*SaveDialog1) != QDialog::Accepted) return;
  const QStringList chosen = SaveDialog1->selectedFiles();
  if (chosen.isEmpty()) return;
  FFileName = chosen.first();
  ShowChosenFile(lblFileName, FFileName);
  actOkUpdate();
}

void TfrmFlashRead::actOkUpdate() {
  actOk->setEnabled(FlashReadOkEnabled(edtAddress->text().toStdString(),
                                       edtSize->text().toStdString(), FFileName.toStdString()));
}

}  // namespace selvarex
