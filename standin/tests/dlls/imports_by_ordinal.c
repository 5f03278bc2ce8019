/* Imports nowhere.dll's ordinal 7, which has no name: a test provides it
   through a pseudo module, or leaves it missing. */
__declspec(dllimport) int __cdecl Seventh(int value);

int __cdecl CallSeventh(int value) { return Seventh(value) + 1; }
