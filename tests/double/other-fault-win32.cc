// Faults of other kinds on Windows: exceptions with codes other than the access
// violation's, which the guard's filter must pass on to the default handling.
#include "other-fault.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdlib>
#include <cstring>

void raise_other_fault(const char *kind) {
  static const struct {
    const char *name;
    DWORD code;
  } kinds[] = {
      {"ill", EXCEPTION_ILLEGAL_INSTRUCTION},
      {"fpe", EXCEPTION_INT_DIVIDE_BY_ZERO},
      {"other", 0xE0564E4B},  // an application's own code
  };
  if (std::strcmp(kind, "abrt") == 0) std::abort();
  for (const auto &entry : kinds) {
    if (std::strcmp(entry.name, kind) == 0) RaiseException(entry.code, 0, 0, nullptr);
  }
}
