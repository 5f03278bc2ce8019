/* A module no test loads; DLLs import from it by name and by ordinal. */
int __cdecl Missing(void) { return 1; }
int __cdecl Seventh(int value) { return value; }
