#include "dialog_input_check.h"

#include <optional>
#include <string_view>
#include <vector>

#include "device/decimal_input.h"
#include "device/timeout_rule.h"
#include "transfer/block_geometry.h"
#include "transfer/dialog_rules.h"

namespace selvarex::fuzz {

namespace {

// The same conversion, written another way: sign, decimal digits, range.
std::optional<std::int64_t> Reference(std::string_view text) {
  std::size_t i = 0;
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return std::nullopt;
  for (std::size_t k = i; k < text.size(); ++k)
    if (text[k] < '0' || text[k] > '9') return std::nullopt;
  while (i + 1 < text.size() && text[i] == '0') ++i;
  if (text.size() - i > 10) return std::nullopt;
  std::int64_t value = 0;
  for (; i < text.size(); ++i) value = value * 10 + (text[i] - '0');
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return value;
}

// The number a converted text stands for, written the shortest way.
std::string Canonical(std::string_view text) {
  std::string digits(text);
  bool negative = false;
  if (digits[0] == '+' || digits[0] == '-') negative = digits[0] == '-', digits.erase(0, 1);
  digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
  return (negative && digits != "0" ? "-" : "") + digits;
}

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
      out += c;
    } else {
      const char* hex = "0123456789ABCDEF";
      out += "\\x";
      out += hex[(static_cast<unsigned char>(c) >> 4) & 0xF];
      out += hex[static_cast<unsigned char>(c) & 0xF];
    }
  }
  return out + "\"";
}

std::string CheckField(std::string_view text) {
  const std::optional<std::int32_t> value = StrToInt32(text);
  const std::optional<std::int64_t> reference = Reference(text);
  if (value.has_value() != reference.has_value() || (value && *value != *reference))
    return "StrToInt32(" + Quoted(text) + ") disagrees with the reference conversion";
  if (IsNonNegativeInt32(text) != (value && *value >= 0))
    return "IsNonNegativeInt32(" + Quoted(text) + ") disagrees with the conversion";
  if (!value) return "";
  const std::string shown = std::to_string(*value);
  if (StrToInt32(shown) != value) return "the number of " + Quoted(text) + " does not convert back";
  if (shown != Canonical(text)) return Quoted(text) + " converts to " + shown + ", another number";
  return "";
}

}  // namespace

std::string CheckDialogInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  while (fields.size() < 2) {
    const std::size_t end = input.find('\n', start);
    if (end == std::string_view::npos) break;
    fields.push_back(input.substr(start, end - start));
    start = end + 1;
  }
  fields.push_back(input.substr(std::min(start, input.size())));
  while (fields.size() < 3) fields.push_back({});
  const std::string_view address = fields[0], second = fields[1], file = fields[2];

  for (const std::string_view field : fields)
    if (std::string failure = CheckField(field); !failure.empty()) return failure;

  const bool addressOk = IsNonNegativeInt32(address), secondOk = IsNonNegativeInt32(second);
  if (TimeoutOkEnabled(address, second) != (addressOk && secondOk)) return "the time-out OK rule";
  const bool rangeOk = addressOk && secondOk && !file.empty();
  if (FlashReadOkEnabled(address, second, file) != rangeOk) return "the read OK rule";
  if (FlashWriteOkEnabled(address, second, file) != rangeOk) return "the write OK rule";
  const bool eraseOk = addressOk && secondOk && *StrToInt32(second) <= std::int32_t{nand::kMaxEndBlock};
  if (EraseSectorOkEnabled(address, second) != eraseOk) return "the erase OK rule";

  // Whatever the read and write dialogs accept stays inside 32-bit NAND
  // addresses and runs over the planned blocks, or one more for an unaligned start.
  if (addressOk && secondOk) {
    const std::int32_t a = *StrToInt32(address), n = *StrToInt32(second);
    const nand::BlockRange range = nand::RangeFor(a, n);
    const std::uint64_t end =
        (std::uint64_t{static_cast<std::uint32_t>(a)} + static_cast<std::uint32_t>(n)) / nand::kBlockSize;
    if (range.end != end || range.end > nand::kMaxEndBlock || range.first > range.end)
      return "RangeFor(" + std::to_string(a) + ", " + std::to_string(n) + ") leaves the 32-bit addresses";
    const std::uint32_t extra = a % nand::kBlockSize + n % nand::kBlockSize >= nand::kBlockSize ? 1 : 0;
    if (range.end - range.first != range.planned + extra)
      return "RangeFor(" + std::to_string(a) + ", " + std::to_string(n) + ") runs over other than the planned blocks";
  }
  return "";
}

}  // namespace selvarex::fuzz
