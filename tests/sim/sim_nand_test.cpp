// The chips: factory content, reading, NAND programming and erasing, factory
// bad blocks, blank check and block faults.
#include <algorithm>
#include <string>
#include <vector>

#include "sim/sim_control.h"
#include "sim_fixture.h"

namespace selvarex::test {
namespace {

constexpr std::uint32_t kMarker = nand::kMarkerOffset;

std::vector<std::uint8_t> Pattern(std::uint8_t seed) {
  std::vector<std::uint8_t> bytes(kBlock);
  for (std::uint32_t i = 0; i < kBlock; ++i) bytes[i] = static_cast<std::uint8_t>(i * 37 + seed + (i >> 9));
  return bytes;
}

bool AllFF(const std::vector<std::uint8_t>& bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0xFF; });
}

class SimNand : public SimTest {
 protected:
  Objects o = OpenChip();
};

TEST_F(SimNand, FactoryContentIsFixedNonBlankAndNeedsNoMemory) {
  const auto block = Read(o.flash, 3 * kBlock, kBlock);
  EXPECT_EQ(Read(o.flash, 3 * kBlock, kBlock), block);
  EXPECT_FALSE(AllFF(block));
  EXPECT_EQ(block[kMarker], 0xFF) << "a good block's marker";
  EXPECT_GT(std::count(block.begin(), block.end(), 0x00), 100) << "does not look like data";
  for (std::uint32_t bad : {37u, 402u, 1000u}) {
    EXPECT_EQ(Read(o.flash, bad * kBlock + kMarker, 1)[0], 0x00) << bad;
    EXPECT_EQ(Sim().SimCtl_IsFactoryBad(0, bad), 1) << bad;
  }
  EXPECT_EQ(Sim().SimCtl_IsFactoryBad(0, 36), 0);
  EXPECT_NE(Sim().ReadRaw(1, 3 * kBlock, 64), std::vector<std::uint8_t>(block.begin(), block.begin() + 64))
      << "both chips hold the same bytes";
  EXPECT_EQ(Sim().SimCtl_AllocatedBlocks(0), 0u);

  // Another copy of the library (the build's own file) has the very same chip.
  const auto copy = platform::OpenLibrary(SimWorkDir::VariantPath("default").string());
  ASSERT_NE(copy, nullptr);
  const auto readRaw = reinterpret_cast<SimCtl_ReadRaw_t>(platform::FindSymbol(copy, "SimCtl_ReadRaw"));
  std::vector<std::uint8_t> copied(kBlock);
  ASSERT_EQ(readRaw(0, 3 * kBlock, copied.data(), kBlock), 0);
  EXPECT_EQ(copied, block);
  platform::CloseLibrary(copy);
}

TEST_F(SimNand, ReadsAnyRangeInsideTheChip) {
  const auto two = Read(o.flash, 5 * kBlock, 2 * kBlock);
  const auto across = Read(o.flash, 6 * kBlock - 3, 7);
  EXPECT_TRUE(std::equal(across.begin(), across.end(), two.begin() + kBlock - 3));
  EXPECT_EQ(Read(o.flash, kChipSize - 1, 1), Sim().ReadRaw(0, kChipSize - 1, 1));
  EXPECT_EQ(Read(o.flash, 12345, 1)[0], Sim().ReadRaw(0, 12345, 1)[0]);

  struct Case {
    std::uint32_t address, length;
    const char* name;
  };
  for (const Case c : {Case{kChipSize, 1, "at the end"}, Case{kChipSize - 1, 2, "across the end"},
                       Case{0xFFFFFFFF, 2, "wrapping 32 bits"}, Case{1, 0xFFFFFFFF, "huge"}, Case{0, 0, "empty"}}) {
    std::vector<std::uint8_t> buffer(16, 0xEE);
    EXPECT_EQ(Api().DravFlashRead(o.flash, c.address, buffer.data(), c.length), 0) << c.name;
    EXPECT_EQ(buffer, std::vector<std::uint8_t>(16, 0xEE)) << c.name;
    EXPECT_NE(LastError(), "<none>") << c.name;
  }
  EXPECT_NE(LastError().find("0 bytes"), std::string::npos) << LastError();
}

TEST_F(SimNand, ProgrammingOnlyClearsBits) {
  const auto a = Pattern(1);
  const auto b = Pattern(90);
  ASSERT_EQ(Api().DravFlashEraseSector(o.flash, 8 * kBlock), 1);
  EXPECT_TRUE(AllFF(Read(o.flash, 8 * kBlock, kBlock)));
  ASSERT_EQ(Api().DravFlashWrite(o.flash, 8 * kBlock, a.data(), kBlock), 1) << LastError();
  EXPECT_EQ(Read(o.flash, 8 * kBlock, kBlock), a);

  std::vector<std::uint8_t> both(kBlock);
  std::transform(a.begin(), a.end(), b.begin(), both.begin(), [](std::uint8_t x, std::uint8_t y) { return x & y; });
  const auto first = std::mismatch(both.begin(), both.end(), b.begin()).first - both.begin();

  // Verify on (the default): the write fails where the chip could not follow.
  EXPECT_EQ(Sim().SimCtl_WriteVerify(0), 1);
  EXPECT_EQ(Api().DravFlashWrite(o.flash, 8 * kBlock, b.data(), kBlock), 0);
  EXPECT_EQ(LastError(), "Write verify failed at address " + std::to_string(8 * kBlock + first));
  EXPECT_EQ(Read(o.flash, 8 * kBlock, kBlock), both) << "the chip keeps what it programmed";

  // Verify off: the same write succeeds and leaves the AND too.
  ASSERT_EQ(Api().DravFlashEraseSector(o.flash, 8 * kBlock), 1);
  ASSERT_EQ(Api().DravFlashSetWVerify(o.flash, 0), 1);
  EXPECT_EQ(Sim().SimCtl_WriteVerify(0), 0);
  ASSERT_EQ(Api().DravFlashWrite(o.flash, 8 * kBlock, a.data(), kBlock), 1);
  EXPECT_EQ(Api().DravFlashWrite(o.flash, 8 * kBlock, b.data(), kBlock), 1);
  EXPECT_EQ(Read(o.flash, 8 * kBlock, kBlock), both);
  EXPECT_EQ(Sim().SimCtl_AllocatedBlocks(0), 1u);
}

TEST_F(SimNand, WritesAndErasesTakeWholeBlocksInsideTheChip) {
  const auto a = Pattern(3);
  const auto before = Sim().ReadRaw(0, 0, 2 * kBlock);
  struct Case {
    std::uint32_t address, length;
    const char* name;
  };
  for (const Case c : {Case{0, kBlock - 1, "short"}, Case{0, kBlock + 1, "long"}, Case{1, kBlock, "unaligned"},
                       Case{kChipSize, kBlock, "past the end"}, Case{0xFFFFFFFF - kBlock + 1, kBlock, "wrapping"}}) {
    EXPECT_EQ(Api().DravFlashWrite(o.flash, c.address, a.data(), c.length), 0) << c.name;
    EXPECT_NE(LastError(), "<none>");
  }
  for (std::uint32_t address : {1u, kBlock / 2, kChipSize, 0xFFFFFFFFu}) {
    EXPECT_EQ(Api().DravFlashEraseSector(o.flash, address), 0) << address;
  }
  EXPECT_EQ(Sim().ReadRaw(0, 0, 2 * kBlock), before);
  EXPECT_EQ(Sim().SimCtl_AllocatedBlocks(0), 0u);
  // The last block is inside.
  EXPECT_EQ(Api().DravFlashEraseSector(o.flash, kChipSize - kBlock), 1);
}

TEST_F(SimNand, FactoryBadBlocksSurviveEraseAllButNotASectorErase) {
  const auto bad = Read(o.flash, 402 * kBlock, kBlock);
  ASSERT_EQ(Api().DravFlashEraseAll(o.flash), 1);
  EXPECT_EQ(Read(o.flash, 402 * kBlock, kBlock), bad);
  EXPECT_TRUE(AllFF(Read(o.flash, 401 * kBlock, kBlock)));
  EXPECT_TRUE(AllFF(Read(o.flash, kChipSize - kBlock, kBlock)));
  std::uint32_t blank = 0;
  ASSERT_EQ(Api().DravFlashBlank(o.flash, &blank), 1);
  EXPECT_EQ(blank, kChipSize) << "factory bad blocks do not count";

  // A sector erase wipes a bad block, marker included, as a real chip does.
  ASSERT_EQ(Api().DravFlashEraseSector(o.flash, 37 * kBlock), 1);
  EXPECT_TRUE(AllFF(Read(o.flash, 37 * kBlock, kBlock)));
  EXPECT_EQ(Sim().SimCtl_IsFactoryBad(0, 37), 1);

  // Markers set by tests rule erase-all in the same way.
  ASSERT_EQ(Sim().SimCtl_SetMarker(0, 10, 0x12), 0);
  ASSERT_EQ(Sim().SimCtl_SetMarker(0, 1000, 0xFF), 0);
  EXPECT_EQ(Sim().SimCtl_IsFactoryBad(0, 10), 1);
  EXPECT_EQ(Sim().SimCtl_IsFactoryBad(0, 1000), 0);
  ASSERT_EQ(Api().DravFlashEraseAll(o.flash), 1);
  EXPECT_EQ(Read(o.flash, 10 * kBlock + kMarker, 1)[0], 0x12);
  EXPECT_EQ(Read(o.flash, 1000 * kBlock + kMarker, 1)[0], 0xFF);
}

TEST_F(SimNand, BlankCheckFindsTheFirstProgrammedByte) {
  std::uint32_t value = 0;
  ASSERT_EQ(Api().DravFlashBlank(o.flash, &value), 1);
  const auto factory = Sim().ReadRaw(0, 0, kBlock);
  const auto firstData = std::find_if(factory.begin(), factory.end(), [](std::uint8_t b) { return b != 0xFF; });
  EXPECT_EQ(value, static_cast<std::uint32_t>(firstData - factory.begin())) << "factory content is not blank";

  ASSERT_EQ(Api().DravFlashEraseAll(o.flash), 1);
  const std::uint8_t zero = 0x7F;
  for (std::uint32_t address : {kChipSize - 1, 700 * kBlock + 5, 3 * kBlock + kMarker}) {
    ASSERT_EQ(Sim().SimCtl_WriteRaw(0, address, &zero, 1), 0);
    ASSERT_EQ(Api().DravFlashBlank(o.flash, &value), 1);
    EXPECT_EQ(value, address);
  }
}

TEST_F(SimNand, BlockFaultsHitOnlyTheirBlockAndOperation) {
  const auto a = Pattern(5);
  ASSERT_EQ(Sim().SimCtl_FailBlock(0, 20, kSimFailErase | kSimFailWrite), 0);
  ASSERT_EQ(Sim().SimCtl_FailBlock(0, 30, kSimFailRead), 0);
  const auto before = Sim().ReadRaw(0, 20 * kBlock, kBlock);

  EXPECT_EQ(Api().DravFlashEraseSector(o.flash, 20 * kBlock), 0);
  EXPECT_EQ(LastError(), "Erase failed in block 20");
  EXPECT_EQ(Api().DravFlashWrite(o.flash, 20 * kBlock, a.data(), kBlock), 0);
  EXPECT_EQ(LastError(), "Program failed in block 20");
  EXPECT_EQ(Sim().ReadRaw(0, 20 * kBlock, kBlock), before);
  EXPECT_EQ(Read(o.flash, 20 * kBlock, 10).size(), 10u);

  std::uint8_t byte = 0xEE;
  EXPECT_EQ(Api().DravFlashRead(o.flash, 29 * kBlock + kBlock - 1, &byte, 2), 0) << "the read reaches block 30";
  EXPECT_EQ(LastError(), "Read failed in block 30");
  EXPECT_EQ(byte, 0xEE);
  EXPECT_EQ(Api().DravFlashEraseSector(o.flash, 30 * kBlock), 1);

  // Erase-all stops at the failing block.
  EXPECT_EQ(Api().DravFlashEraseAll(o.flash), 0);
  EXPECT_TRUE(AllFF(Read(o.flash, 19 * kBlock, kBlock)));
  EXPECT_FALSE(AllFF(Read(o.flash, 21 * kBlock, kBlock)));

  ASSERT_EQ(Sim().SimCtl_FailBlock(0, 20, 0), 0);
  EXPECT_EQ(Api().DravFlashEraseAll(o.flash), 1);
  EXPECT_EQ(Sim().SimCtl_FailBlock(0, 1024, kSimFailRead), -1);
  EXPECT_EQ(Sim().SimCtl_FailBlock(2, 0, kSimFailRead), -1);
}

TEST_F(SimNand, BlockCountAndResetRestoreTheFactory) {
  const auto a = Pattern(7);
  ASSERT_EQ(Api().DravFlashEraseSector(o.flash, 2 * kBlock), 1);
  ASSERT_EQ(Sim().SimCtl_SetBlockCount(0, 40), 0);
  std::uint32_t size = 0;
  ASSERT_EQ(Api().DravFlashGetDeviceSize(o.flash, &size), 1);
  EXPECT_EQ(size, 40 * kBlock);
  EXPECT_EQ(Sim().SimCtl_AllocatedBlocks(0), 0u);
  EXPECT_EQ(Sim().SimCtl_IsFactoryBad(0, 37), 1);
  EXPECT_EQ(Sim().SimCtl_IsFactoryBad(0, 40), -1);
  EXPECT_EQ(Api().DravFlashWrite(o.flash, 40 * kBlock, a.data(), kBlock), 0);

  for (std::uint32_t blocks : {0u, nand::kMaxEndBlock + 1})
    EXPECT_EQ(Sim().SimCtl_SetBlockCount(0, blocks), -1) << blocks;
  ASSERT_EQ(Sim().SimCtl_SetBlockCount(1, nand::kMaxEndBlock), 0);
  EXPECT_EQ(Sim().ReadRaw(1, nand::kMaxEndBlock * kBlock - 4, 4).size(), 4u);

  ASSERT_EQ(Api().DravFlashEraseSector(o.flash, 0), 1);
  ASSERT_EQ(Api().DravFlashSetWVerify(o.flash, 0), 1);
  Sim().SimCtl_Reset();
  EXPECT_EQ(Sim().SimCtl_AllocatedBlocks(0), 0u);
  EXPECT_EQ(Sim().SimCtl_WriteVerify(0), 1);
  EXPECT_EQ(Sim().SimCtl_IsFactoryBad(1, 31774), -1);
  EXPECT_FALSE(AllFF(Sim().ReadRaw(0, 0, kBlock)));
}

TEST_F(SimNand, RawAccessStaysInsideTheChip) {
  std::uint8_t byte = 1;
  EXPECT_EQ(Sim().SimCtl_WriteRaw(0, kChipSize, &byte, 1), -1);
  EXPECT_EQ(Sim().SimCtl_ReadRaw(0, kChipSize - 1, &byte, 2), -1);
  EXPECT_EQ(Sim().SimCtl_ReadRaw(2, 0, &byte, 1), -1);
  EXPECT_EQ(Sim().SimCtl_WriteRaw(0, 0, nullptr, 1), -1);
  EXPECT_EQ(Sim().SimCtl_SetMarker(0, 1024, 0), -1);
  EXPECT_EQ(Sim().SimCtl_IsFactoryBad(2, 0), -1);
  EXPECT_EQ(Sim().SimCtl_AllocatedBlocks(0), 0u);
}

}  // namespace
}  // namespace selvarex::test
