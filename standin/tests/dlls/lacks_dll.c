/* Imports by name from a DLL the stand-in knows nothing of. */
__declspec(dllimport) int __cdecl Missing(void);

__declspec(dllexport) int __cdecl CallsMissing(void) { return Missing(); }
