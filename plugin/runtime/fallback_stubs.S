/* The fallback stubs: stub k answers 0 and removes k 32-bit arguments
   (4*k bytes) on return. Stub 0 also serves services whose caller removes
   the arguments. Every stub takes FALLBACK_STUB_SIZE bytes, so the thunk
   table can reach stub k at FallbackStubTable + k * FALLBACK_STUB_SIZE. */

#include "runtime/fallback_stubs.h"

        .text
        .balign FALLBACK_STUB_SIZE
        .globl FallbackStubTable
        .globl FallbackStubTableEnd
FallbackStubTable:
        .set k, 0
        .rept FALLBACK_STUB_COUNT
        .balign FALLBACK_STUB_SIZE
        xorl    %eax, %eax
.if k == 0
        ret
.else
        ret     $(4 * k)
.endif
        .set k, k + 1
        .endr
        .balign FALLBACK_STUB_SIZE
FallbackStubTableEnd:

        .section .rdata,"dr"
        .balign 4
        .globl FallbackStubs
FallbackStubs:
        .set k, 0
        .rept FALLBACK_STUB_COUNT
        .long   FallbackStubTable + FALLBACK_STUB_SIZE * k
        .set k, k + 1
        .endr
