// Windows structured exceptions on this thread: a TEB in fs with the
// exception list at fs:[0], and a raise that dispatches like Windows does.
#pragma once
#include <cstdint>

namespace win32 {

constexpr uint32_t EXCEPTION_UNWINDING = 2;
constexpr uint32_t kEndOfExceptionList = 0xFFFFFFFF;

// Gives the calling thread a TEB (fs:[0] list ending in 0xFFFFFFFF, fs:[4]
// and fs:[8] the stack bounds, fs:[0x18] the TEB itself). Idempotent.
void EnsureTeb();
uint32_t ExceptionListHead();   // fs:[0]

// Raises a Windows exception from code running below a CallPe: the first
// pass offers it to each handler of the fs:[0] chain (ExceptionFlags 0)
// until it reaches the frame of the innermost CallPe, which takes it; the
// unwind pass then calls each handler above that frame with
// EXCEPTION_UNWINDING and unlinks it; finally CallPe returns with
// raised = true. Outside a CallPe the process aborts with a message.
// The stand-in's own frames between the raise and that CallPe are left
// the way longjmp leaves them: their destructors do not run.
[[noreturn]] void RaiseWindowsException(uint32_t code);

}  // namespace win32
