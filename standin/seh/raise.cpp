#include <cstdio>
#include <cstdlib>

#include "call/call_frame.h"
#include "common/hex_text.h"
#include "seh/exception_records.h"
#include "seh/teb.h"
#include "standin/pe_call.h"
#include "standin/seh.h"

namespace win32 {
namespace {

ExceptionRegistration* const kEnd = reinterpret_cast<ExceptionRegistration*>(kEndOfExceptionList);

[[noreturn]] void Die(uint32_t code, const std::string& why) {
  fprintf(stderr, "RaiseWindowsException(%s): %s\n", Hex(code).c_str(), why.c_str());
  abort();
}

// Windows refuses to dispatch through a record that is not on the stack;
// here it also catches records left behind by frames that returned.
void CheckOnStack(const Teb& teb, const ExceptionRecord& record, ExceptionRegistration* registration) {
  const auto at = reinterpret_cast<uint32_t>(registration);
  if (registration == kEnd) Die(record.code, "the exception list ends before the innermost CallPe frame");
  if (at % 4 != 0 || at < teb.stack_limit || at + sizeof *registration > teb.stack_base)
    Die(record.code, "exception record at " + Hex(at) + " lies outside the stack");
}

// Handlers are PE code: called through CallPe, which also checks the seam.
int CallHandler(ExceptionRegistration* registration, ExceptionRecord& record, Context& context) {
  DispatcherContext dispatcher{registration};
  const CallResult result =
      CallPe(reinterpret_cast<const void*>(registration->handler), CallConv::Cdecl,
             {reinterpret_cast<uint32_t>(&record), reinterpret_cast<uint32_t>(registration),
              reinterpret_cast<uint32_t>(&context), reinterpret_cast<uint32_t>(&dispatcher)});
  if (!result.Clean())
    Die(record.code, "handler " + Hex(registration->handler) + ": " + result.Problems());
  return static_cast<int>(result.eax);
}

void SearchForHandler(const Teb& teb, ExceptionRegistration* target, ExceptionRecord& record, Context& context) {
  for (auto* registration = reinterpret_cast<ExceptionRegistration*>(teb.exception_list);
       registration != target; registration = registration->next) {
    CheckOnStack(teb, record, registration);
    const int disposition = CallHandler(registration, record, context);
    // Only the CallPe frame takes an exception: the stand-in raises
    // noncontinuable exceptions and PE code only cleans up.
    if (disposition != kExceptionContinueSearch)
      Die(record.code, "handler " + Hex(registration->handler) + " answered " + std::to_string(disposition) +
                           " instead of ExceptionContinueSearch (1)");
  }
}

void UnwindTo(Teb& teb, ExceptionRegistration* target, ExceptionRecord& record, Context& context) {
  record.flags = EXCEPTION_UNWINDING;
  for (auto* registration = reinterpret_cast<ExceptionRegistration*>(teb.exception_list);
       registration != target; registration = registration->next) {
    CheckOnStack(teb, record, registration);
    CallHandler(registration, record, context);
    teb.exception_list = reinterpret_cast<uint32_t>(registration->next);
  }
}

}  // namespace

void RaiseWindowsException(uint32_t code) {
  EnsureTeb();
  Teb& teb = CurrentTeb();
  auto* frame = reinterpret_cast<CallPeFrame*>(teb.call_frame);
  if (!frame) Die(code, "raised outside any CallPe");
  auto* target = reinterpret_cast<ExceptionRegistration*>(frame);

  ExceptionRecord record{};
  record.code = code;
  record.address = __builtin_return_address(0);
  Context context{};
  context.context_flags = kContextControl;
  context.eip = reinterpret_cast<uint32_t>(record.address);
  context.esp = reinterpret_cast<uint32_t>(__builtin_frame_address(0));
  context.ebp = context.esp;

  SearchForHandler(teb, target, record, context);
  UnwindTo(teb, target, record, context);
  frame->raised = 1;
  frame->exception_code = code;
  standin_resume_call_pe(frame);
}

}  // namespace win32
