// The host's INI access. Files lie in the host's directory; a read fills the
// pointers of the value list through the format, a write formats the values.
#include <cstdarg>
#include <cstdio>

#include "service_registry.h"
#include "simhost/ini_file.h"

namespace zalmir {
namespace {

constexpr int32_t kRead = 8;
constexpr int32_t kWrite = 9;
constexpr uint32_t kDone = 0;
constexpr uint32_t kFailed = 1;

WINAPI_CDECL int32_t ProfileValueF(const char* file, int32_t mode, const char* section, const char* key,
                                   const char* format, va_list values) {
  return Serve("ProfileValueF", {Word(file), Word(mode), Word(section), Word(key), Word(format),
                                 Word(reinterpret_cast<void*>(values))},
               [&](Host& host) {
                 const std::filesystem::path path = host.directory / file;
                 if (mode == kRead) {
                   const std::optional<std::string> value = ReadIniValue(path, section, key);
                   if (!value) return kFailed;
                   return std::vsscanf(value->c_str(), format, values) >= 1 ? kDone : kFailed;
                 }
                 if (mode == kWrite) {
                   char text[256];
                   std::vsnprintf(text, sizeof text, format, values);
                   return WriteIniValue(path, section, key, text) ? kDone : kFailed;
                 }
                 return kFailed;
               });
}
ZALMIR_SERVICE(41399, ProfileValueF, ProfileValueF);

}  // namespace
}  // namespace zalmir
