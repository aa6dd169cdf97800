// selvarex-libhost: loads the device library in a process of the library's
// own bitness and serves its calls to the Selvarex program that started it.
#include <cstdio>

#include "device/dravolin_library.h"
#include "device/platform_process.h"
#include "libhost/library_server.h"

int main(int argc, char** argv) {
  auto channel = selvarex::platform::ParentChannel::FromArguments(argc, argv);
  if (channel == nullptr) {
    std::fputs(
        "selvarex-libhost serves the device library to Selvarex, which starts it; "
        "it is not meant to be run by hand.\n",
        stderr);
    return 2;
  }
  selvarex::DravolinLibrary library(selvarex::DravolinLibrary::Binding::InProcess);
  return selvarex::ServeLibrary(*channel, &library);
}
