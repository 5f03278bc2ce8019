/* The stand-in's main test DLL: arithmetic in both conventions, a table of
   pointers that only reads right once relocated, a counter that shows each
   load is fresh, and one export per Windows function it imports. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

struct EntryCall { HINSTANCE instance; DWORD reason; void* reserved; int calls; };
struct EntryCall EntryLog;

BOOL WINAPI ProbeEntry(HINSTANCE instance, DWORD reason, void* reserved) {
  EntryLog.instance = instance;
  EntryLog.reason = reason;
  EntryLog.reserved = reserved;
  EntryLog.calls++;
  return TRUE;
}

int __stdcall StdcallSum(int a, int b) { return a + b; }
int __cdecl CdeclSum(int a, int b, int c) { return a + b + c; }

static const char* const kWords[] = {"alpha", "beta", "gamma"};
const char* __cdecl Word(int i) { return kWords[i]; }

static int counter;
int __cdecl Bump(void) { return ++counter; }

HMODULE __stdcall FindModule(const char* name) { return GetModuleHandleA(name); }
FARPROC __stdcall FindProc(HMODULE module, const char* name) { return GetProcAddress(module, name); }
DWORD __stdcall OwnFileName(char* buffer, DWORD size) {
  return GetModuleFileNameA(EntryLog.instance, buffer, size);
}
int __stdcall Ask(const char* text, const char* caption, UINT style) {
  return MessageBoxA(NULL, text, caption, style);
}
int __cdecl FormatTwo(char* buffer, const char* format, int number, const char* text) {
  return wsprintfA(buffer, format, number, text);
}
char* __stdcall CopyText(char* to, const char* from) { return lstrcpyA(to, from); }
char* __cdecl LastSlash(const char* path) { return strrchr(path, '\\'); }
char* __cdecl FirstColon(const char* text) { return strchr(text, ':'); }
int __cdecl Number(const char* text) { return atoi(text); }
char* __cdecl NumberText(int value, char* buffer, int radix) { return _itoa(value, buffer, radix); }
int __cdecl Print(char* buffer, const char* format, int value) { return sprintf(buffer, format, value); }
int __cdecl PrintBounded(char* buffer, size_t count, const char* format, int value) {
  return _snprintf(buffer, count, format, value);
}
