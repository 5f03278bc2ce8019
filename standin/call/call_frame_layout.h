/* Offsets shared by call_pe.S and the C++ side, which checks them against
   its structures with static_assert. Plain macros: the assembler reads
   this file too. */
#pragma once

/* The stand-in's own TEB slots, placed past everything Windows defines. */
#define TEB_CALL_FRAME 0x1000   /* innermost CallPe frame of the thread, 0 if none */
#define TEB_CALL_SCRATCH 0x1004 /* EAX while CallPe saves the callee's registers */
#define TEB_SIZE 0x2000

#define FRAME_NEXT 0      /* EXCEPTION_REGISTRATION_RECORD.Next */
#define FRAME_HANDLER 4   /* EXCEPTION_REGISTRATION_RECORD.Handler */
#define FRAME_FUNCTION 8
#define FRAME_ARG_COUNT 12
#define FRAME_ARGS 16
#define FRAME_ESP_MOD16 20
#define FRAME_RESUME_ESP 24
#define FRAME_OUTER 28
#define FRAME_ESP_BEFORE 32
#define FRAME_EBP_BEFORE 36
#define FRAME_EAX 40
#define FRAME_ESP_AFTER 44
#define FRAME_EBX_AFTER 48
#define FRAME_ESI_AFTER 52
#define FRAME_EDI_AFTER 56
#define FRAME_EBP_AFTER 60
#define FRAME_LIST_AFTER 64
#define FRAME_SIZE 76

/* What EBX, ESI and EDI hold when the callee starts: values no callee
   produces by accident, so one it forgot to restore shows. */
#define CALLEE_EBX_MARK 0x0EB0CA11
#define CALLEE_ESI_MARK 0x0E51CA11
#define CALLEE_EDI_MARK 0x0ED1CA11
