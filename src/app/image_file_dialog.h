// The open and save dialogs for image files. Each parameter dialog makes its
// own and it goes with it, with everything it owns: a file dialog kept hidden
// for later kept its name-completion popup on the screen.
#pragma once

class QFileDialog;
class QWidget;

namespace selvarex {

// "SaveDialog1": an existing image is replaced without a question.
QFileDialog* NewImageSaveDialog(QWidget* owner);
// "OpenDialog1".
QFileDialog* NewImageOpenDialog(QWidget* owner);

}  // namespace selvarex
