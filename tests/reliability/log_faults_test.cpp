// A log that cannot be written: its folder missing, a directory where the
// file should be, a full disk. The operator's read, erase and write go on
// exactly as with a working log: same closing messages, same image, same chip.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "log_shape.h"
#include "open_files.h"
#include "reliability_window.h"
#include "transfer/operation_log.h"

namespace selvarex::test {
namespace {

namespace fs = std::filesystem;
using A = ActionId;

constexpr std::uint32_t kBlocks = 8;

class LogFaults : public ReliabilityWindow {
 protected:
  void SetUp() override {
    ReliabilityWindow::SetUp();
    GoSelected(0);
  }
  void UseLog(const std::string& path) {
    LogSettings settings;
    settings.path = path;
    window->SetLogSettings(settings);
  }
  // Read a range into an image, erase it, write the image back.
  struct RoundTrip {
    std::vector<std::string> messages;
    std::string image;
    std::vector<std::vector<std::uint8_t>> chip;
  };
  RoundTrip Run() {
    Sim().SimCtl_SetBlockCount(0, 12);
    Sim().SimCtl_SetMarker(0, 3, 0x00);
    const QString size = QString::number(kBlocks * kBlockBytes);
    AnswerParameters("0", size, QFilePath("dump.bin"));
    AnswerParameters("0", QString::number(kBlocks));
    AnswerParameters("0", size, QFilePath("dump.bin"));
    const Outcome run = Record([&] {
      Execute(A::actFlashRead);
      Execute(A::actFlashEraseSector);
      Execute(A::actFlashProgram);
    });
    EXPECT_EQ(run.errors, std::vector<std::string>{});
    EXPECT_EQ(OpenFilesUnder(dir_.path()), std::vector<std::string>{});
    RoundTrip trip{run.messages, {}, {}};
    std::ifstream image(FilePath("dump.bin"), std::ios::binary);
    trip.image.assign(std::istreambuf_iterator<char>(image), {});
    for (std::uint32_t b = 0; b < 12; ++b) trip.chip.push_back(ChipBlock(0, b));
    return trip;
  }
};

TEST_F(LogFaults, ALogThatCannotBeWrittenChangesNothingElse) {
  const RoundTrip reference = Run();
  ASSERT_EQ(reference.messages.size(), 3u);
  ASSERT_EQ(reference.image.size(), std::size_t{kBlocks} * kBlockBytes);
  ASSERT_EQ(ParseLogFile(LogPath()).sections.size(), 3u);

  fs::create_directory(FilePath("log-is-a-folder"));
  std::vector<std::string> paths = {FilePath("no-such-folder/DravolinLog.txt"), FilePath("log-is-a-folder")};
  if (fs::exists("/dev/full")) paths.push_back("/dev/full");  // every write fails: no space left
  for (const std::string& path : paths) {
    SCOPED_TRACE(path);
    UseLog(path);
    const RoundTrip trip = Run();
    EXPECT_EQ(trip.messages, reference.messages);
    EXPECT_TRUE(trip.image == reference.image);
    EXPECT_TRUE(trip.chip == reference.chip);
    EXPECT_TRUE(window->RunIdlePass());
  }
  EXPECT_FALSE(fs::exists(FilePath("no-such-folder")));
  EXPECT_TRUE(fs::is_empty(FilePath("log-is-a-folder")));

  // The log replaced by a folder between two runs, then given back.
  UseLog(LogPath());
  fs::remove(LogPath());
  fs::create_directory(LogPath());
  EXPECT_EQ(Run().messages, reference.messages);
  fs::remove(LogPath());
  EXPECT_EQ(Run().messages, reference.messages);
  const LogShape log = ParseLogFile(LogPath());
  EXPECT_EQ(log.error, "");
  EXPECT_EQ(log.sections.size(), 3u);
}

}  // namespace
}  // namespace selvarex::test
