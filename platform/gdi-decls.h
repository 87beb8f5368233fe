// Our declarations of the Windows names the probes use, for builds without the
// Windows SDK (the stand-in and the scripted test doubles). The widths are the
// platform's, whatever the host's: LONG is 32-bit signed, DWORD 32-bit
// unsigned, a wide character 16-bit.
#ifndef VARNEK_GDI_DECLS_H
#define VARNEK_GDI_DECLS_H

#include <cstddef>
#include <cstdint>

typedef int BOOL;
typedef std::int32_t LONG;
typedef std::uint32_t DWORD;
typedef char CHAR;
typedef char16_t WCHAR;
typedef unsigned int UINT;
typedef const CHAR *LPCSTR;
typedef CHAR *LPSTR;
typedef const WCHAR *LPCWSTR;
typedef void *LPVOID;
typedef void *HANDLE;
typedef void *HGDIOBJ;
typedef LONG FXPT2DOT30;
typedef LONG LCSCSTYPE;
typedef LONG LCSGAMUTMATCH;

// Distinct pointer types, as the SDK's STRICT handles are, with its tag names.
typedef struct HDC__ *HDC;                  // NOLINT(bugprone-reserved-identifier): the SDK's tag
typedef struct HCOLORSPACE__ *HCOLORSPACE;  // NOLINT(bugprone-reserved-identifier): the SDK's tag

#define TRUE 1
#define FALSE 0
#define MAX_PATH 260
#define CP_ACP 0

#define OBJ_MEMDC 10
#define OBJ_COLORSPACE 14

#define ERROR_INVALID_HANDLE 6
#define ERROR_INVALID_PARAMETER 87
#define ERROR_INSUFFICIENT_BUFFER 122

struct CIEXYZ {
  FXPT2DOT30 ciexyzX;
  FXPT2DOT30 ciexyzY;
  FXPT2DOT30 ciexyzZ;
};

struct CIEXYZTRIPLE {
  CIEXYZ ciexyzRed;
  CIEXYZ ciexyzGreen;
  CIEXYZ ciexyzBlue;
};

struct LOGCOLORSPACEA {
  DWORD lcsSignature;
  DWORD lcsVersion;
  DWORD lcsSize;
  LCSCSTYPE lcsCSType;
  LCSGAMUTMATCH lcsIntent;
  CIEXYZTRIPLE lcsEndpoints;
  DWORD lcsGammaRed;
  DWORD lcsGammaGreen;
  DWORD lcsGammaBlue;
  CHAR lcsFilename[MAX_PATH];
};
typedef LOGCOLORSPACEA *LPLOGCOLORSPACEA;

struct LOGCOLORSPACEW {
  DWORD lcsSignature;
  DWORD lcsVersion;
  DWORD lcsSize;
  LCSCSTYPE lcsCSType;
  LCSGAMUTMATCH lcsIntent;
  CIEXYZTRIPLE lcsEndpoints;
  DWORD lcsGammaRed;
  DWORD lcsGammaGreen;
  DWORD lcsGammaBlue;
  WCHAR lcsFilename[MAX_PATH];
};
typedef LOGCOLORSPACEW *LPLOGCOLORSPACEW;

static_assert(sizeof(LOGCOLORSPACEA) == 328, "LOGCOLORSPACEA is 328 bytes");
static_assert(sizeof(LOGCOLORSPACEW) == 588, "LOGCOLORSPACEW is 588 bytes");
static_assert(offsetof(LOGCOLORSPACEA, lcsSize) == 8, "lcsSize lies at byte 8");
static_assert(offsetof(LOGCOLORSPACEW, lcsFilename) == 68, "the wide name starts at byte 68");

HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
HCOLORSPACE GetColorSpace(HDC dc);
DWORD GetObjectType(HGDIOBJ handle);
BOOL GetLogColorSpaceA(HCOLORSPACE colorSpace, LPLOGCOLORSPACEA buffer, DWORD size);
BOOL GetLogColorSpaceW(HCOLORSPACE colorSpace, LPLOGCOLORSPACEW buffer, DWORD size);
int GetObjectA(HANDLE object, int count, LPVOID buffer);
int GetObjectW(HANDLE object, int count, LPVOID buffer);
void SetLastError(DWORD error);
DWORD GetLastError();
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR narrow,
                        int narrowSize, LPCSTR defaultChar, BOOL *usedDefaultChar);

// The names that follow the UNICODE switch, as the SDK's do.
#ifdef UNICODE
typedef LOGCOLORSPACEW LOGCOLORSPACE;
typedef LPLOGCOLORSPACEW LPLOGCOLORSPACE;
#define GetLogColorSpace GetLogColorSpaceW
#define GetObject GetObjectW
#else
typedef LOGCOLORSPACEA LOGCOLORSPACE;
typedef LPLOGCOLORSPACEA LPLOGCOLORSPACE;
#define GetLogColorSpace GetLogColorSpaceA
#define GetObject GetObjectA
#endif

#endif
