// The stand-in's WideCharToMultiByte against a table of conversions: CP_ACP is
// Windows-1252, with no best-fit mappings. Prints each failure; exit status 1
// when there is one.
#include <cstdio>
#include <cstring>

#include "platform.h"

namespace {

struct Conversion {
  const char *what;
  WCHAR wide[4];
  int length;           // the source length passed: -1 or a count
  int room;             // the output's size
  int count;            // the result
  const char *narrow;   // the bytes written, `count` of them
};

const Conversion conversions[] = {
    // what                         wide text                  length room count narrow
    {"ASCII, to the NUL",           {u'A', u'b', 0, 0},        -1,    8,   3,    "Ab"},
    {"Latin-1 e acute",             {0x00E9, 0, 0, 0},         -1,    8,   2,    "\xE9"},
    {"euro sign to 0x80",           {0x20AC, 0x2122, 0, 0},    -1,    8,   3,    "\x80\x99"},
    {"C1 control: not in 1252",     {0x0081, 0, 0, 0},         -1,    8,   2,    "?"},
    {"unpaired surrogate 0xDEDE",   {0xDEDE, 0xDEDE, 0, 0},    2,     8,   2,    "??"},
    {"a count: no NUL added",       {u'x', u'y', u'z', 0},     2,     8,   2,    "xy"},
    {"room for the size only",      {u'x', u'y', 0, 0},        -1,    0,   3,    ""},
    {"too little room",             {u'x', u'y', 0, 0},        -1,    2,   0,    ""},
};

}  // namespace

int main() {
  int failures = 0;
  for (const Conversion &c : conversions) {
    char narrow[8];
    std::memset(narrow, '#', sizeof narrow);
    const int count = WideCharToMultiByte(CP_ACP, 0, c.wide, c.length, c.room > 0 ? narrow : nullptr, c.room,
                                          nullptr, nullptr);
    const bool wrote = c.count == 0 || c.room == 0 ||
                       (std::memcmp(narrow, c.narrow, static_cast<std::size_t>(c.count)) == 0 &&
                        (c.count == int{sizeof narrow} || narrow[c.count] == '#'));
    if (count != c.count || !wrote) {
      std::printf("FAIL %s: count %d, expected %d\n", c.what, count, c.count);
      ++failures;
    }
  }
  if (failures == 0) std::printf("ok stand-in conversions\n");
  return failures == 0 ? 0 : 1;
}
