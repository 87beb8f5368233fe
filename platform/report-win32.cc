// The report stream on Windows: the C runtime's own standard output, in the
// text mode it starts in, so the runtime writes every LF as CR LF. A console
// (a handle for which GetConsoleMode succeeds; the runtime's isatty is also
// true for NUL and serial ports) is unbuffered: each piece of text reaches it
// when it is printed. Anything else gets a 512-byte buffer, written out when
// full and at the normal end. A failed write is dropped by the runtime and the
// run goes on.
#include "platform.h"

#include <stdarg.h>
#include <stdio.h>

#ifdef __MINGW32__
// MinGW-w64 may send vprintf to its own formatter; this is msvcrt.dll's.
#define vprintf __ms_vprintf
#endif

namespace {

char buffer[512];

bool isConsole(HANDLE handle) {
  DWORD mode = 0;
  return GetConsoleMode(handle, &mode) != 0;
}

}  // namespace

void report_open() {
  if (isConsole(GetStdHandle(STD_OUTPUT_HANDLE))) {
    (void)setvbuf(stdout, nullptr, _IONBF, 0);  // on failure the runtime's own mode stays
  } else {
    (void)setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
  }
}

void report_printf(const char *format, ...) {  // NOLINT(cert-dcl50-cpp): printf-style by design
  va_list arguments;
  va_start(arguments, format);
  vprintf(format, arguments);
  va_end(arguments);
}

void report_close() { (void)fflush(stdout); }  // a failed write is not reported
