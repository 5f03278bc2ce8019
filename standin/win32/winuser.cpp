// USER32: the message box a test scripts, and the bounded formatter.
#include <cstdarg>
#include <cstdio>

#include "standin/process.h"
#include "standin/winabi.h"
#include "win32/ms_format.h"
#include "win32/registry.h"

namespace win32 {
namespace {

// The output limit of wsprintfA, NUL included. Windows documents 1024
// bytes; this is the stricter of the two readings (1023 characters + NUL).
constexpr int kWsprintfLimit = 1024;

WINAPI_STDCALL int MessageBoxA(void* owner, const char* text, const char* caption, uint32_t style) {
  Process& process = CurrentProcess();
  process.message_boxes.push_back({owner, text ? text : "", caption ? caption : "", style});
  if (process.message_box_answers.empty()) return 0;
  const int answer = process.message_box_answers.front();
  process.message_box_answers.pop_front();
  return answer;
}
STANDIN_EXPORT("user32.dll", MessageBoxA);

// The caller's arguments lie on the stack as an i386 Linux va_list expects
// them, so the C library formats them in place.
WINAPI_CDECL int wsprintfA(char* buffer, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int wanted = vsnprintf(buffer, kWsprintfLimit, ToLibcFormat(format).c_str(), args);
  va_end(args);
  if (wanted < 0) return 0;
  return wanted < kWsprintfLimit ? wanted : kWsprintfLimit - 1;
}
STANDIN_EXPORT("user32.dll", wsprintfA);

}  // namespace
}  // namespace win32
