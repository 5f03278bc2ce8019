// msvcrt string and memory functions (string.h), cdecl as the C runtime is.
#include <cstring>

#include "standin/winabi.h"
#include "win32/registry.h"

namespace win32 {
namespace {

WINAPI_CDECL size_t msvcrt_strlen(const char* text) { return strlen(text); }
STANDIN_EXPORT_AS("msvcrt.dll", "strlen", msvcrt_strlen);

WINAPI_CDECL char* msvcrt_strcpy(char* to, const char* from) { return strcpy(to, from); }
STANDIN_EXPORT_AS("msvcrt.dll", "strcpy", msvcrt_strcpy);

WINAPI_CDECL char* msvcrt_strncpy(char* to, const char* from, size_t count) {
  return strncpy(to, from, count);
}
STANDIN_EXPORT_AS("msvcrt.dll", "strncpy", msvcrt_strncpy);

WINAPI_CDECL char* msvcrt_strcat(char* to, const char* from) { return strcat(to, from); }
STANDIN_EXPORT_AS("msvcrt.dll", "strcat", msvcrt_strcat);

WINAPI_CDECL int msvcrt_strcmp(const char* a, const char* b) { return strcmp(a, b); }
STANDIN_EXPORT_AS("msvcrt.dll", "strcmp", msvcrt_strcmp);

WINAPI_CDECL int msvcrt_strncmp(const char* a, const char* b, size_t count) {
  return strncmp(a, b, count);
}
STANDIN_EXPORT_AS("msvcrt.dll", "strncmp", msvcrt_strncmp);

WINAPI_CDECL char* msvcrt_strchr(const char* text, int c) {
  return const_cast<char*>(strchr(text, c));
}
STANDIN_EXPORT_AS("msvcrt.dll", "strchr", msvcrt_strchr);

WINAPI_CDECL char* msvcrt_strrchr(const char* text, int c) {
  return const_cast<char*>(strrchr(text, c));
}
STANDIN_EXPORT_AS("msvcrt.dll", "strrchr", msvcrt_strrchr);

WINAPI_CDECL void* msvcrt_memcpy(void* to, const void* from, size_t count) {
  return memcpy(to, from, count);
}
STANDIN_EXPORT_AS("msvcrt.dll", "memcpy", msvcrt_memcpy);

WINAPI_CDECL void* msvcrt_memmove(void* to, const void* from, size_t count) {
  return memmove(to, from, count);
}
STANDIN_EXPORT_AS("msvcrt.dll", "memmove", msvcrt_memmove);

WINAPI_CDECL void* msvcrt_memset(void* to, int value, size_t count) { return memset(to, value, count); }
STANDIN_EXPORT_AS("msvcrt.dll", "memset", msvcrt_memset);

WINAPI_CDECL int msvcrt_memcmp(const void* a, const void* b, size_t count) { return memcmp(a, b, count); }
STANDIN_EXPORT_AS("msvcrt.dll", "memcmp", msvcrt_memcmp);

}  // namespace
}  // namespace win32
