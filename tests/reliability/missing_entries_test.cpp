// Every command driven through the window against a library that lacks entry
// points: each single one, the counter, the entries some command calls
// without its rule testing them, the whole flash level, and all of them. The
// program must never call through a missing entry (that would crash here),
// refuse only with an error naming what is missing, and show no garbage.
#include <QDir>
#include <fstream>
#include <iostream>

#include "open_files.h"
#include "reliability_window.h"

namespace selvarex::test {
namespace {

using A = ActionId;
using drav::Entry;

std::vector<std::string> Variants() {
  std::vector<std::string> variants;
  for (const char* name : drav::kEntryNames) variants.push_back(std::string("without_") + name);
  for (const char* multi : {"without_counter", "without_unguarded", "without_flash_level", "without_all"})
    variants.push_back(multi);
  return variants;
}

bool Printable(const QString& text) {
  if (text.isEmpty()) return false;
  for (const QChar c : text)
    if (c.unicode() < 0x20 || c.unicode() > 0x7E) return false;
  return true;
}

class MissingEntries : public ReliabilityWindow, public ::testing::WithParamInterface<std::string> {
 protected:
  MissingEntries() : ReliabilityWindow(GetParam()) {}

  std::vector<std::string> Missing() const {
    std::vector<std::string> missing;
    for (std::size_t i = 0; i < drav::kEntryCount; ++i)
      if (!window->Library().Has(static_cast<Entry>(i))) missing.push_back(drav::kEntryNames[i]);
    return missing;
  }
  // Every value label of the window shows a readable text.
  void ExpectReadableLabels() {
    for (const char* name : kValueLabels) {
      const QLabel* label = Label(*window, name);
      EXPECT_TRUE(Printable(label->text())) << name << ": " << label->text().toStdString();
    }
  }
  // Runs the command when the window offers it; false when it is disabled.
  bool RunIfEnabled(A id) {
    window->RunIdlePass();
    if (!Enabled(id)) return false;
    const QString size = QString::number(4 * kBlockBytes);
    if (id == A::actFlashRead) AnswerParameters("0", size, QFilePath("dump.bin"));
    if (id == A::actFlashProgram) AnswerParameters("0", size, QFilePath("image.bin"));
    if (id == A::actFlashEraseSector) AnswerParameters("0", "4");
    if (id == A::actDravolinSetTimeOut) AnswerTimeout("100", "200");
    Execute(id);
    prompts.answers.clear();  // a refused command never opened its dialog
    return true;
  }
};

TEST_P(MissingEntries, EveryCommandCopesWithTheIncompleteLibrary) {
  {
    // An image of four good blocks for the writing process.
    std::ofstream image(FilePath("image.bin"), std::ios::binary);
    std::vector<char> block(kBlockBytes, '\x5A');
    block[nand::kMarkerOffset] = '\xFF';
    for (int b = 0; b < 4; ++b) image.write(block.data(), kBlockBytes);
  }
  ASSERT_TRUE(RunIfEnabled(A::actDLLLoad));
  const std::vector<std::string> missing = Missing();
  if (GetParam().rfind("without_Drav", 0) == 0 || GetParam() == "without_GetFlashID")
    ASSERT_EQ(missing, std::vector<std::string>{GetParam().substr(8)});
  Sim().SimCtl_SetBlockCount(0, 8);
  Sim().SimCtl_SetMarker(0, 2, 0x00);

  std::vector<std::string> ran;
  if (RunIfEnabled(A::actDravolinConnect)) ran.push_back("Connect");
  if (FlashSelector(*window)->isEnabled()) PickFlash(0);
  for (const ActionInfo& info : ActionTable()) {
    if (info.id == A::actDLLLoad || info.id == A::actDLLUnload || info.id == A::actDravolinConnect ||
        info.id == A::actDravolinDisconnect || info.id == A::actDevSetWriteVerify)
      continue;
    if (RunIfEnabled(info.id)) ran.push_back(info.name);
  }
  if (RunIfEnabled(A::actDravolinDisconnect)) ran.push_back("Disconnect");
  ExpectReadableLabels();
  ASSERT_TRUE(RunIfEnabled(A::actDLLUnload));
  EXPECT_FALSE(window->IsDLLOpen());

  // A command may only refuse for an entry the library lacks.
  for (const std::string& error : prompts.errors) {
    bool namesMissing = false;
    for (const std::string& entry : missing) namesMissing |= error.find(entry) != std::string::npos;
    EXPECT_TRUE(namesMissing) << error;
  }
  EXPECT_EQ(prompts.unexpectedDialogs, 0);
  EXPECT_EQ(OpenFilesUnder(dir_.path()), std::vector<std::string>{});
  // Entries no command calls take nothing away.
  if (GetParam() == "without_GetFlashID" || GetParam() == "without_DravDevSetWVerify") {
    EXPECT_EQ(ran.size(), 15u);
    EXPECT_EQ(prompts.errors, std::vector<std::string>{});
  }
  std::string list;
  for (const std::string& name : ran) list += " " + name;
  std::cout << "[ commands ] " << GetParam() << ":" << (ran.empty() ? " none enabled" : list) << "\n";
}

INSTANTIATE_TEST_SUITE_P(Variants, MissingEntries, ::testing::ValuesIn(Variants()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace
}  // namespace selvarex::test
