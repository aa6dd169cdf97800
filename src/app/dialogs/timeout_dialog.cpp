#include "app/dialogs/timeout_dialog.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/action_button.h"
#include "app/labelled_edit.h"
#include "device/timeout_rule.h"

namespace selvarex {

TfrmTimeout::TfrmTimeout(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Timeout settings"));
  setFixedSize(252, 127);

  const LabelledEdit rx = AddLabelledEdit(this, "edtRx", QStringLiteral("Rx timeout"), 24, 34, 73);
  lblRx = rx.label;
  edtRx = rx.edit;
  const LabelledEdit tx = AddLabelledEdit(this, "edtTx", QStringLiteral("Tx timout"), 155, 34, 73);
  lblTx = tx.label;
  edtTx = tx.edit;

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
void TfrmTimeout::SetRxTimeout(std::int32_t value) { SetFieldValue(edtRx, value); }
std::int32_t TfrmTimeout::TxTimeout() const { return FieldValue(edtTx); }
void TfrmTimeout::SetTxTimeout(std::int32_t value) { SetFieldValue(edtTx, value); }

void TfrmTimeout::actOkExecute() { done(QDialog::Accepted); }
void TfrmTimeout::actCancelExecute() { done(QDialog::Rejected); }

void TfrmTimeout::actOkUpdate() {
  actOk->setEnabled(TimeoutOkEnabled(edtRx->text().toStdString(), edtTx->text().toStdString()));
}

}  // namespace selvarex
