// The stand-in's Windows functions, found by DLL and function name. Each
// function registers itself next to its definition:
//
//   WINAPI_STDCALL char* lstrcpyA(char* to, const char* from) { ... }
//   STANDIN_EXPORT("kernel32.dll", lstrcpyA);
//   STANDIN_EXPORT_AS("msvcrt.dll", "strlen", msvcrt_strlen);
#pragma once
#include <string_view>

namespace win32 {

// dll is compared case-insensitively, without extension meaning ".dll".
void RegisterWindowsFunction(std::string_view dll, std::string_view name, void* address);
// Null when the stand-in does not provide the function.
void* FindWindowsFunction(std::string_view dll, std::string_view name);

struct WindowsFunctionRegistration {
  WindowsFunctionRegistration(std::string_view dll, std::string_view name, void* address) {
    RegisterWindowsFunction(dll, name, address);
  }
};

}  // namespace win32

#define STANDIN_CONCAT_(a, b) a##b
#define STANDIN_CONCAT(a, b) STANDIN_CONCAT_(a, b)
#define STANDIN_EXPORT_AS(dll, name, function)                                                   \
  static const ::win32::WindowsFunctionRegistration STANDIN_CONCAT(standin_export_, __COUNTER__)( \
      dll, name, reinterpret_cast<void*>(&function))
#define STANDIN_EXPORT(dll, function) STANDIN_EXPORT_AS(dll, #function, function)
