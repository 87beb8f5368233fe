// The access-violation guard on POSIX systems. A memory fault that the kernel
// reports for a bad address (SIGSEGV, or SIGBUS where a system reports a bad
// address that way) while the guard is active jumps back to run_guarded. The
// handler is installed only while a guarded body runs; the same signal sent by
// kill or raise, and any fault outside the guard, gets the default action.
#include "platform.h"

#include <csetjmp>
#include <csignal>

namespace {

sigjmp_buf guardJump;
volatile std::sig_atomic_t guardActive = 0;

constexpr int guardedSignals[] = {SIGSEGV, SIGBUS};
constexpr int guardedCount = sizeof guardedSignals / sizeof guardedSignals[0];

bool reportedByKernel(int signal, const siginfo_t *info) {
  if (info->si_code <= 0) return false;  // kill, raise, sigqueue
  if (signal == SIGSEGV) return info->si_code == SEGV_MAPERR || info->si_code == SEGV_ACCERR;
  return info->si_code == BUS_ADRERR || info->si_code == BUS_ADRALN || info->si_code == BUS_OBJERR;
}

void onFault(int signal, siginfo_t *info, void * /*context*/) {
  if (guardActive != 0 && reportedByKernel(signal, info)) {
    guardActive = 0;
    siglongjmp(guardJump, 1);  // NOLINT(cert-err52-cpp): leaving the faulting call is the point
  }
  // Not ours: take the default action. A fault repeats on return and kills the
  // process by its signal; a sent signal is delivered again once unblocked.
  struct sigaction defaultAction {};
  defaultAction.sa_handler = SIG_DFL;
  sigemptyset(&defaultAction.sa_mask);
  sigaction(signal, &defaultAction, nullptr);
  if (info->si_code <= 0) (void)raise(signal);
}

}  // namespace

bool run_guarded(void (*body)(void *context), void *context) {
  struct sigaction handler {};
  handler.sa_sigaction = onFault;
  handler.sa_flags = SA_SIGINFO;
  sigemptyset(&handler.sa_mask);
  struct sigaction previous[guardedCount];
  for (int i = 0; i < guardedCount; ++i) sigaction(guardedSignals[i], &handler, &previous[i]);

  // The saved mask is restored by the jump, so the next fault is caught too.
  bool completed = false;
  if (sigsetjmp(guardJump, 1) == 0) {  // NOLINT(cert-err52-cpp): see above
    guardActive = 1;
    body(context);
    guardActive = 0;
    completed = true;
  }
  for (int i = 0; i < guardedCount; ++i) sigaction(guardedSignals[i], &previous[i], nullptr);
  return completed;
}
