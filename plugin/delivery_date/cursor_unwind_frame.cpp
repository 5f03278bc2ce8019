#include "delivery_date/cursor_unwind_frame.h"

#include "host/host_services.h"

namespace {

constexpr uint32_t kExceptionUnwinding = 2;
constexpr uint32_t kExceptionExitUnwind = 4;
constexpr int kExceptionContinueSearch = 1;

struct ExceptionRecordHead {
  uint32_t code;
  uint32_t flags;
};

extern "C" int __attribute__((cdecl)) CursorUnwindHandler(ExceptionRecordHead* record, void* frame,
                                                         void*, void*) {
  // The first pass only looks for a taker; the cursor ends when the stack
  // really unwinds.
  if (record->flags & (kExceptionUnwinding | kExceptionExitUnwind))
    CursorDestroy(static_cast<CursorUnwindFrame*>(frame)->cursor);
  return kExceptionContinueSearch;
}

ExceptionRegistration* ExceptionListHead() {
  ExceptionRegistration* head;
  asm volatile("movl %%fs:0, %0" : "=r"(head));
  return head;
}

void SetExceptionListHead(ExceptionRegistration* head) {
  asm volatile("movl %0, %%fs:0" : : "r"(head) : "memory");
}

}  // namespace

void RegisterCursorUnwindFrame(CursorUnwindFrame* frame, RecordCursor* cursor) {
  frame->cursor = cursor;
  frame->registration.handler = reinterpret_cast<void*>(CursorUnwindHandler);
  frame->registration.next = ExceptionListHead();
  SetExceptionListHead(&frame->registration);
}

void RemoveCursorUnwindFrame(CursorUnwindFrame* frame) {
  SetExceptionListHead(frame->registration.next);
}
