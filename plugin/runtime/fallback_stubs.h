/* The fallback stubs' table layout, shared by the assembly that builds the
   table, the thunks that jump into it and the binding that picks a stub. */
#ifndef ZEFIRNIK_FALLBACK_STUBS_H
#define ZEFIRNIK_FALLBACK_STUBS_H

#define FALLBACK_STUB_COUNT 15
#define FALLBACK_STUB_SIZE 8

#endif
