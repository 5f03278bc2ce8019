// msvcrt formatted output (stdio.h). The caller's variadic arguments sit on
// the stack exactly as an i386 Linux va_list describes them.
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "standin/winabi.h"
#include "win32/ms_format.h"
#include "win32/registry.h"

namespace win32 {
namespace {

WINAPI_CDECL int msvcrt_vsprintf(char* buffer, const char* format, va_list args) {
  return vsprintf(buffer, ToLibcFormat(format).c_str(), args);
}
STANDIN_EXPORT_AS("msvcrt.dll", "vsprintf", msvcrt_vsprintf);

WINAPI_CDECL int msvcrt_sprintf(char* buffer, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int written = vsprintf(buffer, ToLibcFormat(format).c_str(), args);
  va_end(args);
  return written;
}
STANDIN_EXPORT_AS("msvcrt.dll", "sprintf", msvcrt_sprintf);

// msvcrt's _vsnprintf differs from C99's: when the text does not fit it
// fills all `count` bytes with no NUL and returns -1; when it fits exactly
// there is no NUL either and the length is returned.
WINAPI_CDECL int msvcrt_vsnprintf(char* buffer, size_t count, const char* format, va_list args) {
  const std::string libc_format = ToLibcFormat(format);
  va_list measure;
  va_copy(measure, args);
  const int length = vsnprintf(nullptr, 0, libc_format.c_str(), measure);
  va_end(measure);
  if (length < 0) return -1;
  std::string text(length, '\0');
  vsnprintf(text.data(), text.size() + 1, libc_format.c_str(), args);
  if (static_cast<size_t>(length) < count) {
    memcpy(buffer, text.c_str(), length + 1);
    return length;
  }
  memcpy(buffer, text.data(), count);
  return static_cast<size_t>(length) == count ? length : -1;
}
STANDIN_EXPORT_AS("msvcrt.dll", "_vsnprintf", msvcrt_vsnprintf);

WINAPI_CDECL int msvcrt_snprintf(char* buffer, size_t count, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int result = msvcrt_vsnprintf(buffer, count, format, args);
  va_end(args);
  return result;
}
STANDIN_EXPORT_AS("msvcrt.dll", "_snprintf", msvcrt_snprintf);

}  // namespace
}  // namespace win32
