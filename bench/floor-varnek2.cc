// The floor that varnek2's and varnek2w's cost is measured against: a plain
// program that makes the same printf calls with the same values, its formats
// ending in "\r\n", through a 512-byte stdio buffer (unbuffered on a
// terminal). It calls no GDI; the values are the stand-in's answers, for the
// 328-byte narrow record or, with UNICODE, the 588-byte wide one.
#include <unistd.h>

#include <cstdio>

namespace {

char streamBuffer[512];

#ifdef UNICODE
constexpr unsigned recordSize = 588;
#else
constexpr unsigned recordSize = 328;
#endif

void printFields(const char *name) {
  std::printf("%s.lcsSignature: %08lX\r\n", name, 0x50534F43UL);
  std::printf("%s.lcsVersion: %08lX\r\n", name, 0x400UL);
  std::printf("%s.lcsSize: %08lX\r\n", name, static_cast<unsigned long>(recordSize));
  std::printf("%s.lcsCSType: %08lX\r\n", name, 0x73524742UL);
  std::printf("%s.lcsIntent: %08lX\r\n", name, 4UL);
  std::printf("%s.lcsEndpoints: %08lX\r\n", name, 0UL);
  std::printf("%s.lcsGammaRed: %08lX\r\n", name, 0UL);
  std::printf("%s.lcsGammaGreen: %08lX\r\n", name, 0UL);
  std::printf("%s.lcsGammaBlue: %08lX\r\n", name, 0UL);
  std::printf("%s.lcsFilename: %s\r\n", name, "");
}

}  // namespace

int main() {
  const int mode = isatty(STDOUT_FILENO) != 0 ? _IONBF : _IOFBF;
  if (std::setvbuf(stdout, streamBuffer, mode, sizeof streamBuffer) != 0) return 1;
  std::printf("type: %lu\r\n", 14UL);
  std::printf("sizeof(LOGCOLORSPACE): %u\r\n", recordSize);
  std::printf("ret1:%d, err1:%ld, lcs1.lcsSize:%ld\r\n", 1, 123456L, long{recordSize});
  std::printf("ret2:%d, err2:%ld, lcs2.lcsSize:%ld\r\n", int{recordSize}, 123456L,
              long{recordSize});
  std::printf("compare:%d\r\n", 222);
  std::printf("---\r\n");
  printFields("lcs1");
  std::printf("---\r\n");
  printFields("lcs2");
  return 0;
}
