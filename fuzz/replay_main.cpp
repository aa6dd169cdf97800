// The entry of a fuzz target built without libFuzzer: runs the target once on
// every file named, and on every file of every directory named, so saved
// inputs can be replayed with any compiler. Options ("-runs=0") are ignored.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

int Replay(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
  std::printf("%s (%zu bytes)\n", file.string().c_str(), bytes.size());
  return LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
  int inputs = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path path(argv[i]);
    if (argv[i][0] == '-') continue;
    if (std::filesystem::is_directory(path)) {
      for (const auto& entry : std::filesystem::directory_iterator(path)) {
        if (entry.is_regular_file()) Replay(entry.path()), ++inputs;
      }
    } else {
      Replay(path), ++inputs;
    }
  }
  std::printf("%d inputs replayed\n", inputs);
  return 0;
}
