#include "device/timeout_dialog.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/action_button.h"
#include "device/decimal_input.h"
#include "device/timeout_rule.h"

namespace selvarex {

namespace {

std::int32_t FieldValue(const QLineEdit* edit) {
  return StrToInt32(edit->text().toStdString()).value_or(-1);
}

}  // namespace

TfrmTimeout::TfrmTimeout(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Timeout settings"));
  setFixedSize(252, 127);

  lblRx = new QLabel(QStringLiteral("Rx timeout"), this);
  lblRx->setGeometry(24, 16, 90, 16);
  edtRx = new QLineEdit(this);
  edtRx->setObjectName(QStringLiteral("edtRx"));
  edtRx->setGeometry(24, 34, 73, 24);
  lblRx->setBuddy(edtRx);

  lblTx = new QLabel(QStringLiteral("Tx timout"), this);
  lblTx->setGeometry(155, 16, 90, 16);
  edtTx = new QLineEdit(this);
  edtTx->setObjectName(QStringLiteral("edtTx"));
  edtTx->setGeometry(155, 34, 73, 24);
  lblTx->setBuddy(edtTx);

  actOk = new QAction(QStringLiteral("OK"), this);
  actCancel = new QAction(QStringLiteral("Cancel"), this);
  Button1 = new QPushButton(this);
  Button1->setGeometry(24, 84, 75, 27);
  Button1->setDefault(true);
  BindButtonToAction(Button1, actOk);
  Button2 = new QPushButton(this);
  Button2->setGeometry(153, 84, 75, 27);
  BindButtonToAction(Button2, actCancel);

  connect(actOk, &QAction::triggered, this, &TfrmTimeout::actOkExecute);
  connect(actCancel, &QAction::triggered, this, &TfrmTimeout::actCancelExecute);
  connect(edtRx, &QLineEdit::textChanged, this, &TfrmTimeout::actOkUpdate);
  connect(edtTx, &QLineEdit::textChanged, this, &TfrmTimeout::actOkUpdate);
  actOkUpdate();
}

std::int32_t TfrmTimeout::RxTimeout() const { return FieldValue(edtRx); }
void TfrmTimeout::SetRxTimeout(std::int32_t value) { edtRx->setText(QString::number(value)); }
std::int32_t TfrmTimeout::TxTimeout() const { return FieldValue(edtTx); }
void TfrmTimeout::SetTxTimeout(std::int32_t value) { edtTx->setText(QString::number(value)); }

void TfrmTimeout::actOkExecute() { done(QDialog::Accepted); }
void TfrmTimeout::actCancelExecute() { done(QDialog::Rejected); }

void TfrmTimeout::actOkUpdate() {
  actOk->setEnabled(TimeoutOkEnabled(edtRx->text().toStdString(), edtTx->text().toStdString()));
}

}  // namespace selvarex
