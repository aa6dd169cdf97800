// The start-up routine: application object titled "Selvarex", the main
// window, the message loop.
#pragma once

#include <functional>

namespace selvarex {

class Prompts;
class TFormMain;

// Returns 0. started (optional) sees the window once it is shown, before the
// message loop runs; measurements hook in there.
int RunSelvarex(int& argc, char** argv, Prompts& prompts, const std::function<void(TFormMain&)>& started = {});

}  // namespace selvarex
