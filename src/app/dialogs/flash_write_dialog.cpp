#include "app/dialogs/flash_write_dialog.h"

#include "app/image_file_dialog.h"
#include "transfer/dialog_rules.h"

namespace selvarex {

namespace {

const ImageTransferLayout kFlashWriteLayout{
    .title = "Flash Write",
    .size = QSize(289, 127),
    .sizeCaption = "Byte to Write (decimal)",
    .sizeX = 144,
    .sizeWidth = 129,
    .chooseFileName = "actReadFromFile",
    .okText = "OK",
    .chooseFileButton = QRect(16, 84, 81, 27),
    .fileLabelAt = QPoint(16, 58),
    .fileLabelWidth = 257,
    .okButton = QRect(104, 84, 81, 27),
    .cancelButton = QRect(192, 84, 81, 27),
    .cancelFirst = false,
    .newFileDialog = NewImageOpenDialog,
    .okRule = FlashWriteOkEnabled,
};

}  // namespace

TfrmFlashWrite::TfrmFlashWrite(Prompts& prompts)
    : ImageTransferDialog(prompts, kFlashWriteLayout), actReadFromFile(chooseFile_), OpenDialog1(fileDialog_) {}

TfrmFlashWrite::~TfrmFlashWrite() = default;

}  // namespace selvarex
