/* Each function answers a known value; all but the two balanced ones
   break one rule of the seam that CallPe checks. */
        .text

/* stdcall, two arguments, removes them. */
        .globl  _StdcallBalanced@8
_StdcallBalanced@8:
        movl    8(%esp), %eax
        addl    4(%esp), %eax
        ret     $8

/* cdecl, leaves its arguments. */
        .globl  _CdeclBalanced
_CdeclBalanced:
        movl    $43, %eax
        ret

/* Declared stdcall with two arguments but returns like cdecl. */
        .globl  _ForgetsCleanup@8
_ForgetsCleanup@8:
        movl    $44, %eax
        ret

/* Declared cdecl but removes two arguments. */
        .globl  _ExtraCleanup
_ExtraCleanup:
        movl    $45, %eax
        ret     $8

        .globl  _ChangesEbx
_ChangesEbx:
        movl    $0x1111, %ebx
        ret

        .globl  _ChangesEsi
_ChangesEsi:
        movl    $0x2222, %esi
        ret

        .globl  _ChangesEdi
_ChangesEdi:
        movl    $0x3333, %edi
        ret

        .globl  _ChangesEbp
_ChangesEbp:
        movl    $0x4444, %ebp
        ret

/* Links a record at fs:[0] and returns without unlinking it. */
        .globl  _LeavesFrameLinked
_LeavesFrameLinked:
        movl    %fs:0, %eax
        movl    %eax, stale_record
        movl    $stale_record, %fs:0
        xorl    %eax, %eax
        ret

        .data
        .balign 4
stale_record:
        .long   0, 0
