// Calls from this program into PE code, checked at the seam: ESP after the
// call where the convention puts it, EBX/ESI/EDI/EBP and fs:[0] kept. A
// Windows exception raised below the call (see seh.h) ends up here.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>

namespace win32 {

enum class CallConv { Stdcall, Cdecl };

struct CallResult {
  uint32_t eax = 0;
  // Bytes of stack the callee removed beyond (positive) or short of
  // (negative) what its convention says: 0 is balanced.
  int32_t stack_error = 0;
  bool callee_saved_kept = true;   // EBX, ESI, EDI, EBP
  bool exception_list_kept = true; // fs:[0] as before the call
  bool raised = false;             // a Windows exception unwound to here
  uint32_t exception_code = 0;

  bool Clean() const { return stack_error == 0 && callee_saved_kept && exception_list_kept && !raised; }
  // Human-readable list of what went wrong; empty when Clean().
  std::string Problems() const;
};

// esp_mod16: ESP modulo 16 as the callee sees it at entry (a multiple of 4).
CallResult CallPe(const void* function, CallConv conv, std::initializer_list<uint32_t> args,
                  unsigned esp_mod16 = 12);
// The same with arguments gathered at run time (a vector, an array).
CallResult CallPe(const void* function, CallConv conv, std::span<const uint32_t> args,
                  unsigned esp_mod16 = 12);

}  // namespace win32
