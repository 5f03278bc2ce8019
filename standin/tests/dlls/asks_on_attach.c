/* Tells a message box each time its entry point runs, and whether
   GetModuleHandleA already finds it; refuses DLL_PROCESS_ATTACH when the
   answer is IDCANCEL. */
#include <windows.h>

BOOL WINAPI AskingEntry(HINSTANCE instance, DWORD reason, void* reserved) {
  (void)reserved;
  const char* found = GetModuleHandleA("ASKS_ON_ATTACH") == instance ? "found itself" : "not found";
  const char* what = reason == DLL_PROCESS_ATTACH ? "attach" : reason == DLL_PROCESS_DETACH ? "detach" : "other";
  const int answer = MessageBoxA(NULL, found, what, reason);
  return reason != DLL_PROCESS_ATTACH || answer != IDCANCEL;
}
