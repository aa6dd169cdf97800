#include "transfer/flash_write_dialog.h"

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

TfrmFlashWrite::TfrmFlashWrite(Prompts& prompts)
    : QDialog(nullptr), prompts_(prompts) {
  setWindowTitle(QStringLiteral("Flash Write"));
  setFixedSize(289, 127);

  const LabelledEdit address =
      AddLabelledEdit(this, "edtAddress", QStringLiteral("Address (decimal)"), 16, 32, 121);
  lblAddress = address.label;
  edtAddress = address.edit;
  const LabelledEdit size =
      AddLabelledEdit(this, "edtSize", QStringLiteral("Byte to Write (decimal)"), 144, 32, 129);
  lblSize = size.label;
  edtSize = size.edit;

  actReadFromFile = new QAction(QStringLiteral("Select File"), this);
  actReadFromFile->setObjectName(QStringLiteral("actReadFromFile"));
  actOk = new QAction(QStringLiteral("OK"), this);
  actOk->setObjectName(QStringLiteral("actOk"));
  actCancel = new QAction(QStringLiteral("Cancel"), this);
  actCancel->setObjectName(QStringLiteral("actCancel"));

  Button1 = new QPushButton(this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(16, 84, 81, 27);
  BindButtonToAction(Button1, actReadFromFile);
  lblFileName = NewChosenFileLabel(this, 16, 58, 257);
  Button2 = new QPushButton(this);
  Button2->setObjectName(QStringLiteral("Button2"));
  Button2->setGeometry(104, 84, 81, 27);
  Button2->setDefault(true);
  BindButtonToAction(Button2, actOk);
  Button3 = new QPushButton(this);
  Button3->setObjectName(QStringLiteral("Button3"));
  Button3->setGeometry(192, 84, 81, 27);
  BindButtonToAction(Button3, actCancel);

  OpenDialog1 = NewImageOpenDialog(this);

  setTabOrder(edtAddress, edtSize);
  setTabOrder(edtSize, Button1);
  setTabOrder(Button1, Button2);
  setTabOrder(Button2, Button3);

  connect(actOk, &QAction::triggered, this, &TfrmFlashWrite::actOkExecute);
  connect(actCancel, &QAction::triggered, this, &TfrmFlashWrite::actCancelExecute);
  connect(actReadFromFile, &QAction::triggered, this, &TfrmFlashWrite::actReadFromFileExecute);
  connect(edtAddress, &QLineEdit::textChanged, this, &TfrmFlashWrite::actOkUpdate);
  connect(edtSize, &QLineEdit::textChanged, this, &TfrmFlashWrite::actOkUpdate);
  actOkUpdate();
}

TfrmFlashWrite::~TfrmFlashWrite() = default;

void TfrmFlashWrite::SetAddress(std::int32_t value) { SetFieldValue(edtAddress, value); }
void TfrmFlashWrite::SetSize(std::int32_t value) { SetFieldValue(edtSize, value); }
std::int32_t TfrmFlashWrite::Address() const { return FieldValue(edtAddress); }
std::int32_t TfrmFlashWrite::Size() const { return FieldValue(edtSize); }

void TfrmFlashWrite::actOkExecute() { done(QDialog::Accepted); }
void TfrmFlashWrite::actCancelExecute() { done(QDialog::Rejected); }

void TfrmFlashWrite::actReadFromFileExecute() {
  // A cancelled open dialog keeps the earlier choice.
  if (prompts_.ExecDialog(*OpenDialog1) != QDialog::Accepted) return;
  const QStringList chosen = OpenDialog1->selectedFiles();
  if (chosen.isEmpty()) return;
  FFileName = chosen.first();
  ShowChosenFile(lblFileName, FFileName);
  actOkUpdate();
}

void TfrmFlashWrite::actOkUpdate() {
  actOk->setEnabled(FlashWriteOkEnabled(edtAddress->text().toStdString(),
                                        edtSize->text().toStdString(), FFileName.toStdString()));
}

}  // namespace selvarex
