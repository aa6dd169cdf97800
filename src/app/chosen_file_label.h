// A label that shows which image file a parameter dialog will use, so the
// operator sees the choice before confirming it.
#pragma once

class QLabel;
class QString;
class QWidget;

namespace selvarex {

QLabel* NewChosenFileLabel(QWidget* parent, int x, int y, int width);
// The file's name, shortened in the middle when it does not fit; the whole
// path as the tool tip.
void ShowChosenFile(QLabel* label, const QString& path);

}  // namespace selvarex
