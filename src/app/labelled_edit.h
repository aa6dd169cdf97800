// A line edit with its caption label above it, as the parameter dialogs use.
#pragma once

#include <QString>
#include <cstdint>

class QLabel;
class QLineEdit;
class QWidget;

namespace selvarex {

struct LabelledEdit {
  QLabel* label;
  QLineEdit* edit;
};

// The label sits just above the edit at (x, y); its buddy is the edit, so its
// mnemonic (if any) focuses the field.
LabelledEdit AddLabelledEdit(QWidget* parent, const char* objectName, const QString& caption, int x, int y, int width);

// The field's text as a signed 32-bit integer; -1 when it does not convert.
std::int32_t FieldValue(const QLineEdit* edit);
void SetFieldValue(QLineEdit* edit, std::int32_t value);

}  // namespace selvarex
