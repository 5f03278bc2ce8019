#include "seh/teb.h"

#include <asm/ldt.h>
#include <pthread.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "standin/seh.h"

namespace win32 {
namespace {

thread_local Teb* this_thread_teb = nullptr;
// One LDT entry per thread that ever asks for a TEB.
std::atomic<unsigned> next_ldt_entry{0};

[[noreturn]] void Die(const char* what) {
  fprintf(stderr, "EnsureTeb: %s: %s\n", what, strerror(errno));
  abort();
}

void SetStackBounds(Teb& teb) {
  pthread_attr_t attributes;
  void* lowest = nullptr;
  size_t size = 0;
  if (pthread_getattr_np(pthread_self(), &attributes) != 0) Die("pthread_getattr_np");
  pthread_attr_getstack(&attributes, &lowest, &size);
  pthread_attr_destroy(&attributes);
  teb.stack_limit = reinterpret_cast<uint32_t>(lowest);
  teb.stack_base = reinterpret_cast<uint32_t>(lowest) + size;
}

// An LDT data segment based at the TEB; fs then reads it as Windows does.
void LoadFs(Teb* teb) {
  user_desc segment{};
  segment.entry_number = next_ldt_entry++;
  segment.base_addr = reinterpret_cast<uint32_t>(teb);
  segment.limit = sizeof(Teb) - 1;
  segment.seg_32bit = 1;
  segment.useable = 1;
  if (syscall(SYS_modify_ldt, 1, &segment, sizeof segment) != 0) Die("modify_ldt");
  const uint16_t selector = static_cast<uint16_t>((segment.entry_number << 3) | 7);  // LDT, ring 3
  asm volatile("movw %0, %%fs" : : "r"(selector) : "memory");
}

}  // namespace

void EnsureTeb() {
  if (this_thread_teb) return;
  void* memory = mmap(nullptr, sizeof(Teb), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (memory == MAP_FAILED) Die("mmap");
  Teb* teb = new (memory) Teb{};
  teb->exception_list = kEndOfExceptionList;
  teb->self = reinterpret_cast<uint32_t>(teb);
  teb->process_id = static_cast<uint32_t>(getpid());
  teb->thread_id = static_cast<uint32_t>(gettid());
  SetStackBounds(*teb);
  LoadFs(teb);
  this_thread_teb = teb;
}

Teb& CurrentTeb() { return *this_thread_teb; }

uint32_t ExceptionListHead() {
  EnsureTeb();
  uint32_t head;
  // Read through fs, not the pointer: this is what PE code sees.
  asm volatile("movl %%fs:0, %0" : "=r"(head));
  return head;
}

}  // namespace win32
