// The files a run leaves behind are the same bytes on every platform the
// program is built for: the log has CR LF line ends on Linux too and no CR CR
// LF on Windows; images are raw there too (no CR put before LF, no stop at
// Ctrl-Z on reading). The suite runs natively and under wine.
#include <gtest/gtest.h>

#include "transfer/dump_reading.h"
#include "transfer/dump_writing.h"
#include "transfer_fixture.h"

namespace selvarex::test {
namespace {

constexpr std::uint32_t kBlocks = 3;

// Bytes a text-mode file would change, among all the others.
std::string TrickyImage() {
  static const char kTextModeBytes[] = {'\n', '\r', '\n', '\x1A', '\0', '\r', '\r', '\n', '\x1A'};
  std::string bytes(kBlocks * B, '\0');
  for (std::uint32_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = i % 3 == 0 ? kTextModeBytes[(i / 3) % sizeof kTextModeBytes] : static_cast<char>(i * 31 + i / 7);
  }
  for (std::uint32_t b = 0; b < kBlocks; ++b) bytes[b * B + nand::kMarkerOffset] = '\xFF';  // good blocks
  return bytes;
}

class SameFilesEverywhere : public TransferTest {};

TEST_F(SameFilesEverywhere, ImageRestoredThenDumpedAndTheirLogAreExactBytes) {
  // Relative names, so the log holds the same text wherever the run happens.
  settings.path = "DravolinLog.txt";
  const std::string image = TrickyImage();
  std::ofstream("image.bin", std::ios::binary).write(image.data(), static_cast<std::streamsize>(image.size()));
  EraseChip(0, kBlocks);

  EXPECT_EQ(SimSession::ErrorOf([&] {
              RunDumpWriting(Target(), {0, static_cast<std::int32_t>(kBlocks * B), "image.bin", true}, host, settings);
            }),
            "");
  std::string chip;
  for (std::uint32_t b = 0; b < kBlocks; ++b) {
    const auto bytes = Chip(b);
    chip.append(bytes.begin(), bytes.end());
  }
  EXPECT_TRUE(chip == image) << "the chip does not hold the image's bytes";

  clock.next = 0;
  EXPECT_EQ(SimSession::ErrorOf([&] {
              RunDumpReading(Target(), {0, static_cast<std::int32_t>(kBlocks * B), "copy.bin"}, host, settings);
            }),
            "");
  const std::string copy = ReadFile("copy.bin");
  EXPECT_EQ(copy.size(), image.size());
  EXPECT_TRUE(copy == image) << "the dump is not the chip's bytes";

  const std::string rule = std::string(72, '-') + "\r\n";
  EXPECT_EQ(ReadFile("DravolinLog.txt"), "\r\n" + rule + "START DUMP WRITING PROCESS: 12/07/08 (14:03:59)\r\n" + rule +
                                             "\r\n> Flash0 NAND dump restored from file: image.bin\r\n\r\n" + rule +
                                             "END DUMP WRITING PROCESS: 12/07/08 (15:00:01)\r\n" + rule + "\r\n" +
                                             rule + "START DUMP READING PROCESS: 12/07/08 (14:03:59)\r\n" + rule +
                                             "\r\n> Flash0 NAND dump saved on file: copy.bin\r\n\r\n" + rule +
                                             "END DUMP READING PROCESS: 12/07/08 (15:00:01)\r\n" + rule);
}

// A folder and a file whose names no 8-bit code page holds, given with "/" as
// the file dialogs give every name: the image is created and read back under
// exactly that name, and the log and the messages write the name the
// system's way.
TEST_F(SameFilesEverywhere, UnicodeNamesOpenAndAreShownTheSystemsWay) {
  const std::filesystem::path folder = s.dir.path() / std::u8string(u8"Δείγμα 日本");
  std::filesystem::create_directory(folder);
  std::u8string folderName = folder.u8string();
  std::replace(folderName.begin(), folderName.end(), u8'\\', u8'/');
  const std::string dump = std::string(folderName.begin(), folderName.end()) + "/ダンプ Ω.bin";
  const std::string absent = std::string(folderName.begin(), folderName.end()) + "/Ωμέγα.bin";
  settings.path = "DravolinLog.txt";

  EXPECT_EQ(SimSession::ErrorOf([&] { RunDumpReading(Target(), {0, 2 * B, dump}, host, settings); }), "");
  const std::filesystem::path created = folder / std::u8string(u8"ダンプ Ω.bin");
  ASSERT_TRUE(std::filesystem::exists(created));
  EXPECT_EQ(std::filesystem::file_size(created), 2u * B);
  EXPECT_EQ(SimSession::ErrorOf([&] { RunDumpWriting(Target(), {0, 2 * B, dump, true}, host, settings); }), "");
  EXPECT_EQ(SimSession::ErrorOf([&] {
              RunDumpWriting(Target(), {0, 2 * B, absent, true}, host, settings);
            }),
            "Cannot open file " + SystemWritten(absent));

  const std::string log = ReadFile("DravolinLog.txt");
  EXPECT_NE(log.find("\r\n> Flash0 NAND dump saved on file: " + SystemWritten(dump) + "\r\n"), std::string::npos)
      << log;
  EXPECT_NE(log.find("\r\n> Flash0 NAND dump restored from file: " + SystemWritten(dump) + "\r\n"), std::string::npos);
}

}  // namespace
}  // namespace selvarex::test
