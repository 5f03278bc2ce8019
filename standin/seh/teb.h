// The thread environment block as PE code sees it through fs, followed by
// the stand-in's own slots (call/call_frame_layout.h).
#pragma once
#include <cstddef>
#include <cstdint>

#include "call/call_frame_layout.h"

namespace win32 {

struct Teb {
  uint32_t exception_list;  // fs:[0], ends in kEndOfExceptionList
  uint32_t stack_base;      // highest address of the stack
  uint32_t stack_limit;     // lowest
  uint32_t sub_system_tib;
  uint32_t fiber_data;
  uint32_t arbitrary_user_pointer;
  uint32_t self;            // fs:[0x18]
  uint32_t environment_pointer;
  uint32_t process_id;
  uint32_t thread_id;
  uint8_t rest_of_windows_teb[TEB_CALL_FRAME - 0x28];
  uint32_t call_frame;      // innermost CallPeFrame
  uint32_t call_scratch;
  uint8_t unused[TEB_SIZE - TEB_CALL_SCRATCH - 4];
};
static_assert(offsetof(Teb, self) == 0x18);
static_assert(offsetof(Teb, call_frame) == TEB_CALL_FRAME);
static_assert(offsetof(Teb, call_scratch) == TEB_CALL_SCRATCH);
static_assert(sizeof(Teb) == TEB_SIZE);

// The calling thread's TEB; EnsureTeb first.
Teb& CurrentTeb();

}  // namespace win32
