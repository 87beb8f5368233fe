// varnek1: calls GetLogColorSpaceA once for each of the 3 x 3 x 5 combinations
// of handle, record address and byte count, and prints what each call returned,
// the last-error value after it and the lcsSize field of its own record, or
// "Got SEH" when the call raised an access violation.
#include "platform.h"

#include <cstring>

namespace {

constexpr unsigned char fillByte = 0xCE;
constexpr DWORD lastErrorSentinel = 123456;

struct HandleCase {
  HCOLORSPACE value;
  const char *label;
};

struct BufferCase {
  LPLOGCOLORSPACEA value;
  const char *label;
};

struct SizeCase {
  DWORD value;
  const char *label;
};

// log is followed by 100 spare bytes, so that a platform that writes the whole
// byte count it is given (329 or 428) damages nothing.
struct LogWithSpare {
  LOGCOLORSPACEA log;
  unsigned char spare[100];
};

struct Case {
  int i, j, k;
  const HandleCase *handle;
  const BufferCase *buffer;
  const SizeCase *size;
  LOGCOLORSPACEA *log;
};

void runCase(void *context) {
  const Case &c = *static_cast<const Case *>(context);
  report_printf("#[%d,%d,%d]:GetLogColorSpace(%s, %s, %s):\n", c.i, c.j, c.k, c.handle->label,
                c.buffer->label, c.size->label);
  std::memset(c.log, fillByte, sizeof *c.log);
  SetLastError(lastErrorSentinel);
  const BOOL ret = GetLogColorSpaceA(c.handle->value, c.buffer->value, c.size->value);
  const DWORD err = GetLastError();
  report_printf("ret:%d, LastError:%ld, log.lcsSize:%ld\n", ret, static_cast<LONG>(err),
                static_cast<LONG>(c.log->lcsSize));
}

}  // namespace

int main() {
  report_open();
  LogWithSpare record;
  LOGCOLORSPACEA &log = record.log;

  HDC hdc = CreateCompatibleDC(nullptr);
  const HandleCase handles[] = {
      {nullptr, "NULL"},
      {GetColorSpace(hdc), "GetColorSpace(hdc)"},
      // NOLINTNEXTLINE(performance-no-int-to-ptr): a bogus handle on purpose
      {reinterpret_cast<HCOLORSPACE>(1), "(HCOLORSPACE)1"},
  };
  const BufferCase buffers[] = {
      {nullptr, "NULL"},
      {&log, "&log"},
      // NOLINTNEXTLINE(performance-no-int-to-ptr): a bogus address on purpose
      {reinterpret_cast<LPLOGCOLORSPACEA>(1), "(LPLOGCOLORSPACE)1"},
  };
  const SizeCase sizes[] = {
      {0, "0"},
      {4, "4"},
      {sizeof(LOGCOLORSPACEA), "sizeof(LOGCOLORSPACE)"},
      {sizeof(LOGCOLORSPACEA) + 1, "sizeof(LOGCOLORSPACE) + 1"},
      {sizeof(LOGCOLORSPACEA) + 100, "sizeof(LOGCOLORSPACE) + 100"},
  };

  report_printf("sizeof(LOGCOLORSPACE): %d\n", static_cast<int>(sizeof(LOGCOLORSPACEA)));
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      for (int k = 0; k < 5; ++k) {
        report_printf("---\n");
        Case c{i, j, k, &handles[i], &buffers[j], &sizes[k], &log};
        if (!run_guarded(runCase, &c)) report_printf("Got SEH\n");
      }
    }
  }
  DeleteDC(hdc);
  report_close();
  return 0;
}
