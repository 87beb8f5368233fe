// Shows how report_open set up the C runtime's standard output: writes
// "unbuffered" or "buffered N", and whether the runtime's isatty calls it a
// device, to the file named by the first argument; then prints one report
// line and ends as a probe does.
#include "platform.h"

#include <io.h>
#include <stdio.h>

int main(int argc, char **argv) {
  if (argc < 2) return 2;
  report_open();
  FILE *finding = fopen(argv[1], "w");
  if (finding == nullptr) return 3;
  if ((stdout->_flag & _IONBF) != 0) {
    (void)fprintf(finding, "unbuffered");
  } else {
    (void)fprintf(finding, "buffered %d", stdout->_bufsiz);
  }
  (void)fprintf(finding, ", isatty %d\n", _isatty(_fileno(stdout)) != 0 ? 1 : 0);
  (void)fclose(finding);
  report_printf("line %d\n", 1);
  report_close();
  return 0;
}
