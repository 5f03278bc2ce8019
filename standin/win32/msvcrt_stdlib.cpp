// msvcrt number conversions (stdlib.h).
#include <cstdlib>

#include "standin/winabi.h"
#include "win32/registry.h"

namespace win32 {
namespace {

// msvcrt's _itoa: a minus sign only in radix 10; in any other radix the
// value's bits are read as unsigned. Lower-case digits. An unusable radix
// gives the empty string.
WINAPI_CDECL char* msvcrt_itoa(int value, char* buffer, int radix) {
  if (radix < 2 || radix > 36) {
    buffer[0] = 0;
    return buffer;
  }
  const bool negative = radix == 10 && value < 0;
  uint32_t rest = negative ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  char digits[33];
  int count = 0;
  do {
    digits[count++] = "0123456789abcdefghijklmnopqrstuvwxyz"[rest % radix];
    rest /= radix;
  } while (rest != 0);
  char* out = buffer;
  if (negative) *out++ = '-';
  while (count > 0) *out++ = digits[--count];
  *out = 0;
  return buffer;
}
STANDIN_EXPORT_AS("msvcrt.dll", "_itoa", msvcrt_itoa);
STANDIN_EXPORT_AS("msvcrt.dll", "itoa", msvcrt_itoa);

WINAPI_CDECL int msvcrt_atoi(const char* text) { return atoi(text); }
STANDIN_EXPORT_AS("msvcrt.dll", "atoi", msvcrt_atoi);

}  // namespace
}  // namespace win32
