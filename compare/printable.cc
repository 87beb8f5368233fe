#include "printable.h"

#include <cstddef>

namespace {

// Runs shorter than these stay as they are: "00000000" is a value, not a run.
constexpr std::size_t shortestEscapedRun = 4;
constexpr std::size_t shortestPrintableRun = 16;

bool isPrintableAscii(unsigned char byte) { return byte >= 0x20 && byte <= 0x7E; }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

void appendEscaped(std::string &out, unsigned char byte) {
  static const char hex[] = "0123456789ABCDEF";
  out += "\\x";
  out += hex[byte >> 4];
  out += hex[byte & 0xF];
}

}  // namespace

std::string printable(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  std::size_t at = 0;
  while (at < bytes.size()) {
    const char c = bytes[at];
    const auto byte = static_cast<unsigned char>(c);
    std::size_t run = 1;
    while (at + run < bytes.size() && bytes[at + run] == c) {
      ++run;
    }
    if (run < (isPrintableAscii(byte) ? shortestPrintableRun : shortestEscapedRun)) {
      run = 1;
    }
    const char next = at + run < bytes.size() ? bytes[at + run] : '\0';
    const bool ambiguous = run == 1 && ((c == '\\' && next == 'x') || (c == '{' && isDigit(next)));
    if (isPrintableAscii(byte) && !ambiguous) {
      out += c;
    } else {
      appendEscaped(out, byte);
    }
    if (run > 1) {
      out += '{' + std::to_string(run) + '}';
    }
    at += run;
  }
  return out;
}

std::string printableExcerpt(std::string_view bytes, std::size_t limit) {
  std::string text = printable(bytes);
  if (text.size() > limit) {
    std::size_t cut = limit - 3;
    const std::size_t escape = text.rfind("\\x", cut);
    if (escape != std::string::npos && escape + 4 > cut) {
      cut = escape;  // not inside a \xHH
    }
    text.resize(cut);
    text += "...";
  }
  return text;
}
