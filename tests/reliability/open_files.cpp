#include "open_files.h"

namespace selvarex::test {

namespace fs = std::filesystem;

std::vector<std::string> OpenFilesUnder(const fs::path& dir) {
  std::vector<std::string> open;
  std::error_code error;
  const fs::path fds("/proc/self/fd");
  if (!fs::is_directory(fds, error)) return open;
  const std::string prefix = fs::weakly_canonical(dir, error).string() + "/";
  for (const fs::directory_entry& fd : fs::directory_iterator(fds, error)) {
    const fs::path target = fs::read_symlink(fd.path(), error);
    if (!error && target.string().rfind(prefix, 0) == 0) open.push_back(target.string());
  }
  return open;
}

}  // namespace selvarex::test
