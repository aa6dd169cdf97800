// "Flash Write": address, size and the image file to write from.
#pragma once

#include "app/dialogs/image_transfer_dialog.h"

namespace selvarex {

class TfrmFlashWrite : public ImageTransferDialog {
  Q_OBJECT

 public:
  explicit TfrmFlashWrite(Prompts& prompts);
  ~TfrmFlashWrite() override;

  QAction* actReadFromFile;
  QFileDialog* OpenDialog1;
};

}  // namespace selvarex
