// The one header the probes include: the platform's colour-space calls and
// records, the access-violation guard and the report stream.
//
// Windows builds take the SDK's own declarations. Builds against the stand-in
// or a scripted test double (VARNEK_OWN_DECLARATIONS) take ours, which declare
// the same names with the same widths.
#ifndef VARNEK_PLATFORM_H
#define VARNEK_PLATFORM_H

#ifdef VARNEK_OWN_DECLARATIONS
#include "gdi-decls.h"
#else
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

// Runs body(context) inside the access-violation guard. Returns true when the
// body ran to its end, false when an access violation (0xC0000005 on Windows,
// a kernel-reported bad-address fault elsewhere) was raised inside it: the rest
// of the body is then abandoned. Any other exception or signal is left to the
// platform's default handling, which ends the process.
bool run_guarded(void (*body)(void *context), void *context);

// The report stream on standard output, in text mode: every LF goes out as
// CR LF. Unbuffered on a console; elsewhere collected in a 512-byte buffer.
// A failed write is not reported and does not stop the run.
void report_open();
// The printf conventions of the Windows C runtime: int and long are 32-bit, so
// "%ld" and "%08lX" take LONG and DWORD. Conversions: %d %u %ld %lu %08lX %s.
void report_printf(const char *format, ...);
// Writes out what the buffer still holds; called at the normal end of the run.
void report_close();

#endif
