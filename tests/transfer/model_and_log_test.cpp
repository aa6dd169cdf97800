// The block ranges and the log's frame.
#include <gtest/gtest.h>

#include "transfer_fixture.h"

namespace selvarex::test {
namespace {

TEST(BlockModel, RangesAreUnsigned32Bit) {
  struct Case {
    std::int32_t address, count;
    std::uint32_t first, end, planned;
  };
  for (const Case& c : {Case{B - 1, 2, 0, 1, 0},                               // one block more than planned
                        Case{2147483647, 2147483647, 15887, 31775, 15887}}) {  // sum 4294967294
    const nand::BlockRange r = nand::RangeFor(c.address, c.count);
    EXPECT_EQ(std::tuple(r.first, r.end, r.planned), std::tuple(c.first, c.end, c.planned)) << c.address;
  }
}

TEST(OperationLogFrame, SectionsAppendByteForByteWithCrLfAndTwoDigitYears) {
  SimWorkDir dir("");
  const std::string path = (dir.path() / "DravolinLog.txt").string(), rule = std::string(72, '-') + "\r\n";
  std::ofstream(path, std::ios::binary) << "earlier\r\n";
  FixedClock clock({{2008, 12, 7, 14, 3, 59}, {2026, 1, 2, 9, 5, 3}});
  for (const char* summary : {"Flash1 done", "Flash0 again"}) {
    OperationLog log(path, clock);
    log.Open("START X: ");
    log.Entry("first");
    log.End(summary, "END X: ");
  }
  const std::string end = "\r\n" + rule + "END X: 01/02/26 (09:05:03)\r\n" + rule;
  EXPECT_EQ(ReadFile(path), "earlier\r\n\r\n" + rule + "START X: 12/07/08 (14:03:59)\r\n" + rule +
                                "\r\n> first\r\n\r\n> Flash1 done\r\n" + end + "\r\n" + rule +
                                "START X: 01/02/26 (09:05:03)\r\n" + rule + "\r\n> first\r\n\r\n> Flash0 again\r\n" +
                                end);
}

}  // namespace
}  // namespace selvarex::test
