#include "app/labelled_edit.h"

#include <QLabel>
#include <QLineEdit>

#include "device/decimal_input.h"

namespace selvarex {

namespace {

constexpr int kLabelHeight = 16;
constexpr int kEditHeight = 24;

}  // namespace

LabelledEdit AddLabelledEdit(QWidget* parent, const char* objectName, const QString& caption, int x, int y, int width) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(objectName));
  edit->setGeometry(x, y, width, kEditHeight);
  auto* label = new QLabel(caption, parent);
  label->setObjectName(QString::fromLatin1(objectName) + QStringLiteral("Label"));
  label->setGeometry(x, y - kLabelHeight - 2, width + 40, kLabelHeight);
  label->setBuddy(edit);
  return LabelledEdit{label, edit};
}

std::int32_t FieldValue(const QLineEdit* edit) { return StrToInt32(edit->text().toStdString()).value_or(-1); }

void SetFieldValue(QLineEdit* edit, std::int32_t value) { edit->setText(QString::number(value)); }

}  // namespace selvarex
