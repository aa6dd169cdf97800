#include "app/dialogs/flash_read_dialog.h"

#include "app/image_file_dialog.h"
#include "transfer/dialog_rules.h"

namespace selvarex {

namespace {

const ImageTransferLayout kFlashReadLayout{
    .title = "Flash Read",
    .size = QSize(298, 153),
    .sizeCaption = "Byte to Read (decimal)",
    .sizeX = 161,
    .sizeWidth = 121,
    .chooseFileName = "actWriteToFile",
    .okText = "Ok",
    .chooseFileButton = QRect(16, 72, 121, 27),
    .fileLabelAt = QPoint(161, 72),
    .fileLabelWidth = 121,
    .okButton = QRect(161, 112, 121, 27),
    .cancelButton = QRect(16, 112, 121, 27),
    .cancelFirst = true,
    .newFileDialog = NewImageSaveDialog,
    .okRule = FlashReadOkEnabled,
};

}  // namespace

TfrmFlashRead::TfrmFlashRead(Prompts& prompts)
    : ImageTransferDialog(prompts, kFlashReadLayout), actWriteToFile(chooseFile_), SaveDialog1(fileDialog_) {}

TfrmFlashRead::~TfrmFlashRead() = default;

}  // namespace selvarex
