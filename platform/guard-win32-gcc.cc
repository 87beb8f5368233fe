// The access-violation guard for MinGW GCC, which has no __try/__except. While
// a guarded body runs, a top-level exception filter is installed; the system
// calls it only for an exception that no frame-based handler took, so an access
// violation that a called platform function handles itself never reaches it,
// as with __except. For 0xC0000005 it jumps back into run_guarded; any other
// code goes to the filter that was there before, and on to the default
// handling that ends the process.
//
// The jump leaves the exception dispatch where it stood. On 32-bit x86 the
// thread's chain of exception registrations (at fs:0) still points into the
// abandoned stack, so it is put back as it was when the guard was entered.
// Unlike __except, the jump runs no termination handlers (__finally) of the
// frames it leaves. A debugger, when one is attached, sees unhandled
// exceptions before the filter does.
#include "platform.h"

namespace {

void *guardJump[5];  // __builtin_setjmp's buffer: five words
volatile LONG guardActive = 0;
LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;

LONG WINAPI onUnhandledException(EXCEPTION_POINTERS *exception) {
  if (guardActive != 0 && exception->ExceptionRecord->ExceptionCode == EXCEPTION_ACCESS_VIOLATION) {
    guardActive = 0;
    __builtin_longjmp(guardJump, 1);
  }
  return previousFilter != nullptr ? previousFilter(exception) : EXCEPTION_CONTINUE_SEARCH;
}

// The head of the thread's exception-registration chain: fs:0 on 32-bit x86.
// x86-64 has no such chain (its handlers are found from tables), so there is
// nothing to put back.
#ifdef __i386__
void *registrationChain() {
  void *head;
  __asm__ volatile("movl %%fs:0, %0" : "=r"(head));
  return head;
}
void restoreRegistrationChain(void *head) {
  __asm__ volatile("movl %0, %%fs:0" : : "r"(head) : "memory");
}
#else
void *registrationChain() { return nullptr; }
void restoreRegistrationChain(void * /*head*/) {}
#endif

}  // namespace

bool run_guarded(void (*body)(void *context), void *context) {
  previousFilter = SetUnhandledExceptionFilter(onUnhandledException);
  void *const registrations = registrationChain();

  bool completed = false;
  if (__builtin_setjmp(guardJump) == 0) {
    guardActive = 1;
    body(context);
    guardActive = 0;
    completed = true;
  } else {
    restoreRegistrationChain(registrations);
  }
  SetUnhandledExceptionFilter(previousFilter);
  return completed;
}
