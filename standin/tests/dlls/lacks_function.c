/* Imports a KERNEL32 function the stand-in does not provide. */
#include <windows.h>

__declspec(dllexport) BOOL __stdcall Beeps(void) { return Beep(440, 100); }
