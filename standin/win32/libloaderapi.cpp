// KERNEL32 module functions: what a DLL uses to find the host and itself.
#include <cstring>

#include "standin/process.h"
#include "standin/winabi.h"
#include "win32/module_table.h"
#include "win32/registry.h"

namespace win32 {
namespace {

WINAPI_STDCALL HMODULE GetModuleHandleA(const char* module_name) {
  if (!module_name) return nullptr;
  if (const PeImage* image = FindLoadedImage(module_name)) return image->handle();
  if (const PseudoModule* module = FindPseudoModule(module_name)) return module->handle;
  return nullptr;
}
STANDIN_EXPORT("kernel32.dll", GetModuleHandleA);

WINAPI_STDCALL void* GetProcAddress(HMODULE module, const char* proc_name) {
  // An ordinal travels in the pointer's low word and must not be read.
  const uint32_t as_number = reinterpret_cast<uint32_t>(proc_name);
  const bool by_ordinal = (as_number >> 16) == 0;
  const uint32_t ordinal = by_ordinal ? as_number : 0;
  CurrentProcess().proc_address_requests.push_back(
      {module, ordinal, by_ordinal ? std::string() : std::string(proc_name)});

  if (const PseudoModule* pseudo = FindPseudoModule(module)) {
    // The host exports by ordinal only.
    if (!by_ordinal || !pseudo->by_ordinal) return nullptr;
    const auto by_ordinal_copy = pseudo->by_ordinal;  // the resolver may change the module list
    return by_ordinal_copy(ordinal);
  }
  if (const PeImage* image = FindLoadedImage(module))
    return by_ordinal ? image->ExportByOrdinal(ordinal) : image->ExportByName(proc_name);
  return nullptr;
}
STANDIN_EXPORT("kernel32.dll", GetProcAddress);

// On truncation this copies exactly `size` characters with no NUL and
// returns `size`, as Windows XP does; later versions add the NUL, so a DLL
// that works here works on both.
WINAPI_STDCALL DWORD GetModuleFileNameA(HMODULE module, char* file_name, DWORD size) {
  const std::optional<std::string> path = ModuleFileName(module);
  if (!path || size == 0) return 0;
  if (path->size() >= size) {
    memcpy(file_name, path->data(), size);
    return size;
  }
  memcpy(file_name, path->c_str(), path->size() + 1);
  return static_cast<DWORD>(path->size());
}
STANDIN_EXPORT("kernel32.dll", GetModuleFileNameA);

}  // namespace
}  // namespace win32
