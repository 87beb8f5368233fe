// On Windows: IsBadWritePtr writes through the pointer inside a handler of its
// own and answers TRUE when that faulted.
#include "handled-fault.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdint>

namespace {
volatile std::uintptr_t badAddress = 1;  // read at run time: no compiler sees the constant
}

bool handled_fault() {
  // NOLINTNEXTLINE(performance-no-int-to-ptr): the bogus address on purpose
  return IsBadWritePtr(reinterpret_cast<LPVOID>(badAddress), 4) != 0;
}
