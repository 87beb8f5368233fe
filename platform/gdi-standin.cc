// The stand-in for GDI on systems without it: a small deterministic model,
// close enough to Windows that the probes' reports exercise every path.
//
// What it models:
// - A table of GDI objects whose handles are never 0 or 1. It starts with one
//   stock colour space, sRGB; CreateCompatibleDC(null) adds a memory DC whose
//   colour space is that stock object, DeleteDC removes it.
// - GetLogColorSpaceA/W check, in this order, the handle (ERROR_INVALID_HANDLE),
//   the record (ERROR_INVALID_PARAMETER) and the size (ERROR_INSUFFICIENT_BUFFER),
//   then write the fixed fields and the file name up to and including its NUL,
//   leaving the rest of the record as it was and the last error alone.
// - GetObjectA/W on a colour space answer the record size for a null record,
//   0 with ERROR_INSUFFICIENT_BUFFER for a short one, and otherwise write the
//   whole record, the file name padded with zeros.
// - WideCharToMultiByte with CP_ACP converts to Windows-1252, with no best-fit
//   mappings: what the code page lacks becomes '?'.
// - The last-error value is kept per thread.
// Records are written byte by byte, never past the record whatever size the
// caller names, so that a bad address such as 1 faults on its first byte and
// nothing else happens there first.
#include "platform.h"

#include <cstddef>

namespace {

enum class Kind { none, colorSpace, memoryDC };

struct GdiObject {
  Kind kind;
  HCOLORSPACE colorSpace;  // a memory DC's current colour space
};

// Handles are the slot's index plus this base, so never 0 or 1.
constexpr std::uintptr_t handleBase = 0x10;
constexpr std::size_t objectSlots = 16;
GdiObject objects[objectSlots] = {{Kind::colorSpace, nullptr}};  // slot 0: the stock sRGB

thread_local DWORD lastError = 0;

const GdiObject *find(const void *handle) {
  auto value = reinterpret_cast<std::uintptr_t>(handle);
  if (value < handleBase || value - handleBase >= objectSlots) return nullptr;
  const GdiObject &object = objects[value - handleBase];
  return object.kind == Kind::none ? nullptr : &object;
}

template <typename Handle>
Handle handleOf(std::size_t slot) {
  const std::uintptr_t token = handleBase + slot;
  return reinterpret_cast<Handle>(token);  // NOLINT(performance-no-int-to-ptr): handles are tokens
}

bool isColorSpace(const void *handle) {
  const GdiObject *object = find(handle);
  return object != nullptr && object->kind == Kind::colorSpace;
}

// The stock sRGB colour space's record: endpoints and gammas 0, empty file name.
template <typename Record>
Record stockRecord() {
  Record record{};
  record.lcsSignature = 0x50534F43;  // 'PSOC'
  record.lcsVersion = 0x400;
  record.lcsSize = sizeof(Record);
  record.lcsCSType = 0x73524742;  // 'sRGB'
  record.lcsIntent = 4;           // LCS_GM_IMAGES
  return record;
}

// Byte stores only: no wider or misaligned store happens at a bad address.
void copyBytes(void *destination, const void *source, std::size_t count) {
  auto *to = static_cast<volatile unsigned char *>(destination);
  const auto *from = static_cast<const unsigned char *>(source);
  for (std::size_t i = 0; i < count; ++i) to[i] = from[i];
}

template <typename Record>
BOOL getLogColorSpace(HCOLORSPACE colorSpace, Record *buffer, DWORD size) {
  if (!isColorSpace(colorSpace)) {
    lastError = ERROR_INVALID_HANDLE;
    return FALSE;
  }
  if (buffer == nullptr) {
    lastError = ERROR_INVALID_PARAMETER;
    return FALSE;
  }
  if (size < sizeof(Record)) {
    lastError = ERROR_INSUFFICIENT_BUFFER;
    return FALSE;
  }
  // The fixed fields and the file name up to and including its NUL: the
  // stock name is empty, so its first character is the NUL.
  const Record record = stockRecord<Record>();
  copyBytes(buffer, &record, offsetof(Record, lcsFilename) + sizeof record.lcsFilename[0]);
  return TRUE;
}

template <typename Record>
int getObject(HANDLE object, int count, LPVOID buffer) {
  if (!isColorSpace(object)) {
    lastError = ERROR_INVALID_HANDLE;
    return 0;
  }
  if (buffer == nullptr) return static_cast<int>(sizeof(Record));
  if (count < static_cast<int>(sizeof(Record))) {
    lastError = ERROR_INSUFFICIENT_BUFFER;
    return 0;
  }
  const Record record = stockRecord<Record>();
  copyBytes(buffer, &record, sizeof record);
  return static_cast<int>(sizeof(Record));
}

// Windows-1252 at 0x80..0x9F; 0 where the code page has no character.
constexpr char16_t cp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char toCodePage1252(char16_t wide) {
  if (wide < 0x80 || (wide >= 0xA0 && wide <= 0xFF)) return static_cast<char>(wide);
  for (unsigned i = 0; i < 32; ++i)
    if (cp1252High[i] != 0 && cp1252High[i] == wide) return static_cast<char>(0x80 + i);
  return '?';
}

}  // namespace

HDC CreateCompatibleDC(HDC dc) {
  if (dc != nullptr && (find(dc) == nullptr || find(dc)->kind != Kind::memoryDC)) return nullptr;
  for (std::size_t slot = 1; slot < objectSlots; ++slot) {
    if (objects[slot].kind == Kind::none) {
      objects[slot] = {Kind::memoryDC, handleOf<HCOLORSPACE>(0)};
      return handleOf<HDC>(slot);
    }
  }
  return nullptr;
}

BOOL DeleteDC(HDC dc) {
  const GdiObject *object = find(dc);
  if (object == nullptr || object->kind != Kind::memoryDC) return FALSE;
  objects[reinterpret_cast<std::uintptr_t>(dc) - handleBase] = {Kind::none, nullptr};
  return TRUE;
}

HCOLORSPACE GetColorSpace(HDC dc) {
  const GdiObject *object = find(dc);
  return object != nullptr && object->kind == Kind::memoryDC ? object->colorSpace : nullptr;
}

DWORD GetObjectType(HGDIOBJ handle) {
  const GdiObject *object = find(handle);
  if (object == nullptr) return 0;
  return object->kind == Kind::colorSpace ? OBJ_COLORSPACE : OBJ_MEMDC;
}

BOOL GetLogColorSpaceA(HCOLORSPACE colorSpace, LPLOGCOLORSPACEA buffer, DWORD size) {
  return getLogColorSpace(colorSpace, buffer, size);
}

BOOL GetLogColorSpaceW(HCOLORSPACE colorSpace, LPLOGCOLORSPACEW buffer, DWORD size) {
  return getLogColorSpace(colorSpace, buffer, size);
}

int GetObjectA(HANDLE object, int count, LPVOID buffer) {
  return getObject<LOGCOLORSPACEA>(object, count, buffer);
}

int GetObjectW(HANDLE object, int count, LPVOID buffer) {
  return getObject<LOGCOLORSPACEW>(object, count, buffer);
}

void SetLastError(DWORD error) { lastError = error; }

DWORD GetLastError() { return lastError; }

// CP_ACP stands for Windows-1252. A wide length of -1 converts up to and
// including the NUL, which the count then includes. Returns 0 when the output
// does not fit.
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR narrow,
                        int narrowSize, LPCSTR defaultChar, BOOL *usedDefaultChar) {
  (void)flags;
  (void)defaultChar;
  if (codePage != CP_ACP || wide == nullptr || wideLength == 0 || narrowSize < 0 ||
      (narrow == nullptr && narrowSize != 0)) {
    lastError = ERROR_INVALID_PARAMETER;
    return 0;
  }
  int length = wideLength;
  if (length < 0) {
    length = 0;
    while (wide[length] != 0) ++length;
    ++length;
  }
  if (usedDefaultChar != nullptr) *usedDefaultChar = FALSE;
  if (narrowSize == 0) return length;  // the size the output needs
  if (length > narrowSize) {
    lastError = ERROR_INSUFFICIENT_BUFFER;
    return 0;
  }
  for (int i = 0; i < length; ++i) {
    narrow[i] = toCodePage1252(wide[i]);
    if (usedDefaultChar != nullptr && narrow[i] == '?' && wide[i] != u'?') *usedDefaultChar = TRUE;
  }
  return length;
}
