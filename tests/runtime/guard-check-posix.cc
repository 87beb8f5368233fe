// Runs the access-violation guard on its own, as "guard-check MODE", and prints
// what it sees; check_guard.py holds how each mode must end and what it must
// print. Every mode first resets the signals it watches to their default
// action, unblocked, so that what the guard leaves behind is all that shows.
#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

#include "platform.h"

namespace {

const struct {
  int number;
  const char *name;
} watched[] = {{SIGSEGV, "SEGV"}, {SIGBUS, "BUS"}, {SIGINT, "INT"},  {SIGTERM, "TERM"},
               {SIGQUIT, "QUIT"}, {SIGFPE, "FPE"}, {SIGILL, "ILL"}, {SIGABRT, "ABRT"}};

int signalNumber(const char *name) {
  for (const auto &signal : watched)
    if (std::strcmp(signal.name, name) == 0) return signal.number;
  return 0;
}

void resetSignals() {
  sigset_t unblock;
  sigemptyset(&unblock);
  for (const auto &signal : watched) {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal.number, &action, nullptr);
    sigaddset(&unblock, signal.number);
  }
  sigprocmask(SIG_UNBLOCK, &unblock, nullptr);
  const rlimit noCore{0, 0};  // the deaths below need no core files
  setrlimit(RLIMIT_CORE, &noCore);
}

// Each watched signal's action, and those blocked.
std::string signalState() {
  std::string state;
  sigset_t mask;
  sigprocmask(SIG_BLOCK, nullptr, &mask);
  for (const auto &signal : watched) {
    struct sigaction action {};
    sigaction(signal.number, nullptr, &action);
    const bool isDefault = (action.sa_flags & SA_SIGINFO) == 0 && action.sa_handler == SIG_DFL;
    const bool isIgnored = (action.sa_flags & SA_SIGINFO) == 0 && action.sa_handler == SIG_IGN;
    state += std::string(signal.name) + "=" + (isDefault ? "default" : isIgnored ? "ignored" : "handler") +
             (sigismember(&mask, signal.number) ? ",blocked " : " ");
  }
  state.pop_back();
  return state;
}

void say(const std::string &line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);  // the run may end by a signal right after
}

// Read at run time, so that no compiler sees a store to a constant address.
volatile std::uintptr_t badAddress = 1;
volatile unsigned char *target = nullptr;
volatile int reached = 0;  // how far the last faulting body got

void store(volatile unsigned char *place) { *place = 0; }

void faultAt(void *) {
  reached = 1;
  store(target);
  reached = 2;
}

void noteState(void *state) { *static_cast<std::string *>(state) = signalState(); }

void raiseSignal(void *number) {
  say("entered");
  raise(*static_cast<int *>(number));
}

void killSegv(void *) {
  say("entered");
  kill(getpid(), SIGSEGV);
}

void queueSegv(void *) {
  say("entered");
  sigqueue(getpid(), SIGSEGV, sigval{});
}

// A body that faults at place: "caught" when the guard returned false and the
// body stopped at the fault.
std::string faultIn(volatile unsigned char *place) {
  target = place;
  reached = 0;
  const bool completed = run_guarded(faultAt, nullptr);
  return completed ? "completed" : reached == 1 ? "caught" : "caught, but the body went on";
}

volatile unsigned char *badPlace() {
  return reinterpret_cast<volatile unsigned char *>(badAddress);  // NOLINT(performance-no-int-to-ptr): the bogus address on purpose
}

int repeat() {
  say("before: " + signalState());
  std::string inside;
  const bool completed = run_guarded(noteState, &inside);
  say("inside: " + inside);
  say(std::string("a body without a fault: ") + (completed ? "completed" : "not completed"));
  std::set<std::string> results;
  std::set<std::string> states;
  for (int i = 0; i < 100; ++i) {
    results.insert(faultIn(badPlace()));
    states.insert(signalState());
  }
  for (const std::string &result : results) say("100 faults: " + result);
  for (const std::string &state : states) say("after a catch: " + state);
  say(std::string("then a body without a fault: ") + (run_guarded(noteState, &inside) ? "completed" : "not completed"));
  return 0;
}

// A page that may be read but not written: SEGV_ACCERR.
int readOnly() {
  void *page = mmap(nullptr, 4096, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (page == MAP_FAILED) return 2;
  say("write to a read-only page: " + faultIn(static_cast<volatile unsigned char *>(page)));
  say("after: " + signalState());
  return 0;
}

// A mapped file's page past its end: SIGBUS with BUS_ADRERR.
int pastFileEnd() {
  char path[] = "/tmp/varnek-guard-XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) return 2;
  unlink(path);
  if (ftruncate(fd, 4096) != 0) return 2;
  void *page = mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  if (page == MAP_FAILED || ftruncate(fd, 0) != 0) return 2;
  say("write past a mapped file's end: " + faultIn(static_cast<volatile unsigned char *>(page)));
  say("after: " + signalState());
  return 0;
}

}  // namespace

int main(int argc, char **argv) {
  resetSignals();
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "repeat") return repeat();
  if (mode == "read-only") return readOnly();
  if (mode == "past-file-end") return pastFileEnd();
  if (mode.rfind("raise-", 0) == 0) {
    int number = signalNumber(mode.c_str() + 6);
    if (number == 0) return 2;
    run_guarded(raiseSignal, &number);
  } else if (mode == "kill-segv") {
    run_guarded(killSegv, nullptr);
  } else if (mode == "queue-segv") {
    run_guarded(queueSegv, nullptr);
  } else if (mode == "fault-outside") {
    say("outside the guard");
    store(badPlace());
  } else if (mode == "fault-after-catch") {
    say(faultIn(badPlace()));
    store(badPlace());
  } else {
    return 2;
  }
  say("survived");
  return 0;
}
