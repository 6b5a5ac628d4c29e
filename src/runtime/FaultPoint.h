#pragma once
// Every write, flush, cut and rename the program makes to a map or its journal passes a fault
// point first. The crash tests define xsc_fault_point to stop the program at the k-th of them, as
// a kill or a power loss would, for every k; the programs themselves do not define it, so the
// weak reference is null there and a fault point costs one comparison (and one more as a pause
// point: PausePoint.h, where the end-to-end tests hold a real process).

#include "runtime/PausePoint.h"

extern "C" void xsc_fault_point(const char* operation) __attribute__((weak));

namespace xsc {

inline void FaultPoint(const char* operation) {
    if (xsc_fault_point != nullptr) xsc_fault_point(operation);
    PausePoint(operation);
}

}  // namespace xsc
