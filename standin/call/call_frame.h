// One CallPe in flight, on the caller's stack. Its first two words are an
// EXCEPTION_REGISTRATION_RECORD linked at fs:[0] for the call's duration:
// the frame a Windows exception raised below the call unwinds to.
#pragma once
#include <cstddef>
#include <cstdint>

#include "call/call_frame_layout.h"

namespace win32 {

struct CallPeFrame {
  uint32_t next;
  uint32_t handler;
  // Filled by CallPe before the call.
  const void* function;
  uint32_t arg_count;
  const uint32_t* args;
  uint32_t esp_mod16;
  // Filled by call_pe.S.
  uint32_t resume_esp;  // where the caller's registers were saved
  uint32_t outer_frame; // the CallPe frame this one nests in
  uint32_t esp_before;  // before the arguments were pushed
  uint32_t ebp_before;
  uint32_t eax;
  uint32_t esp_after;
  uint32_t ebx_after;
  uint32_t esi_after;
  uint32_t edi_after;
  uint32_t ebp_after;
  uint32_t exception_list_after;
  // Filled by RaiseWindowsException when it unwinds to this frame.
  uint32_t raised;
  uint32_t exception_code;
};

static_assert(offsetof(CallPeFrame, next) == FRAME_NEXT);
static_assert(offsetof(CallPeFrame, handler) == FRAME_HANDLER);
static_assert(offsetof(CallPeFrame, function) == FRAME_FUNCTION);
static_assert(offsetof(CallPeFrame, arg_count) == FRAME_ARG_COUNT);
static_assert(offsetof(CallPeFrame, args) == FRAME_ARGS);
static_assert(offsetof(CallPeFrame, esp_mod16) == FRAME_ESP_MOD16);
static_assert(offsetof(CallPeFrame, resume_esp) == FRAME_RESUME_ESP);
static_assert(offsetof(CallPeFrame, outer_frame) == FRAME_OUTER);
static_assert(offsetof(CallPeFrame, esp_before) == FRAME_ESP_BEFORE);
static_assert(offsetof(CallPeFrame, ebp_before) == FRAME_EBP_BEFORE);
static_assert(offsetof(CallPeFrame, eax) == FRAME_EAX);
static_assert(offsetof(CallPeFrame, esp_after) == FRAME_ESP_AFTER);
static_assert(offsetof(CallPeFrame, ebx_after) == FRAME_EBX_AFTER);
static_assert(offsetof(CallPeFrame, esi_after) == FRAME_ESI_AFTER);
static_assert(offsetof(CallPeFrame, edi_after) == FRAME_EDI_AFTER);
static_assert(offsetof(CallPeFrame, ebp_after) == FRAME_EBP_AFTER);
static_assert(offsetof(CallPeFrame, exception_list_after) == FRAME_LIST_AFTER);
static_assert(sizeof(CallPeFrame) == FRAME_SIZE);

}  // namespace win32

extern "C" {
// Runs frame->function with frame->args; returns normally or, after a
// Windows exception, through standin_resume_call_pe.
void standin_call_pe(win32::CallPeFrame* frame);
// Abandons every stack frame below `frame` and returns from its
// standin_call_pe with fs:[0] and the TEB as they were before that call.
[[noreturn]] void standin_resume_call_pe(win32::CallPeFrame* frame);
// The handler of every CallPe frame; also the mark that identifies one.
// It answers ExceptionContinueSearch, should PE code walk the list itself.
int standin_call_pe_handler(void* record, void* frame, void* context, void* dispatcher);
}
