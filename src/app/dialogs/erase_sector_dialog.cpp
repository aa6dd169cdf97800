#include "app/dialogs/erase_sector_dialog.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/action_button.h"
#include "app/labelled_edit.h"
#include "transfer/dialog_rules.h"

namespace selvarex {

TfrmEraseSector::TfrmEraseSector(Prompts&) : QDialog(nullptr) {
  setWindowTitle(QStringLiteral("Address to Erase"));
  setFixedSize(305, 139);

  actOk = new QAction(QStringLiteral("Ok"), this);
  actOk->setObjectName(QStringLiteral("actOk"));
  actCancel = new QAction(QStringLiteral("Cancel"), this);
  actCancel->setObjectName(QStringLiteral("actCancel"));
  Button1 = new QPushButton(this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(16, 96, 75, 27);
  Button1->setDefault(true);
  BindButtonToAction(Button1, actOk);
  Button2 = new QPushButton(this);
  Button2->setObjectName(QStringLiteral("Button2"));
  Button2->setGeometry(214, 96, 75, 27);
  BindButtonToAction(Button2, actCancel);

  const LabelledEdit address = AddLabelledEdit(this, "edtAddress", QStringLiteral("Address (decimal)"), 16, 52, 110);
  lblAddress = address.label;
  edtAddress = address.edit;
  const LabelledEdit number =
      AddLabelledEdit(this, "edtNrSectors", QStringLiteral("(1 Sector = 135168 bytes)"), 136, 52, 153);
  lblNrSectors = number.label;
  edtNrSectors = number.edit;
  Label1 = new QLabel(QStringLiteral("Nr. Sectors to Erase"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setGeometry(136, 16, 169, 16);

  setTabOrder(Button1, Button2);
  setTabOrder(Button2, edtAddress);
  setTabOrder(edtAddress, edtNrSectors);

  connect(actOk, &QAction::triggered, this, &TfrmEraseSector::actOkExecute);
  connect(actCancel, &QAction::triggered, this, &TfrmEraseSector::actCancelExecute);
  connect(edtAddress, &QLineEdit::textChanged, this, &TfrmEraseSector::actOkUpdate);
  connect(edtNrSectors, &QLineEdit::textChanged, this, &TfrmEraseSector::actOkUpdate);
  actOkUpdate();
}

void TfrmEraseSector::SetAddress(std::int32_t value) { SetFieldValue(edtAddress, value); }
void TfrmEraseSector::SetNumber(std::int32_t value) { SetFieldValue(edtNrSectors, value); }
std::int32_t TfrmEraseSector::Address() const { return FieldValue(edtAddress); }
std::int32_t TfrmEraseSector::Number() const { return FieldValue(edtNrSectors); }

void TfrmEraseSector::actOkExecute() { done(QDialog::Accepted); }
void TfrmEraseSector::actCancelExecute() { done(QDialog::Rejected); }

void TfrmEraseSector::actOkUpdate() {
  actOk->setEnabled(EraseSectorOkEnabled(edtAddress->text().toStdString(), edtNrSectors->text().toStdString()));
}

}  // namespace selvarex
