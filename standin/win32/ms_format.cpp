#include "win32/ms_format.h"

#include <cstring>

namespace win32 {

std::string ToLibcFormat(const char* format) {
  std::string out;
  for (const char* at = format; *at; ++at) {
    out += *at;
    if (*at != '%') continue;
    if (at[1] == '%') {
      out += *++at;
      continue;
    }
    // Flags, width and precision pass unchanged.
    const size_t spec_start = out.size();
    while (at[1] && strchr("-+ #0123456789.*", at[1])) out += *++at;
    if (strncmp(at + 1, "I64", 3) == 0) {
      out += "ll";
      at += 3;
    } else if (strncmp(at + 1, "I32", 3) == 0) {
      at += 3;
    } else if (at[1] == 'p') {
      out += out.size() == spec_start ? "08X" : "X";
      ++at;
    }
  }
  return out;
}

}  // namespace win32
