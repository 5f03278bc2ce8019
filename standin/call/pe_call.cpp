#include "standin/pe_call.h"

#include <cstdio>
#include <cstdlib>

#include "call/call_frame.h"
#include "common/hex_text.h"
#include "standin/seh.h"

namespace win32 {
namespace {

// Where ESP must be after the callee returned, given where it was before
// the arguments were pushed.
uint32_t ExpectedEspAfter(const CallPeFrame& frame, CallConv conv) {
  return conv == CallConv::Stdcall ? frame.esp_before : frame.esp_before - 4 * frame.arg_count;
}

}  // namespace

CallResult CallPe(const void* function, CallConv conv, std::initializer_list<uint32_t> args,
                  unsigned esp_mod16) {
  return CallPe(function, conv, std::span<const uint32_t>(args.begin(), args.size()), esp_mod16);
}

CallResult CallPe(const void* function, CallConv conv, std::span<const uint32_t> args, unsigned esp_mod16) {
  // A null target would fault with this call's frame linked at fs:[0];
  // saying so here is kinder than the fault.
  if (!function) {
    fprintf(stderr, "CallPe: null function\n");
    abort();
  }
  if (esp_mod16 % 4 != 0 || esp_mod16 >= 16) {
    fprintf(stderr, "CallPe: esp_mod16 %u is not 0, 4, 8 or 12\n", esp_mod16);
    abort();
  }
  EnsureTeb();
  CallPeFrame frame{};
  frame.handler = reinterpret_cast<uint32_t>(&standin_call_pe_handler);
  frame.function = function;
  frame.arg_count = static_cast<uint32_t>(args.size());
  frame.args = args.data();
  frame.esp_mod16 = esp_mod16;
  standin_call_pe(&frame);

  CallResult result;
  if (frame.raised) {
    result.raised = true;
    result.exception_code = frame.exception_code;
    return result;
  }
  result.eax = frame.eax;
  result.stack_error = static_cast<int32_t>(frame.esp_after - ExpectedEspAfter(frame, conv));
  result.callee_saved_kept = frame.ebx_after == CALLEE_EBX_MARK && frame.esi_after == CALLEE_ESI_MARK &&
                             frame.edi_after == CALLEE_EDI_MARK && frame.ebp_after == frame.ebp_before;
  result.exception_list_kept = frame.exception_list_after == reinterpret_cast<uint32_t>(&frame);
  return result;
}

std::string CallResult::Problems() const {
  std::string problems;
  const auto add = [&](const std::string& problem) {
    problems += (problems.empty() ? "" : "; ") + problem;
  };
  if (stack_error > 0) add("callee removed " + std::to_string(stack_error) + " bytes of stack too many");
  if (stack_error < 0) add("callee left " + std::to_string(-stack_error) + " bytes on the stack it should have removed");
  if (!callee_saved_kept) add("callee changed EBX, ESI, EDI or EBP");
  if (!exception_list_kept) add("callee left fs:[0] changed");
  if (raised) add("Windows exception " + Hex(exception_code) + " unwound to the call");
  return problems;
}

}  // namespace win32
