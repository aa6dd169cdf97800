// The three parameter dialogs: texts, tab order, OK rule, file choice; the
// file dialogs' icons.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/dialogs/erase_sector_dialog.h"
#include "app/dialogs/flash_read_dialog.h"
#include "app/dialogs/flash_write_dialog.h"
#include "app/icon_caching_style.h"
#include "support/scripted_prompts.h"

namespace selvarex {
namespace {

using test::ScriptedPrompts;

// Caption and client size, then the focusable controls in tab order from
// first: buttons by their text, fields by the label above them.
QStringList Describe(QDialog& dialog, QWidget* first) {
  QStringList seen{dialog.windowTitle(), QString("%1x%2").arg(dialog.width()).arg(dialog.height())};
  QWidget* w = first;
  do {
    if (auto* button = qobject_cast<QPushButton*>(w); button && button->window() == &dialog) seen << button->text();
    for (QLabel* label : dialog.findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
      if (label->buddy() == w) seen << label->text();
    w = w->nextInFocusChain();
  } while (w != first);
  return seen;
}

TEST(TransferDialogs, CaptionsSizesTextsAndTabOrder) {
  ScriptedPrompts prompts;
  TfrmFlashRead read(prompts);
  TfrmFlashWrite write(prompts);
  TfrmEraseSector erase(prompts);
  EXPECT_EQ(Describe(read, read.edtAddress), QStringList({"Flash Read", "298x153", "Address (decimal)",
                                                          "Byte to Read (decimal)", "Select File", "Cancel", "Ok"}));
  EXPECT_EQ(Describe(write, write.edtAddress), QStringList({"Flash Write", "289x127", "Address (decimal)",
                                                            "Byte to Write (decimal)", "Select File", "OK", "Cancel"}));
  EXPECT_EQ(Describe(erase, erase.Button1), QStringList({"Address to Erase", "305x139", "Ok", "Cancel",
                                                         "Address (decimal)", "(1 Sector = 135168 bytes)"}));
  EXPECT_EQ(erase.Label1->text(), "Nr. Sectors to Erase");
  EXPECT_LT(erase.Label1->y(), erase.lblNrSectors->y());
  EXPECT_TRUE(read.SaveDialog1->testOption(QFileDialog::DontConfirmOverwrite));
  EXPECT_TRUE(!read.parentWidget() && !write.parentWidget() && !erase.parentWidget());
}

// Read and write dialogs alike (Button2 is OK in both): OK follows both fields
// and the chosen file; a cancelled file dialog keeps the earlier choice.
template <typename Dialog>
void ExpectOkFollowsFieldsAndFile(QAction* Dialog::*chooseFile) {
  ScriptedPrompts prompts;
  Dialog dialog(prompts);
  dialog.SetAddress(0);
  dialog.SetSize(138412032);
  EXPECT_FALSE(dialog.Button2->isEnabled());
  prompts.Answer(ScriptedPrompts::ChooseFile("/tmp/first.bin"));
  prompts.Answer([](QDialog& files) {
    qobject_cast<QFileDialog*>(&files)->selectFile("/tmp/second.bin");
    return static_cast<int>(QDialog::Rejected);
  });
  for (int i = 0; i < 2; ++i) {
    (dialog.*chooseFile)->trigger();
    EXPECT_EQ(dialog.FileName(), "/tmp/first.bin");
    EXPECT_TRUE(dialog.Button2->isEnabled());
  }
  // A screen reader reads the chosen file's name, described as the image file.
  QAccessibleInterface* shown =
      QAccessible::queryAccessibleInterface(dialog.template findChild<QLabel*>("lblFileName"));
  EXPECT_EQ(shown->text(QAccessible::Name).toStdString(), "first.bin");
  EXPECT_EQ(shown->text(QAccessible::Description).toStdString(), "Image file");
  for (const auto& [address, size, ok] : {std::tuple{"", "1", false},
                                          {"abc", "1", false},
                                          {"-1", "1", false},
                                          {"2147483648", "1", false},
                                          {"1", "-1", false},
                                          {"100", "2147483647", true}}) {
    dialog.edtAddress->setText(address);
    dialog.edtSize->setText(size);
    EXPECT_EQ(dialog.Button2->isEnabled(), ok) << address << "|" << size;
  }
  EXPECT_EQ(std::pair(dialog.Address(), dialog.Size()), std::pair(100, 2147483647));
  dialog.Button2->click();
  EXPECT_EQ(std::pair(dialog.result(), prompts.unexpectedDialogs), std::pair(int{QDialog::Accepted}, 0));
}

TEST(TransferDialogs, FlashReadOkRuleAndFileChoice) { ExpectOkFollowsFieldsAndFile(&TfrmFlashRead::actWriteToFile); }
TEST(TransferDialogs, FlashWriteOkRuleAndFileChoice) { ExpectOkFollowsFieldsAndFile(&TfrmFlashWrite::actReadFromFile); }

TEST(TransferDialogs, EraseOkRuleStopsAtTheLast32BitEndBlock) {
  ScriptedPrompts prompts;
  TfrmEraseSector dialog(prompts);
  dialog.SetAddress(0);
  dialog.SetNumber(1024);
  EXPECT_TRUE(dialog.Button1->isEnabled());
  for (const auto& [address, number, ok] : {std::tuple{"0", "31775", true},
                                            {"0", "31776", false},
                                            {"", "1", false},
                                            {"abc", "1", false},
                                            {"0", "-1", false},
                                            {"1352", "0", true}}) {
    dialog.edtAddress->setText(address);
    dialog.edtNrSectors->setText(number);
    EXPECT_EQ(dialog.Button1->isEnabled(), ok) << address << "|" << number;
  }
  EXPECT_EQ(std::pair(dialog.Address(), dialog.Number()), std::pair(1352, 0));
  dialog.Button2->click();
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

// The file dialogs take their icons from the style, which keeps them once
// made: each kept icon must be the one the style itself draws now, the
// arrows included when the application turns right to left.
TEST(FileDialogIcons, KeptIconsAreTheStylesOwnInEitherDirection) {
  auto* style = qobject_cast<IconCachingStyle*>(QApplication::style());
  ASSERT_NE(style, nullptr) << "the tests run with the program's style";
  // Each image at a size the icon has: asked for another size, Qt scales an
  // image that is not square differently from one call to the next.
  const auto images = [](const QIcon& icon) {
    QList<QImage> seen;
    for (const QSize& size : icon.availableSizes()) seen << icon.pixmap(size).toImage();
    return seen;
  };
  int drawn = 0;
  for (const Qt::LayoutDirection direction : {Qt::LeftToRight, Qt::RightToLeft, Qt::LeftToRight}) {
    QApplication::setLayoutDirection(direction);
    for (int sp = 0; sp <= QStyle::SP_TabCloseButton; ++sp) {
      const auto which = static_cast<QStyle::StandardPixmap>(sp);
      const QList<QImage> own = images(style->baseStyle()->standardIcon(which));
      for (int ask = 0; ask < 2; ++ask) EXPECT_EQ(images(style->standardIcon(which)), own) << sp << " " << direction;
      drawn += own.isEmpty() ? 0 : 1;
    }
  }
  QApplication::setLayoutDirection(Qt::LeftToRight);
  EXPECT_GT(drawn, 60) << "the style drew hardly any icon: the comparison above proves nothing";
  // A style set anew is polished and starts with nothing kept.
  const QIcon before = style->standardIcon(QStyle::SP_ArrowBack);
  style->polish(qApp);
  EXPECT_FALSE(style->standardIcon(QStyle::SP_ArrowBack).cacheKey() == before.cacheKey());
}

}  // namespace
}  // namespace selvarex
