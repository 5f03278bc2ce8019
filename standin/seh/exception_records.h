// What a Windows exception handler receives, laid out as on Windows x86.
#pragma once
#include <cstddef>
#include <cstdint>

namespace win32 {

struct ExceptionRegistration {
  ExceptionRegistration* next;  // kEndOfExceptionList ends the list
  uint32_t handler;             // cdecl (record, frame, context, dispatcher)
};

struct ExceptionRecord {
  uint32_t code;
  uint32_t flags;
  ExceptionRecord* nested;
  void* address;
  uint32_t parameter_count;
  uint32_t parameters[15];
};
static_assert(sizeof(ExceptionRecord) == 80);

// CONTEXT (i386): the stand-in fills the control registers only.
struct Context {
  uint32_t context_flags;
  uint32_t debug_registers[6];
  uint8_t float_save[112];
  uint32_t seg_gs, seg_fs, seg_es, seg_ds;
  uint32_t edi, esi, ebx, edx, ecx, eax;
  uint32_t ebp, eip, seg_cs, eflags, esp, seg_ss;
  uint8_t extended_registers[512];
};
static_assert(offsetof(Context, edi) == 0x9C);
static_assert(offsetof(Context, eip) == 0xB8);
static_assert(sizeof(Context) == 0x2CC);
constexpr uint32_t kContextControl = 0x00010001;

struct DispatcherContext {
  ExceptionRegistration* registration;
};

// Handler answers.
constexpr int kExceptionContinueExecution = 0;
constexpr int kExceptionContinueSearch = 1;

}  // namespace win32
