// The fuzz targets' checks on their seed corpus and on every input that once
// failed, in every build: the properties hold without libFuzzer too.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "dialog_input_check.h"
#include "dump_writing_check.h"
#include "host_protocol_check.h"

namespace selvarex::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::pair<std::string, std::string>> Corpus(const std::string& target) {
  std::vector<std::pair<std::string, std::string>> inputs;
  for (const auto& entry : fs::directory_iterator(fs::path(SELVAREX_FUZZ_CORPUS_DIR) / target)) {
    std::ifstream in(entry.path(), std::ios::binary);
    inputs.emplace_back(entry.path().filename().string(), std::string(std::istreambuf_iterator<char>(in), {}));
  }
  return inputs;
}

const std::uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const std::uint8_t*>(s.data()); }

TEST(FuzzCorpus, DialogInputPropertiesHold) {
  const auto inputs = Corpus("dialog_input");
  ASSERT_GE(inputs.size(), 10u);
  for (const auto& [name, bytes] : inputs) EXPECT_EQ(fuzz::CheckDialogInput(Bytes(bytes), bytes.size()), "") << name;
}

TEST(FuzzCorpus, DumpWritingNeverWritesWhatTheImageDoesNotHold) {
  SimSession session;
  session.ConnectAndSelect(0);
  const auto inputs = Corpus("dump_writing");
  ASSERT_GE(inputs.size(), 8u);
  for (const auto& [name, bytes] : inputs)
    EXPECT_EQ(fuzz::CheckDumpWriting(session, Bytes(bytes), bytes.size()), "") << name;
}

TEST(FuzzCorpus, BothEndsOfTheHostProtocolRefuseWhatDoesNotFit) {
  for (const auto& [target, check] :
       {std::pair{"host_reply", &fuzz::CheckHostReply}, std::pair{"host_requests", &fuzz::CheckHostRequests}}) {
    const auto inputs = Corpus(target);
    ASSERT_GE(inputs.size(), 10u) << target;
    for (const auto& [name, bytes] : inputs) EXPECT_EQ(check(Bytes(bytes), bytes.size()), "") << target << "/" << name;
  }
}

}  // namespace
}  // namespace selvarex::test
