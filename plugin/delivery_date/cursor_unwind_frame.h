// A structured-exception frame that ends a RecordCursor when a host exception
// unwinds through the frame that holds it. The compiler's own unwinding is
// not the system's, so the frame is registered by hand at fs:[0].
#pragma once

#include "host/host_layouts.h"

struct ExceptionRegistration {
  ExceptionRegistration* next;
  void* handler;
};

struct CursorUnwindFrame {
  ExceptionRegistration registration;  // first: the system hands its address back
  RecordCursor* cursor;
};

// The frame must live on the stack of the function that holds the cursor,
// and be removed before that function returns.
void RegisterCursorUnwindFrame(CursorUnwindFrame* frame, RecordCursor* cursor);
void RemoveCursorUnwindFrame(CursorUnwindFrame* frame);
