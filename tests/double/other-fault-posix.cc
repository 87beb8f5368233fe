// Faults of other kinds on POSIX systems: signals sent to the process, which
// the guard must leave to their default action even when they carry the same
// number as a memory fault.
#include "other-fault.h"

#include <signal.h>
#include <unistd.h>

#include <cstring>

void raise_other_fault(const char *kind) {
  static const struct {
    const char *name;
    int signal;
    bool byKill;  // kill(getpid()) rather than raise()
  } kinds[] = {
      {"raise-segv", SIGSEGV, false}, {"kill-segv", SIGSEGV, true}, {"raise-bus", SIGBUS, false},
      {"ill", SIGILL, false},         {"fpe", SIGFPE, false},       {"abrt", SIGABRT, false},
      {"int", SIGINT, false},         {"term", SIGTERM, false},
  };
  for (const auto &entry : kinds) {
    if (std::strcmp(entry.name, kind) != 0) continue;
    if (entry.byKill) {
      kill(getpid(), entry.signal);
    } else {
      raise(entry.signal);
    }
  }
}
