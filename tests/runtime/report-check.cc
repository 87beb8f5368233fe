// Prints through the report stream what its arguments say, then ends as a
// probe does. Each print is a format followed by its arguments, prints are
// separated by ";". An argument is typed: "i:-1" (a 32-bit int, for %d and %ld),
// "u:4294967295" (32-bit unsigned, for %u %lu %X), "s:text", "h:0D0A" (text
// given in hex) or "c:10" (a character, for %c). Numbers may be 0x-hex.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform.h"

namespace {

struct Argument {
  char kind;  // 'i', 'u', 's', 'c'
  std::int32_t sign;
  std::uint32_t unsign;
  std::string text;
};

constexpr std::size_t maxArguments = 3;

// Calls report_printf with the arguments, each passed as its own type.
template <typename... Done>
void printWith(const char *format, const Argument *next, const Argument *end, Done... done) {
  if constexpr (sizeof...(Done) < maxArguments) {
    if (next != end) {
      switch (next->kind) {
        case 'i': return printWith(format, next + 1, end, done..., next->sign);
        case 'u': return printWith(format, next + 1, end, done..., next->unsign);
        case 'c': return printWith(format, next + 1, end, done..., static_cast<int>(next->sign));
        default: return printWith(format, next + 1, end, done..., next->text.c_str());
      }
    }
  }
  report_printf(format, done...);
}

Argument parse(const char *text) {
  Argument argument{text[0], 0, 0, {}};
  const char *value = text + 2;
  if (argument.kind == 's') {
    argument.text = value;
  } else if (argument.kind == 'h') {
    argument.kind = 's';
    for (std::size_t i = 0; value[i] != '\0' && value[i + 1] != '\0'; i += 2)
      argument.text += static_cast<char>(std::strtoul(std::string(value + i, 2).c_str(), nullptr, 16));
  } else {
    const long long number = std::strtoll(value, nullptr, 0);
    argument.sign = static_cast<std::int32_t>(static_cast<std::uint32_t>(number & 0xFFFFFFFF));
    argument.unsign = static_cast<std::uint32_t>(number & 0xFFFFFFFF);
  }
  return argument;
}

}  // namespace

int main(int argc, char **argv) {
  report_open();
  for (int at = 1; at < argc;) {
    const char *format = argv[at++];
    std::vector<Argument> arguments;
    while (at < argc && std::strcmp(argv[at], ";") != 0) arguments.push_back(parse(argv[at++]));
    if (at < argc) ++at;
    if (arguments.size() > maxArguments) return 2;
    printWith(format, arguments.data(), arguments.data() + arguments.size());
  }
  report_close();
  return 0;
}
