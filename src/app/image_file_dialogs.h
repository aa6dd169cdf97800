// The open and save dialogs for image files. Building and tearing down a file
// dialog costs tens of milliseconds (its file system model and watcher), so
// the main window makes each once and lends it to every parameter dialog.
#pragma once

#include <memory>

class QFileDialog;

namespace selvarex {

class ImageFileDialogs {
 public:
  ImageFileDialogs();
  ~ImageFileDialogs();

  // Made on first use; each use starts with no file chosen.
  QFileDialog& Save();
  QFileDialog& Open();

 private:
  std::unique_ptr<QFileDialog> save_;
  std::unique_ptr<QFileDialog> open_;
};

}  // namespace selvarex
