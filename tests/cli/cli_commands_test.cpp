// The single-shot commands, the counter, info and the exit codes, each with
// the window's texts.
#include <nlohmann/json.hpp>

#include <functional>

#include "cli/cli_fixture.h"
#include "device/platform_loader.h"

namespace selvarex::test {
namespace {

struct CommandCase {
  const char* what;
  std::function<void(SimControl&, const SimWorkDir&)> setUp;
  std::vector<std::string> arguments;
  int exitCode;
  std::string out;  // standard output, exactly
  std::string err;  // standard error, exactly
};
void PrintTo(const CommandCase& c, std::ostream* out) { *out << c.what; }

const std::string kLibraryFile = std::string(platform::CurrentDirectoryPrefix()) + "Dravolin.dll";
void Nothing(SimControl&, const SimWorkDir&) {}

const CommandCase kCommands[] = {
    {"blank check of a chip in its factory state", Nothing, {"blank"}, 0, "Device is not Blank!\n", ""},
    {"size", Nothing, {"size"}, 0, "Device Size is 138412032\n", ""},
    {"flash reset", Nothing, {"flash-reset"}, 0, "Reset OK!\n", ""},
    {"programmer reset shows nothing", Nothing, {"reset"}, 0, "", ""},
    {"PLD reset shows nothing", Nothing, {"pld-reset"}, 0, "", ""},
    {"DevEnter", Nothing, {"dev-enter"}, 0, "DevEnter done!\n", ""},
    {"DevExit", Nothing, {"dev-exit"}, 0, "DevExit done!\n", ""},
    {"DevEnter without 0x81 in 50 attempts fails",
     [](SimControl& sim, const SimWorkDir&) {
       const std::vector<std::uint8_t> misses(50, 0x80);
       sim.SimCtl_ScriptDevStatus(0, misses.data(), 50);
     },
     {"dev-enter"},
     1,
     "DevEnter failed!\n",
     ""},
    {"counter",
     [](SimControl& sim, const SimWorkDir&) {
       const SimCounterPoll poll{0, 1000, 10, 0};
       sim.SimCtl_ScriptCounter(&poll, 1);
     },
     {"counter"},
     0,
     "Status: Ready\nTimes: 1000\nTime: 41.6uS\nValue: 0A\n",
     ""},
    {"counter timing out fails",
     [](SimControl& sim, const SimWorkDir&) {
       const SimCounterPoll poll{1, 5, 1, 1};
       sim.SimCtl_ScriptCounter(&poll, 1);
     },
     {"counter"},
     1,
     "Status: Time Out\n",
     ""},
    {"a library error ends the command with the window's error text",
     [](SimControl& sim, const SimWorkDir&) { sim.Fail(drav::Entry::DravFlashReset, 1, 1, "Flash does not answer"); },
     {"flash-reset"},
     1,
     "",
     "Flash does not answer.\n"},
    {"an unsupported chip is refused",
     Nothing,
     {"--flash", "1", "size"},
     1,
     "",
     "The selected flash chip is not supported (Flash supported: No).\n"},
    {"an unsupported maker is refused",
     [](SimControl& sim, const SimWorkDir&) { sim.SimCtl_SetChip(0, 0xC3A1, nullptr, nullptr, 1, 0); },
     {"blank"},
     1,
     "",
     "The maker of the selected flash chip is not supported (Productor supported: No).\n"},
    {"programmer commands need no supported chip", Nothing, {"--flash", "1", "dev-exit"}, 0, "DevExit done!\n", ""},
    {"no library file",
     [](SimControl&, const SimWorkDir& dir) { std::filesystem::remove(dir.path() / "Dravolin.dll"); },
     {"info"},
     3,
     "",
     "File " + kLibraryFile + " doesn't exists!\n"},
    {"another library file",
     [](SimControl&, const SimWorkDir& dir) {
       std::filesystem::create_directory(dir.path() / "lib");
       std::filesystem::rename(dir.path() / "Dravolin.dll", dir.path() / "lib" / "Other.dll");
     },
     {"--library", "lib/Other.dll", "size"},
     0,
     "Device Size is 138412032\n",
     ""},
    {"another library file that is missing",
     Nothing,
     {"--library", "other.dll", "info"},
     3,
     "",
     "File other.dll doesn't exists!\n"},
    {"no programmer attached",
     [](SimControl& sim, const SimWorkDir&) { sim.SimCtl_SetDeviceCount(0); },
     {"size"},
     3,
     "",
     "No programmer has been found (Device Count: 0).\n"},
    {"the programmer cannot be opened",
     [](SimControl& sim, const SimWorkDir&) { sim.Fail(drav::Entry::DravUsbOpen, 1, 1, "USB device busy"); },
     {"size"},
     3,
     "",
     "USB device busy.\n"},
    {"the flash chip cannot be selected",
     [](SimControl& sim, const SimWorkDir&) { sim.Fail(drav::Entry::DravDevGetFlashID, 1, 1, "No flash answers"); },
     {"blank"},
     3,
     "",
     "No flash answers.\n"},
};

class CliCommand : public CliTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(CliCommand, PrintsTheWindowsTextsAndEndsWithItsExitCode) {
  const CommandCase& c = GetParam();
  c.setUp(sim, dir);
  const CliRun run = RunCli(c.arguments);
  EXPECT_EQ(run.exitCode, c.exitCode);
  EXPECT_EQ(run.out, c.out);
  EXPECT_EQ(run.err, c.err);
  // Only the processes write to the log; every run leaves the programmer closed.
  EXPECT_FALSE(std::filesystem::exists(Path("DravolinLog.txt")));
  std::uint32_t usb = 0, devices = 0, flashes = 0;
  sim.SimCtl_LiveObjects(&usb, &devices, &flashes);
  EXPECT_EQ(usb, 0u);
  EXPECT_EQ(devices, 0u);
}

INSTANTIATE_TEST_SUITE_P(Cases, CliCommand, ::testing::ValuesIn(kCommands),
                         [](const ::testing::TestParamInfo<CommandCase>& info) {
                           std::string name = info.param.what;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

const std::string kInfoOfFlash0 =
    "Device Count: 1\nDLL Version: 1.2.3.4\nDriver Version: 5.6.7.8\nPLD status: Programmed\nLoader Version: 1.2\n"
    "PLD ID: Dravolin 78\nSelected flash: Flash 0\nFlash ID: 0xC3A1\nFlash full name: VK9N1G08 1 Gbit NAND\n"
    "Flash product name: Veltrane\nFlash supported: Yes\nProductor supported: Yes\n";

TEST_F(CliTest, InfoPrintsThePanelsAsLinesOrAsOneJsonObject) {
  const CliRun lines = RunCli({"info"});
  EXPECT_EQ(lines.exitCode, 0);
  EXPECT_EQ(lines.out, kInfoOfFlash0);

  const CliRun json = RunCli({"--flash", "1", "info", "--json"});
  EXPECT_EQ(json.exitCode, 0) << json.err;
  const auto object = nlohmann::json::parse(json.out);
  EXPECT_EQ(object, nlohmann::json::parse(R"({"deviceCount": "1", "dllVersion": "1.2.3.4", "driverVersion": "5.6.7.8",
      "pldStatus": "Programmed", "loaderVersion": "1.2", "pldId": "Dravolin 78", "selectedFlash": 1,
      "flashId": "0x2B74", "flashFullName": "QL4F1G8R 1 Gbit NAND", "flashProductName": "Orvessa Semiconductor",
      "flashSupported": "No", "productorSupported": "Yes"})"));
  // A name with a quote and a control character still makes valid JSON.
  sim.SimCtl_SetChip(0, 0xC3A1, "say \"hi\"\t", nullptr, 1, 1);
  EXPECT_EQ(nlohmann::json::parse(RunCli({"info", "--json"}).out)["flashFullName"], "say \"hi\"\t");
}

}  // namespace
}  // namespace selvarex::test
