// What the stand-in's Windows functions know about the process: its
// modules, the scripted answers of MessageBoxA and a record of what was
// shown and asked. Tests reset it between cases.
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "standin/winabi.h"

namespace win32 {

struct MessageBoxRecord {
  void* owner;
  std::string text;     // bytes exactly as passed
  std::string caption;
  uint32_t style;
};

struct ProcAddressRequest {
  HMODULE module;
  uint32_t ordinal;     // 0 when asked by name
  std::string name;     // empty when asked by ordinal
};

// A module that is in the process without a PE image: the simulated host.
struct PseudoModule {
  std::string name;                                  // e.g. "ZALMIR"
  HMODULE handle;
  std::function<void*(uint32_t ordinal)> by_ordinal;  // null result: not exported
};

struct Process {
  // Answers MessageBoxA gives, in order; once empty it fails (returns 0).
  std::deque<int> message_box_answers;
  std::vector<MessageBoxRecord> message_boxes;
  std::vector<ProcAddressRequest> proc_address_requests;
};

Process& CurrentProcess();
// Clears answers and records, pseudo modules and file name overrides.
void ResetProcess();

void AddPseudoModule(PseudoModule module);
void RemovePseudoModule(const std::string& name);

// What GetModuleFileNameA answers for a module: by default the path a
// LoadedDll was loaded from; nullopt makes the call fail (return 0).
void SetModuleFileName(HMODULE module, std::optional<std::string> path);

}  // namespace win32
