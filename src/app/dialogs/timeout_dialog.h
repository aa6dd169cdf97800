// The "Timeout settings" dialog of Set Timeout.
#pragma once

#include <QDialog>

#include <cstdint>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;

namespace selvarex {

class TfrmTimeout : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmTimeout(QWidget* parent = nullptr);

  // Reading converts the field's text; the OK rule guarantees it converts
  // once the dialog closed with OK.
  std::int32_t RxTimeout() const;
  void SetRxTimeout(std::int32_t value);
  std::int32_t TxTimeout() const;
  void SetTxTimeout(std::int32_t value);

  QLabel* lblRx;
  QLineEdit* edtRx;
  QLabel* lblTx;
  QLineEdit* edtTx;
  QPushButton* Button1;
  QPushButton* Button2;
  QAction* actOk;
  QAction* actCancel;

 private:
  void actOkExecute();
  void actCancelExecute();
  void actOkUpdate();
};

}  // namespace selvarex
