/* Answers ESP as it was at entry (pointing at the return address), so a
   test sees the alignment its caller gave. Any arguments stay: cdecl. */
        .text
        .globl  _EspAtEntry
_EspAtEntry:
        movl    %esp, %eax
        ret
