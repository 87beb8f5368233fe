// varnek2: reads the logical record of a fresh memory DC's colour space by two
// routes, GetLogColorSpace into lcs1 and GetObject into lcs2, and prints both
// results and last-error values, the byte comparison of the two records and
// every field of both. Built narrow (the A functions, LOGCOLORSPACEA) and, with
// UNICODE defined, wide (the W functions, LOGCOLORSPACEW, the file name
// converted to the ANSI code page for printing).
#include "platform.h"

#include <cstring>

namespace {

constexpr unsigned char fillByte = 0xDE;
constexpr DWORD lastErrorSentinel = 123456;
constexpr int fileNameLength = MAX_PATH;

// The first difference as unsigned bytes, lcs1's minus lcs2's: -255 to 255.
// An explicit loop, since the C library's memcmp promises only the sign.
int compareBytes(const LOGCOLORSPACE &lcs1, const LOGCOLORSPACE &lcs2) {
  const auto *left = reinterpret_cast<const unsigned char *>(&lcs1);
  const auto *right = reinterpret_cast<const unsigned char *>(&lcs2);
  for (std::size_t i = 0; i < sizeof(LOGCOLORSPACE); ++i) {
    if (left[i] != right[i]) return left[i] - right[i];
  }
  return 0;
}

#ifdef UNICODE
// The narrowing buffer: both file names are converted into it in turn.
char narrowed[1024];

const char *fileNameText(const LOGCOLORSPACE &record) {
  const WCHAR *name = record.lcsFilename;
  bool terminated = false;
  for (int i = 0; i < fileNameLength && !terminated; ++i) terminated = name[i] == 0;
  // With no NUL in the field, exactly its characters are converted and the
  // text ends where the conversion's count says: a failed one leaves it empty.
  const int count = WideCharToMultiByte(CP_ACP, 0, name, terminated ? -1 : fileNameLength, narrowed,
                                        sizeof narrowed, nullptr, nullptr);
  if (!terminated) narrowed[count >= 0 && count < int{sizeof narrowed} ? count : 0] = '\0';
  return narrowed;
}
#else
// The name up to its NUL, or all of the field's characters when it has none.
char nameText[fileNameLength + 1];

const char *fileNameText(const LOGCOLORSPACE &record) {
  std::memcpy(nameText, record.lcsFilename, fileNameLength);
  nameText[fileNameLength] = '\0';
  return nameText;
}
#endif

void printFields(const char *name, const LOGCOLORSPACE &record) {
  report_printf("%s.lcsSignature: %08lX\n", name, record.lcsSignature);
  report_printf("%s.lcsVersion: %08lX\n", name, record.lcsVersion);
  report_printf("%s.lcsSize: %08lX\n", name, record.lcsSize);
  report_printf("%s.lcsCSType: %08lX\n", name, static_cast<DWORD>(record.lcsCSType));
  report_printf("%s.lcsIntent: %08lX\n", name, static_cast<DWORD>(record.lcsIntent));
  report_printf("%s.lcsEndpoints: %08lX\n", name,
                static_cast<DWORD>(record.lcsEndpoints.ciexyzRed.ciexyzX));
  report_printf("%s.lcsGammaRed: %08lX\n", name, record.lcsGammaRed);
  report_printf("%s.lcsGammaGreen: %08lX\n", name, record.lcsGammaGreen);
  report_printf("%s.lcsGammaBlue: %08lX\n", name, record.lcsGammaBlue);
  report_printf("%s.lcsFilename: %s\n", name, fileNameText(record));
}

}  // namespace

int main() {
  report_open();
  LOGCOLORSPACE lcs1;
  LOGCOLORSPACE lcs2;

  HDC hdc = CreateCompatibleDC(nullptr);
  HCOLORSPACE colorSpace = GetColorSpace(hdc);
  report_printf("type: %lu\n", GetObjectType(colorSpace));
  report_printf("sizeof(LOGCOLORSPACE): %u\n", static_cast<unsigned>(sizeof(LOGCOLORSPACE)));

  std::memset(&lcs1, fillByte, sizeof lcs1);
  SetLastError(lastErrorSentinel);
  const BOOL ret1 = GetLogColorSpace(colorSpace, &lcs1, sizeof lcs1);
  const DWORD err1 = GetLastError();

  std::memset(&lcs2, fillByte, sizeof lcs2);
  SetLastError(lastErrorSentinel);
  const int ret2 = GetObject(colorSpace, sizeof lcs2, &lcs2);
  const DWORD err2 = GetLastError();

  report_printf("ret1:%d, err1:%ld, lcs1.lcsSize:%ld\n", ret1, static_cast<LONG>(err1),
                static_cast<LONG>(lcs1.lcsSize));
  report_printf("ret2:%d, err2:%ld, lcs2.lcsSize:%ld\n", ret2, static_cast<LONG>(err2),
                static_cast<LONG>(lcs2.lcsSize));
  report_printf("compare:%d\n", compareBytes(lcs1, lcs2));
  report_printf("---\n");
  printFields("lcs1", lcs1);
  report_printf("---\n");
  printFields("lcs2", lcs2);

  DeleteDC(hdc);
  report_close();
  return 0;
}
