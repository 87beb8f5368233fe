// The report stream on POSIX systems, written straight to file descriptor 1 in
// the manner of the Windows C runtime's text mode: every LF byte goes out as
// CR LF. On a terminal each printed line is one write; elsewhere the bytes are
// collected in a 512-byte buffer, so every write but the last is 512 bytes.
// A failed write drops its bytes and the run goes on: SIGPIPE is ignored,
// interrupted and short writes are retried. Nothing is flushed at an abnormal
// end.
#include "platform.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstddef>
#include <cstdint>

namespace {

constexpr std::size_t fileBufferSize = 512;
constexpr std::size_t lineBufferSize = 4096;  // a terminal line goes out in one write

char buffer[lineBufferSize];
std::size_t used = 0;
std::size_t capacity = fileBufferSize;
bool terminal = false;

void writeAll(const char *bytes, std::size_t count) {
  while (count > 0) {
    const ssize_t written = write(STDOUT_FILENO, bytes, count);
    if (written > 0) {
      bytes += written;
      count -= static_cast<std::size_t>(written);
    } else if (written < 0 && errno == EINTR) {
      continue;
    } else if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      pollfd ready{STDOUT_FILENO, POLLOUT, 0};
      if (poll(&ready, 1, -1) < 0 && errno != EINTR) return;
    } else {
      return;  // the bytes are lost; the run goes on
    }
  }
}

void flush() {
  writeAll(buffer, used);
  used = 0;
}

void put(char byte) {
  if (used == capacity) flush();
  buffer[used++] = byte;
}

void putText(const char *text, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    if (text[i] == '\n') put('\r');
    put(text[i]);
  }
}

void putPadded(const char *digits, std::size_t count, std::size_t width, bool zeroPad,
               bool leftAlign) {
  std::size_t padding = width > count ? width - count : 0;
  if (!leftAlign) {
    // Zeros go after a sign, spaces before it.
    if (zeroPad && count > 0 && digits[0] == '-') {
      putText(digits, 1);
      ++digits;
      --count;
    }
    for (; padding > 0; --padding) putText(zeroPad ? "0" : " ", 1);
  }
  putText(digits, count);
  for (; padding > 0; --padding) putText(" ", 1);
}

// Digits of value in base 10 or 16, with a leading '-' when negative.
std::size_t formatNumber(char *out, std::uint32_t magnitude, bool negative, unsigned base,
                         bool upper) {
  const char *digitSet = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  char reversed[16];
  std::size_t count = 0;
  do {
    reversed[count++] = digitSet[magnitude % base];
    magnitude /= base;
  } while (magnitude != 0);
  std::size_t length = 0;
  if (negative) out[length++] = '-';
  while (count > 0) out[length++] = reversed[--count];
  return length;
}

void putFormatted(const char *text, va_list arguments) {
  while (*text != '\0') {
    if (*text != '%') {
      std::size_t run = 0;
      while (text[run] != '\0' && text[run] != '%') ++run;
      putText(text, run);
      text += run;
      continue;
    }
    ++text;
    bool zeroPad = false;
    bool leftAlign = false;
    for (;; ++text) {
      if (*text == '0') {
        zeroPad = true;
      } else if (*text == '-') {
        leftAlign = true;
      } else {
        break;
      }
    }
    std::size_t width = 0;
    while (*text >= '0' && *text <= '9')
      width = width * 10 + static_cast<std::size_t>(*text++ - '0');
    if (*text == 'l') ++text;  // long is 32-bit, as int is
    char digits[24];
    std::size_t length = 0;
    switch (*text) {
      case 'd':
      case 'i': {
        const std::int32_t value = va_arg(arguments, std::int32_t);
        const std::uint32_t magnitude =
            value < 0 ? 0U - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
        length = formatNumber(digits, magnitude, value < 0, 10, false);
        break;
      }
      case 'u':
        length = formatNumber(digits, va_arg(arguments, std::uint32_t), false, 10, false);
        break;
      case 'x':
      case 'X':
        length = formatNumber(digits, va_arg(arguments, std::uint32_t), false, 16, *text == 'X');
        break;
      case 's': {
        const char *string = va_arg(arguments, const char *);
        if (string == nullptr) string = "(null)";
        std::size_t stringLength = 0;
        while (string[stringLength] != '\0') ++stringLength;
        putPadded(string, stringLength, width, false, leftAlign);
        ++text;
        continue;
      }
      case 'c':
        digits[length++] = static_cast<char>(va_arg(arguments, int));
        zeroPad = false;
        break;
      case '%':
        digits[length++] = '%';
        break;
      default:  // not a conversion we know: print it as it stands
        putText("%", 1);
        if (*text == '\0') return;
        putText(text++, 1);
        continue;
    }
    putPadded(digits, length, width, zeroPad && !leftAlign, leftAlign);
    ++text;
  }
}

}  // namespace

void report_open() {
  terminal = isatty(STDOUT_FILENO) != 0;
  capacity = terminal ? lineBufferSize : fileBufferSize;
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGPIPE, &ignore, nullptr);
}

void report_printf(const char *format, ...) {  // NOLINT(cert-dcl50-cpp): printf-style by design
  va_list arguments;
  va_start(arguments, format);
  putFormatted(format, arguments);
  va_end(arguments);
  if (terminal) flush();
}

void report_close() { flush(); }
