// The few Windows and C runtime functions the plugin imports. Declared here
// rather than through the SDK headers so the import list stays exactly this.
#pragma once

#include <stdint.h>

using HMODULE = void*;
using BOOL = int32_t;
using DWORD = uint32_t;

#define WINAPI __attribute__((stdcall))
#define IMPORTED extern "C" __attribute__((dllimport))

IMPORTED HMODULE WINAPI GetModuleHandleA(const char* module_name);
IMPORTED void* WINAPI GetProcAddress(HMODULE module, const char* proc_name);
IMPORTED DWORD WINAPI GetModuleFileNameA(HMODULE module, char* file_name, DWORD size);
IMPORTED char* WINAPI lstrcpyA(char* destination, const char* source);
IMPORTED int WINAPI MessageBoxA(void* owner, const char* text, const char* caption, uint32_t style);
IMPORTED int __attribute__((cdecl)) wsprintfA(char* buffer, const char* format, ...);

IMPORTED char* __attribute__((cdecl)) _itoa(int value, char* buffer, int radix);
IMPORTED int __attribute__((cdecl)) atoi(const char* text);
IMPORTED char* __attribute__((cdecl)) strrchr(const char* text, int c);
IMPORTED char* __attribute__((cdecl)) strchr(const char* text, int c);
IMPORTED uint32_t __attribute__((cdecl)) strlen(const char* text);
IMPORTED int __attribute__((cdecl)) sprintf(char* buffer, const char* format, ...);

constexpr DWORD DLL_PROCESS_ATTACH = 1;

constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;

// An ordinal passed where GetProcAddress expects a name.
inline const char* OrdinalName(uint32_t ordinal) { return reinterpret_cast<const char*>(ordinal); }
