// Calling conventions of functions that PE code calls or that call PE code.
// Windows x86 keeps only 4-byte stack alignment, while gcc -m32 code assumes
// 16: every function PE code reaches realigns its own frame.
#pragma once
#include <cstdint>

#define WINAPI_STDCALL __attribute__((stdcall, force_align_arg_pointer))
#define WINAPI_CDECL __attribute__((cdecl, force_align_arg_pointer))
#define WINAPI_THISCALL __attribute__((thiscall, force_align_arg_pointer))

namespace win32 {

using HMODULE = void*;
using BOOL = int32_t;
using DWORD = uint32_t;

constexpr DWORD DLL_PROCESS_DETACH = 0;
constexpr DWORD DLL_PROCESS_ATTACH = 1;
constexpr DWORD DLL_THREAD_ATTACH = 2;
constexpr DWORD DLL_THREAD_DETACH = 3;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

}  // namespace win32
