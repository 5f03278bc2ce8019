// Module names compared the way the Windows loader compares them.
#pragma once
#include <string>
#include <string_view>

namespace win32 {

// The file name without its directory, in lower case, with ".dll" added
// when it has no extension: "C:\\X\\Zalmir" and "ZALMIR.DLL" give
// "zalmir.dll". A trailing dot means "no extension" and is dropped.
std::string NormalizeModuleName(std::string_view name);

// The directory-free part of a path (either slash).
std::string_view FileBaseName(std::string_view path);

}  // namespace win32
