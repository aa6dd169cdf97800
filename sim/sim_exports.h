// The functions this library exports: the 36 entry points, declared from the
// one list so that no signature can drift, and the control interface. Which
// of them a build really exports is up to its linker script (sim/CMakeLists.txt).
#pragma once

#include "device/dravolin_api.h"
#include "sim/sim_control.h"

#if defined(_WIN32)
// A .def file names the exports.
#define SIM_EXPORT
#else
#define SIM_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {
#define SIM_DECLARE_EXPORT(name, result, params) SIM_EXPORT result DRAV_CALL name params;
DRAVOLIN_ENTRY_POINTS(SIM_DECLARE_EXPORT)
SIM_CONTROL_FUNCTIONS(SIM_DECLARE_EXPORT)
#undef SIM_DECLARE_EXPORT
}
