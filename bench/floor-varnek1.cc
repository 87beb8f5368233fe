// The floor that varnek1's cost is measured against: a plain program that
// makes the same printf calls with the same values, its formats ending in
// "\r\n", through a 512-byte stdio buffer (unbuffered on a terminal). It calls
// no GDI and enters no guard; the result lines are the stand-in's answers.
#include <unistd.h>

#include <cstdio>

namespace {

char streamBuffer[512];

const char *const handleLabels[] = {"NULL", "GetColorSpace(hdc)", "(HCOLORSPACE)1"};
const char *const bufferLabels[] = {"NULL", "&log", "(LPLOGCOLORSPACE)1"};
const char *const sizeLabels[] = {"0", "4", "sizeof(LOGCOLORSPACE)", "sizeof(LOGCOLORSPACE) + 1",
                                  "sizeof(LOGCOLORSPACE) + 100"};

constexpr long untouchedSize = -825307442;  // the fill bytes 0xCECECECE

}  // namespace

int main() {
  const int mode = isatty(STDOUT_FILENO) != 0 ? _IONBF : _IOFBF;
  if (std::setvbuf(stdout, streamBuffer, mode, sizeof streamBuffer) != 0) return 1;
  std::printf("sizeof(LOGCOLORSPACE): %d\r\n", 328);
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      for (int k = 0; k < 5; ++k) {
        std::printf("---\r\n");
        std::printf("#[%d,%d,%d]:GetLogColorSpace(%s, %s, %s):\r\n", i, j, k, handleLabels[i],
                    bufferLabels[j], sizeLabels[k]);
        if (i != 1) {
          std::printf("ret:%d, LastError:%ld, log.lcsSize:%ld\r\n", 0, 6L, untouchedSize);
        } else if (j == 0) {
          std::printf("ret:%d, LastError:%ld, log.lcsSize:%ld\r\n", 0, 87L, untouchedSize);
        } else if (k < 2) {
          std::printf("ret:%d, LastError:%ld, log.lcsSize:%ld\r\n", 0, 122L, untouchedSize);
        } else if (j == 1) {
          std::printf("ret:%d, LastError:%ld, log.lcsSize:%ld\r\n", 1, 123456L, 328L);
        } else {
          std::printf("Got SEH\r\n");
        }
      }
    }
  }
  return 0;
}
