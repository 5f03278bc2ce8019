// KERNEL32 string functions declared in winbase.h.
#include <cstring>

#include "standin/winabi.h"
#include "win32/registry.h"

namespace win32 {
namespace {

WINAPI_STDCALL char* lstrcpyA(char* destination, const char* source) {
  return strcpy(destination, source);
}
STANDIN_EXPORT("kernel32.dll", lstrcpyA);

}  // namespace
}  // namespace win32
