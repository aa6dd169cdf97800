#include "transfer/log_texts.h"

#include "transfer/block_geometry.h"

namespace selvarex::log_text {

using std::to_string;

std::string Cycle::Prefix() const {
  return std::string(word) + " cycle #" + to_string(index + 1) + "/" + to_string(total);
}

std::string Summary(std::int32_t selectedFlash, std::string_view text) {
  return "Flash" + to_string(selectedFlash) + std::string(text);
}

std::string BadBlock(const Cycle& cycle, std::uint32_t count, std::uint32_t blockAddress) {
  return cycle.Prefix() + ", NAND Bad Block #" + to_string(count) + " found at Address: " + to_string(blockAddress) +
         " (dec)";
}

std::string MarkerReadError(const Cycle& cycle, std::uint32_t blockAddress) {
  return cycle.Prefix() + ", Flash Read Error occured at Address: " + to_string(blockAddress + nand::kMarkerOffset) +
         "  (dec), while checking OOB bad block byte.";
}

std::string StoppedByOperator(const Cycle& cycle) { return cycle.Prefix() + ", Process stopped by the operator."; }

std::string ReadError(const Cycle& cycle, std::uint32_t blockAddress) {
  return cycle.Prefix() + ", Read Error occured at Address: " + to_string(blockAddress) + " (dec)";
}

std::string FileBadBlock(const Cycle& cycle, std::uint32_t count, std::int64_t position) {
  return cycle.Prefix() + ", File Bad Block #" + to_string(count) + " found at position: " + to_string(position) +
         " (dec)";
}

std::string ImageEnded(const Cycle& cycle, std::int64_t position, std::string_view what) {
  return cycle.Prefix() + ", Image file ended at position: " + to_string(position) + " (dec), " + std::string(what) +
         " stopped.";
}

std::string Difference(const Cycle& cycle, std::string_view what, std::uint32_t count, std::uint32_t blockAddress,
                       std::uint32_t firstAddress, std::uint32_t differingBytes) {
  return cycle.Prefix() + ", " + std::string(what) + " #" + to_string(count) +
         " found at Address: " + to_string(blockAddress) + " (dec), " + to_string(differingBytes) +
         " byte/s differ, the first at Address: " + to_string(firstAddress) + " (dec)";
}

}  // namespace selvarex::log_text
