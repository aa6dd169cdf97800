#include "published_clock.h"

#include <cstdlib>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace sim {

PublishedClock* PublishedClockFromEnvironment() {
#ifdef _WIN32
  return nullptr;
#else
  const char* path = std::getenv("DRAVOLIN_SIM_CLOCK_FILE");
  if (path == nullptr || *path == '\0') return nullptr;
  const int fd = open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return nullptr;
  void* view = MAP_FAILED;
  if (ftruncate(fd, sizeof(PublishedClock)) == 0)
    view = mmap(nullptr, sizeof(PublishedClock), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  close(fd);
  // Mapped for the library's lifetime; a new file starts at zero.
  return view == MAP_FAILED ? nullptr : static_cast<PublishedClock*>(view);
#endif
}

}  // namespace sim
