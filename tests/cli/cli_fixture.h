// Test support for selvarex-cli: a working directory whose Dravolin.dll
// reaches the simulator in this test program, and the files and log the
// program leaves there.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "cli/cli_process.h"
#include "support/relay_server.h"
#include "support/sim_harness.h"
#include "transfer/block_geometry.h"

namespace selvarex::test {

constexpr std::uint32_t B = nand::kBlockSize;

inline std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The log with every time stamp as "MM/DD/YY (HH:MM:SS)": the rest must
// match byte for byte on every system.
inline std::string WithoutStamps(const std::string& log) {
  static const std::regex stamp(R"(\d\d/\d\d/\d\d \(\d\d:\d\d:\d\d\))");
  return std::regex_replace(log, stamp, "MM/DD/YY (HH:MM:SS)");
}

// One log section as the log holds it, stamps masked; without an end text: stopped or aborted.
inline std::string Section(const std::string& start, const std::vector<std::string>& entries,
                           const std::string& end = "") {
  const std::string rule = std::string(72, '-') + "\r\n";
  std::string text = "\r\n" + rule + start + "MM/DD/YY (HH:MM:SS)\r\n" + rule;
  for (const std::string& e : entries) text += "\r\n> " + e + "\r\n";
  return end.empty() ? text : text + "\r\n" + rule + end + "MM/DD/YY (HH:MM:SS)\r\n" + rule;
}

class CliTest : public ::testing::Test {
 protected:
  explicit CliTest(const std::string& variant = "default") : dir(variant, SimWorkDir::ServedToPrograms{}) {}
  void SetUp() override {
    sim.SimCtl_SetTiming(0);
    sim.SimCtl_ResetCounts();
  }

  std::filesystem::path Path(const std::string& name) const { return dir.path() / name; }
  std::string Log() const { return WithoutStamps(ReadText(Path("DravolinLog.txt"))); }
  std::set<std::string> Files() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
      names.insert(entry.path().filename().string());
    return names;
  }
  std::vector<std::uint8_t> Chip(std::uint32_t block) const { return sim.ReadRaw(0, block * B, B); }
  // An image addressed like the chip: a pattern block at offset b * B for
  // each b below blocks, marker 0 in the blocks listed bad.
  std::vector<std::vector<std::uint8_t>> MakeImage(const std::string& name, std::uint32_t blocks,
                                                   const std::set<std::uint32_t>& bad = {}) const {
    std::vector<std::vector<std::uint8_t>> image(blocks, std::vector<std::uint8_t>(B));
    std::ofstream out(Path(name), std::ios::binary | std::ios::trunc);
    for (std::uint32_t b = 0; b < blocks; ++b) {
      for (std::uint32_t i = 0; i < B; ++i) image[b][i] = static_cast<std::uint8_t>(i * 7 + b * 13 + 1);
      image[b][nand::kMarkerOffset] = bad.count(b) ? 0x00 : 0xFF;
      out.write(reinterpret_cast<const char*>(image[b].data()), B);
    }
    return image;
  }
  static std::string Blocks(std::uint32_t count) { return std::to_string(count * B); }

  SimWorkDir dir;
  SimControl sim{dir};
};

}  // namespace selvarex::test
