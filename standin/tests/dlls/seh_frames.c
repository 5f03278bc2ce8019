/* Runs a callback inside `count` Windows exception frames, each registered
   at fs:[0] on its own stack frame and unlinked on the way out, the way a
   frame that must clean up does it with mingw. Every handler call is
   logged: which frame, the flags and the code it was shown, and how many
   records were linked above its frame (the unwind pass unlinks each frame
   it has been through). */
#include <windows.h>

typedef void(__cdecl* Callback)(void* context);

struct Frame {
  struct Frame* next;
  void* handler;
  int id;
};

struct HandlerCall {
  int frame_id;
  DWORD flags;
  DWORD code;
  int records_above;  /* between fs:[0] and this frame when the handler ran */
};

struct HandlerCall HandlerLog[32];
int HandlerLogCount;
int HandlerAnswer = ExceptionContinueSearch;

static struct Frame* ReadExceptionList(void) {
  struct Frame* head;
  __asm__ volatile("movl %%fs:0, %0" : "=r"(head) : : "memory");
  return head;
}

static void WriteExceptionList(struct Frame* head) {
  __asm__ volatile("movl %0, %%fs:0" : : "r"(head) : "memory");
}

static int __cdecl LoggingHandler(EXCEPTION_RECORD* record, void* frame, CONTEXT* context, void* dispatcher) {
  (void)context;
  (void)dispatcher;
  if (HandlerLogCount < 32) {
    struct HandlerCall* call = &HandlerLog[HandlerLogCount++];
    call->frame_id = ((struct Frame*)frame)->id;
    call->flags = record->ExceptionFlags;
    call->code = record->ExceptionCode;
    call->records_above = 0;
    for (struct Frame* at = ReadExceptionList(); at != frame && at != (struct Frame*)-1; at = at->next)
      call->records_above++;
  }
  return HandlerAnswer;
}

void __cdecl RunInFrames(int first_id, int count, Callback callback, void* context) {
  if (count == 0) {
    callback(context);
    return;
  }
  struct Frame frame;
  frame.id = first_id;
  frame.handler = (void*)LoggingHandler;
  frame.next = ReadExceptionList();
  WriteExceptionList(&frame);
  RunInFrames(first_id + 1, count - 1, callback, context);
  WriteExceptionList(frame.next);
}
