// A scripted test double of the platform's GDI and kernel calls, for the probes
// to link against in place of the stand-in. It answers as its script says
// (script.h) and writes a log of every call it receives, one line each, to the
// file named by VARNEK_DOUBLE_LOG. So the log's order is the order of the
// calls, and what is checked at a call goes on its line:
// - handles are written "0", "1", "dc" and "cs" (the double's own);
// - addresses as "0", small bogus values in decimal, and otherwise by the order
//   in which the double first saw them: "@0" is the first record, "@0+68" a
//   place inside it;
// - a probed call's line ends with "fill:XX" when every byte of its record
//   (the one it is passed, or the last one seen when passed null or a bogus
//   address) holds XX as the call comes, "fill:mixed" when they differ and
//   "fill:none" when no record has been seen yet.
// Portable C++: what is not goes behind other-fault.h and handled-fault.h.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "handled-fault.h"
#include "other-fault.h"
#include "platform.h"
#include "script.h"

namespace {

// The double's handles: tokens, never 0 or 1.
const std::uintptr_t dcToken = 0x4D44;
const std::uintptr_t csToken = 0x4353;

// Below this no address is real, on Windows or on Linux.
constexpr std::uintptr_t lowestRealAddress = 0x10000;

thread_local DWORD lastError = 0;

struct Region {
  std::uintptr_t start;
  std::size_t size;
};
std::vector<Region> regions;
int lastRecord = -1;
std::vector<std::string> functionsSeen;
std::vector<int> functionCounts;
int probedCount = 0;

std::FILE *logFile() {
  static std::FILE *file = [] {
    const char *path = std::getenv("VARNEK_DOUBLE_LOG");
    return path == nullptr ? nullptr : std::fopen(path, "wb");
  }();
  return file;
}

void logLine(const std::string &line) {
  std::FILE *file = logFile();
  if (file == nullptr) return;
  // A log that cannot be written shows in the test as calls missing from it.
  (void)std::fputs(line.c_str(), file);
  (void)std::fputc('\n', file);
  (void)std::fflush(file);  // the run may end by a fault right after
}

std::uintptr_t valueOf(const volatile void *pointer) {
  return reinterpret_cast<std::uintptr_t>(pointer);
}

bool isReal(std::uintptr_t address) { return address >= lowestRealAddress; }

std::string decimal(long long value) { return std::to_string(value); }

std::string handleText(const void *handle) {
  const std::uintptr_t value = valueOf(handle);
  if (value == dcToken) return "dc";
  if (value == csToken) return "cs";
  if (!isReal(value)) return decimal(static_cast<long long>(value));
  char text[32];
  (void)std::snprintf(text, sizeof text, "0x%" PRIxPTR, value);
  return text;
}

// The region holding the address, registering one of the given size when none
// does. Returns its index.
int regionOf(std::uintptr_t address, std::size_t size) {
  for (std::size_t i = 0; i < regions.size(); ++i) {
    if (address == regions[i].start && size > regions[i].size) regions[i].size = size;
    if (address >= regions[i].start && address - regions[i].start < regions[i].size)
      return static_cast<int>(i);
  }
  regions.push_back({address, size > 0 ? size : 1});
  return static_cast<int>(regions.size() - 1);
}

std::string addressText(const void *pointer, std::size_t size = 1) {
  const std::uintptr_t value = valueOf(pointer);
  if (!isReal(value)) return decimal(static_cast<long long>(value));
  const int index = regionOf(value, size);
  std::string text = "@" + decimal(index);
  const std::uintptr_t offset = value - regions[static_cast<std::size_t>(index)].start;
  if (offset != 0) text += "+" + decimal(static_cast<long long>(offset));
  return text;
}

ScriptedCall nextCall(const char *function, bool probed) {
  std::size_t index = 0;
  while (index < functionsSeen.size() && functionsSeen[index] != function) ++index;
  if (index == functionsSeen.size()) {
    functionsSeen.emplace_back(function);
    functionCounts.push_back(0);
  }
  ScriptedCall call{function, functionCounts[index]++, probed ? probedCount++ : -1};
  return call;
}

// Read at run time, so that no compiler sees a store to a constant address.
volatile std::uintptr_t badAddress = 1;

void accessViolation() {
  // NOLINTNEXTLINE(performance-no-int-to-ptr): the bogus address on purpose
  auto *bad = reinterpret_cast<volatile unsigned char *>(badAddress);
  *bad = 0;
}

void storeBytes(std::uintptr_t address, const unsigned char *bytes, std::size_t count) {
  // NOLINTNEXTLINE(performance-no-int-to-ptr): the record's address
  auto *to = reinterpret_cast<volatile unsigned char *>(address);
  for (std::size_t i = 0; i < count; ++i) to[i] = bytes[i];
}

void fillBytes(std::uintptr_t address, unsigned char value, std::size_t count) {
  // NOLINTNEXTLINE(performance-no-int-to-ptr): the caller's address, as given
  auto *to = reinterpret_cast<volatile unsigned char *>(address);
  for (std::size_t i = 0; i < count; ++i) to[i] = value;
}

// What every call does after its own work: error, faults, then the result.
template <typename Result>
Result finish(const CallActions &actions, Result result) {
  if (actions.hasErr) lastError = actions.err;
  if (actions.handledFault)
    logLine(handled_fault() ? "fault handled below: address reported bad"
                            : "fault handled below: not reported");
  if (actions.fault) accessViolation();
  if (!actions.otherFault.empty()) {
    raise_other_fault(actions.otherFault.c_str());
    logLine("unknown fault kind " + actions.otherFault);
  }
  return result;
}

CallActions begin(const ScriptedCall &call, const std::string &line) {
  logLine(line);
  CallActions actions = script_actions(call);
  if (actions.mark) report_printf("<<%s>>", call.function);
  return actions;
}

// A simple call: logged, scripted, with its own result when the script gives none.
template <typename Result>
Result simpleCall(const char *function, const std::string &arguments, Result result) {
  const CallActions actions =
      begin(nextCall(function, false), std::string(function) + "(" + arguments + ")");
  if (actions.hasRet) result = static_cast<Result>(static_cast<std::intptr_t>(actions.ret));
  return finish(actions, result);
}

template <typename Handle>
Handle handleResult(const char *function, const std::string &arguments, std::uintptr_t token) {
  const CallActions actions =
      begin(nextCall(function, false), std::string(function) + "(" + arguments + ")");
  const std::uintptr_t value =
      actions.hasRet ? static_cast<std::uintptr_t>(static_cast<std::uint32_t>(actions.ret)) : token;
  // NOLINTNEXTLINE(performance-no-int-to-ptr): handles are tokens
  return finish(actions, reinterpret_cast<Handle>(value));
}

std::string fillText(std::size_t recordSize) {
  if (lastRecord < 0) return "fill:none";
  const std::uintptr_t start = regions[static_cast<std::size_t>(lastRecord)].start;
  // NOLINTNEXTLINE(performance-no-int-to-ptr): the record's address, kept as a number
  const auto *bytes = reinterpret_cast<const unsigned char *>(start);
  for (std::size_t i = 1; i < recordSize; ++i)
    if (bytes[i] != bytes[0]) return "fill:mixed";
  char text[16];
  (void)std::snprintf(text, sizeof text, "fill:%02X", bytes[0]);
  return text;
}

// GetLogColorSpaceA/W and GetObjectA/W: the calls the probes probe.
template <typename Record, typename Unit>
int probedCall(const char *function, const std::string &handle, const void *record, long long count,
               bool countFirst) {
  const ScriptedCall call = nextCall(function, true);
  const std::uintptr_t address = valueOf(record);
  if (isReal(address)) lastRecord = regionOf(address, sizeof(Record));
  const std::string recordText = addressText(record, sizeof(Record));
  const std::string countText = decimal(count);
  const std::string arguments = countFirst ? handle + ", " + countText + ", " + recordText
                                           : handle + ", " + recordText + ", " + countText;
  const CallActions actions =
      begin(call, std::string(function) + "(" + arguments + ") " + fillText(sizeof(Record)));

  if (lastRecord >= 0) {
    const std::uintptr_t target = regions[static_cast<std::size_t>(lastRecord)].start;
    if (actions.hasLcsSize) {
      const unsigned char bytes[4] = {static_cast<unsigned char>(actions.lcsSize),
                                      static_cast<unsigned char>(actions.lcsSize >> 8),
                                      static_cast<unsigned char>(actions.lcsSize >> 16),
                                      static_cast<unsigned char>(actions.lcsSize >> 24)};
      storeBytes(target + 8, bytes, sizeof bytes);
    }
    for (const ScriptWrite &write : actions.writes) {
      if (write.offset + write.bytes.size() > sizeof(Record))
        logLine("write past the record ignored");
      else
        storeBytes(target + write.offset, write.bytes.data(), write.bytes.size());
    }
    if (actions.hasName) {
      if (actions.name.size() > 260) logLine("name longer than the field ignored");
      std::vector<unsigned char> bytes;
      for (std::uint16_t unit : actions.name) {
        bytes.push_back(static_cast<unsigned char>(unit));
        if (sizeof(Unit) == 2) bytes.push_back(static_cast<unsigned char>(unit >> 8));
      }
      if (actions.name.size() <= 260) storeBytes(target + 68, bytes.data(), bytes.size());
    }
  }
  // Byte by byte, with no buffer on the heap: the spill may fault, and the
  // guard's jump out of this frame runs no destructor.
  if (actions.hasSpill && address != 0 && count > 0)
    fillBytes(address, actions.spill, static_cast<std::size_t>(count));
  return finish(actions, actions.hasRet ? actions.ret : 0);
}

}  // namespace

HDC CreateCompatibleDC(HDC dc) {
  return handleResult<HDC>("CreateCompatibleDC", handleText(dc), dcToken);
}

BOOL DeleteDC(HDC dc) { return simpleCall<BOOL>("DeleteDC", handleText(dc), TRUE); }

HCOLORSPACE GetColorSpace(HDC dc) {
  return handleResult<HCOLORSPACE>("GetColorSpace", handleText(dc),
                                   valueOf(dc) == dcToken ? csToken : 0);
}

DWORD GetObjectType(HGDIOBJ handle) {
  const std::uintptr_t value = valueOf(handle);
  const DWORD type = value == csToken ? OBJ_COLORSPACE : value == dcToken ? OBJ_MEMDC : 0;
  return simpleCall<DWORD>("GetObjectType", handleText(handle), type);
}

BOOL GetLogColorSpaceA(HCOLORSPACE colorSpace, LPLOGCOLORSPACEA buffer, DWORD size) {
  return probedCall<LOGCOLORSPACEA, CHAR>("GetLogColorSpaceA", handleText(colorSpace), buffer, size,
                                          false);
}

BOOL GetLogColorSpaceW(HCOLORSPACE colorSpace, LPLOGCOLORSPACEW buffer, DWORD size) {
  return probedCall<LOGCOLORSPACEW, WCHAR>("GetLogColorSpaceW", handleText(colorSpace), buffer,
                                           size, false);
}

int GetObjectA(HANDLE object, int count, LPVOID buffer) {
  return probedCall<LOGCOLORSPACEA, CHAR>("GetObjectA", handleText(object), buffer, count, true);
}

int GetObjectW(HANDLE object, int count, LPVOID buffer) {
  return probedCall<LOGCOLORSPACEW, WCHAR>("GetObjectW", handleText(object), buffer, count, true);
}

void SetLastError(DWORD error) {
  simpleCall<int>("SetLastError", decimal(error), 0);
  lastError = error;
}

DWORD GetLastError() {
  const DWORD error = lastError;
  return simpleCall<DWORD>("GetLastError", "", error);
}

// Converts code units below 0x100 to the byte of the same value and every other
// one to '?', unlike any real code page, so that a report shows which side did
// the conversion. Writes no NUL of its own; with length -1 the NUL is converted
// and counted. Never reads past the record the text lies in.
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR narrow,
                        int narrowSize, LPCSTR defaultChar, BOOL *usedDefaultChar) {
  // One at a time: new addresses are named in the order they are met.
  std::string arguments = decimal(codePage) + ", " + decimal(flags) + ", ";
  arguments += addressText(wide) + ", " + decimal(wideLength) + ", ";
  arguments +=
      addressText(narrow, narrowSize > 0 ? static_cast<std::size_t>(narrowSize) : 1) + ", ";
  arguments += decimal(narrowSize) + ", ";
  arguments += addressText(defaultChar) + ", ";
  arguments += addressText(usedDefaultChar);
  const CallActions actions =
      begin(nextCall("WideCharToMultiByte", false), "WideCharToMultiByte(" + arguments + ")");
  if (actions.hasRet) return finish(actions, actions.ret);

  long long readable = wideLength;
  if (wideLength < 0) {
    const std::uintptr_t source = valueOf(wide);
    const Region &region = regions[static_cast<std::size_t>(regionOf(source, 1))];
    const std::size_t room = (region.start + region.size - source) / sizeof(WCHAR);
    readable = 0;
    while (static_cast<std::size_t>(readable) < room && wide[readable] != 0) ++readable;
    if (static_cast<std::size_t>(readable) == room)
      logLine("no NUL before the end of the record");
    else
      ++readable;
  }
  if (readable > narrowSize) return finish(actions, 0);
  for (long long i = 0; i < readable; ++i) {
    const WCHAR unit = wide[i];
    narrow[i] = static_cast<char>(unit < 0x100 ? unit : u'?');
  }
  return finish(actions, static_cast<int>(readable));
}
