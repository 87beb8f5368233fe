// The access-violation guard for compilers with structured exception handling
// (MSVC, and clang with -fms-extensions on the MinGW target): __try/__except
// around the body, with a filter that takes only 0xC0000005. An access
// violation that a called platform function handles itself never reaches the
// filter; any other exception code is passed on and ends the process.
#include "platform.h"

#ifdef __clang__
#pragma clang diagnostic ignored "-Wlanguage-extension-token"  // __try/__except are the point
#endif

namespace {

int accessViolationOnly(DWORD code) {
  return code == EXCEPTION_ACCESS_VIOLATION ? EXCEPTION_EXECUTE_HANDLER : EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

bool run_guarded(void (*body)(void *context), void *context) {
  __try {
    body(context);
  } __except (accessViolationOnly(GetExceptionCode())) {
    return false;
  }
  return true;
}
