/* The seam between this program and PE code. standin_call_pe(frame) calls
   frame->function with frame->args pushed right to left so that ESP mod 16
   at the callee's entry is frame->esp_mod16, and records what the callee
   left behind: EAX, ESP, EBX/ESI/EDI/EBP and fs:[0]. The frame is linked
   at fs:[0] and in the TEB for the call's duration, so a Windows exception
   raised below can find it and come back through standin_resume_call_pe.
   The callee may ruin ESP and every register: after the call, the frame is
   found again through the TEB and nothing is read from the stack before
   ESP is restored. */
#include "call/call_frame_layout.h"

        .text

        .globl  standin_call_pe
        .type   standin_call_pe, @function
standin_call_pe:
        pushl   %ebp
        movl    %esp, %ebp
        pushl   %ebx
        pushl   %esi
        pushl   %edi
        movl    8(%ebp), %esi
        movl    %esp, FRAME_RESUME_ESP(%esi)
        movl    %ebp, FRAME_EBP_BEFORE(%esi)

        movl    %fs:TEB_CALL_FRAME, %eax
        movl    %eax, FRAME_OUTER(%esi)
        movl    %esi, %fs:TEB_CALL_FRAME
        movl    %fs:0, %eax
        movl    %eax, FRAME_NEXT(%esi)
        movl    %esi, %fs:0

        /* ESP before the pushes must be (esp_mod16 + 4*n + 4) mod 16, so
           that after n arguments and the return address it is esp_mod16. */
        movl    FRAME_ARG_COUNT(%esi), %ecx
        leal    4(,%ecx,4), %eax
        addl    FRAME_ESP_MOD16(%esi), %eax
        andl    $15, %eax
        subl    $32, %esp
        andl    $-16, %esp
        addl    %eax, %esp
        movl    %esp, FRAME_ESP_BEFORE(%esi)

        movl    FRAME_ARGS(%esi), %edx
        testl   %ecx, %ecx
        jz      2f
1:      pushl   -4(%edx,%ecx,4)
        decl    %ecx
        jnz     1b
2:
        movl    FRAME_FUNCTION(%esi), %eax
        movl    $CALLEE_EBX_MARK, %ebx
        movl    $CALLEE_ESI_MARK, %esi
        movl    $CALLEE_EDI_MARK, %edi
        cld
        call    *%eax

        movl    %eax, %fs:TEB_CALL_SCRATCH
        movl    %fs:TEB_CALL_FRAME, %eax
        movl    %esp, FRAME_ESP_AFTER(%eax)
        movl    %ebx, FRAME_EBX_AFTER(%eax)
        movl    %esi, FRAME_ESI_AFTER(%eax)
        movl    %edi, FRAME_EDI_AFTER(%eax)
        movl    %ebp, FRAME_EBP_AFTER(%eax)
        movl    %fs:0, %ebx
        movl    %ebx, FRAME_LIST_AFTER(%eax)
        movl    %fs:TEB_CALL_SCRATCH, %ebx
        movl    %ebx, FRAME_EAX(%eax)
        jmp     leave_call_pe
        .size   standin_call_pe, .-standin_call_pe

        .globl  standin_resume_call_pe
        .type   standin_resume_call_pe, @function
standin_resume_call_pe:
        movl    4(%esp), %eax
        /* fall through */

/* EAX: the frame. Puts back ESP, the caller's registers, fs:[0] and the
   TEB's innermost frame as they were when standin_call_pe began. */
leave_call_pe:
        movl    FRAME_RESUME_ESP(%eax), %esp
        movl    FRAME_NEXT(%eax), %ebx
        movl    %ebx, %fs:0
        movl    FRAME_OUTER(%eax), %ebx
        movl    %ebx, %fs:TEB_CALL_FRAME
        popl    %edi
        popl    %esi
        popl    %ebx
        popl    %ebp
        ret
        .size   standin_resume_call_pe, .-standin_resume_call_pe

        .globl  standin_call_pe_handler
        .type   standin_call_pe_handler, @function
standin_call_pe_handler:
        movl    $1, %eax
        ret
        .size   standin_call_pe_handler, .-standin_call_pe_handler

        .section .note.GNU-stack,"",@progbits
