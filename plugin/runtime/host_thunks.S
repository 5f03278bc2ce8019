/* The thunk table: one HostThunk per host service of
   host/host_service_list.h. A thunk is a slot and three entries:
   - HostService_<name>, the call entry, jumps through the slot and leaves
     the caller's arguments, return address and registers alone;
   - HostResolve_<name>, the slot's first target, binds the slot and goes
     on to the call entry, so an early call still reaches the service (or,
     when it stays unbound, answers 0);
   - HostInit_<name>, the start-up initializer, binds the slot and answers
     0 when it is filled, -1 when it is empty.
   Binding saves every general register around ResolveHostEntry, so a
   cursor in ECX and the caller's arguments reach the service unchanged. */

#include "runtime/fallback_stubs.h"

        .section .rdata,"dr"
        .balign 4
        .globl HostThunkInitializers
HostThunkInitializers:

.macro HOST_THUNK ordinal, name, arg_bytes
        .data
        .balign 4
        .globl HostSlot_\name
HostSlot_\name:
        .long HostResolve_\name

        .text
        .balign 16
        .globl HostService_\name
HostService_\name:
        /* An empty slot (a service that could not be bound, reached by an
           early call) answers 0 like a fallback stub instead of jumping to
           address 0. */
        cmpl    $0, HostSlot_\name
        je      4f
.if \arg_bytes >= 0
        /* A fallback stub is sized by the ordinal's digits, not by this
           call. One found in the slot is swapped for the stub of this
           call's own width, so the caller's stack stays as it was. */
        cmpl    $FallbackStubTable, HostSlot_\name
        jb      1f
        cmpl    $FallbackStubTableEnd, HostSlot_\name
        jae     1f
4:
        jmp     FallbackStubTable + FALLBACK_STUB_SIZE * (\arg_bytes / 4)
1:
        jmp     *HostSlot_\name
.else
        jmp     *HostSlot_\name
4:
        jmp     FallbackStubTable
.endif

HostResolve_\name:
        pushal
        pushl   $HostSlot_\name
        pushl   $\ordinal
        call    ResolveHostEntry
        popal
        jmp     HostService_\name

HostInit_\name:
        pushal
        pushl   $HostSlot_\name
        pushl   $\ordinal
        call    ResolveHostEntry
        popal
        xorl    %eax, %eax
        cmpl    $0, HostSlot_\name
        jne     2f
        decl    %eax
2:
        ret

        .section .rdata,"dr"
        .long   HostInit_\name
.endm

#define HOST_SERVICE(ordinal, name, arg_bytes) HOST_THUNK ordinal, name, arg_bytes
#include "host/host_service_list.h"

        .section .rdata,"dr"
        .long   0
