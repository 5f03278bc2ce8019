// printf formats as Windows' formatters (msvcrt, wsprintfA) read them,
// rewritten for the C library here where the two differ: %p prints eight
// upper-case hex digits without "0x", and %I64 / %I32 size prefixes.
#pragma once
#include <string>

namespace win32 {

std::string ToLibcFormat(const char* windows_format);

}  // namespace win32
