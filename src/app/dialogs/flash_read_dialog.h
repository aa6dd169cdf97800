// "Flash Read": address, size and the image file to create.
#pragma once

#include "app/dialogs/image_transfer_dialog.h"

namespace selvarex {

class TfrmFlashRead : public ImageTransferDialog {
  Q_OBJECT

 public:
  explicit TfrmFlashRead(Prompts& prompts);
  ~TfrmFlashRead() override;

  QAction* actWriteToFile;
  // Replaces an existing image without a question.
  QFileDialog* SaveDialog1;
};

}  // namespace selvarex
