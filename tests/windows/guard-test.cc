// Runs bodies inside the access-violation guard and prints what became of
// each, one line at a time, for check_guard.py to hold against what __except
// with a filter on 0xC0000005 does. The mode, the first argument:
//   caught     faults caught again and again, with bodies between them that
//              run to their end: one whose called function handles its own
//              access violation (IsBadWritePtr), which the guard never sees
//   other      another exception code raised inside the guard
//   unguarded  a fault outside the guard, after guarded ones
#include "platform.h"

#include <stdio.h>
#include <string.h>

namespace {

void say(const char *line) {
  printf("%s\n", line);
  fflush(stdout);
}

// Read from a volatile, so that the compiler does not see the bad address.
volatile UINT_PTR addressOne = 1;

void writeToAddressOne(void * /*context*/) {
  *reinterpret_cast<volatile int *>(addressOne) = 0;  // NOLINT(performance-no-int-to-ptr)
  say("not reached: the write faulted");
}

void probeAddressOne(void *context) {
  // Faults inside kernel32 and is caught there: TRUE, the address is bad.
  *static_cast<BOOL *>(context) = IsBadWritePtr(reinterpret_cast<void *>(addressOne), 4);  // NOLINT
}

void raiseOther(void * /*context*/) { RaiseException(0xE0000042, 0, 0, nullptr); }

void guardedFault() { say(run_guarded(writeToAddressOne, nullptr) ? "fault: completed" : "fault: caught"); }

void guardedSelfHandled() {
  BOOL bad = FALSE;
  const bool completed = run_guarded(probeAddressOne, &bad);
  say(completed ? (bad ? "self-handled: completed, IsBadWritePtr TRUE" : "self-handled: completed, IsBadWritePtr FALSE")
                : "self-handled: caught");
}

}  // namespace

int main(int argc, char **argv) {
  const char *mode = argc > 1 ? argv[1] : "";
  if (strcmp(mode, "caught") == 0) {
    guardedFault();
    guardedSelfHandled();
    guardedFault();
    guardedFault();
    guardedSelfHandled();
    guardedFault();
  } else if (strcmp(mode, "other") == 0) {
    say("raising 0xE0000042 inside the guard");
    run_guarded(raiseOther, nullptr);
    say("not reached: the process ended");
  } else if (strcmp(mode, "unguarded") == 0) {
    guardedFault();
    say("faulting outside the guard");
    writeToAddressOne(nullptr);
  } else {
    say("usage: guard-test caught|other|unguarded");
    return 2;
  }
  say("end");
  return 0;
}
