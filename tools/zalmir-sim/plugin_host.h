// The simulated host with Zefirnik.dll in it: the steps of a host's
// sequence, each a checked call across the seam. A call that comes back
// with the stack, the callee-saved registers or the exception list damaged,
// or with a Windows exception, throws SeamError.
#pragma once
#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "options.h"
#include "simhost/host.h"
#include "standin/pe_image.h"

namespace zalmir_sim {

struct SeamError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

constexpr int32_t kCtrl9Command = 239;
constexpr size_t kDescriptionBufferSize = 304;

class PluginHost {
 public:
  // A host over the warehouse directory whose goods list holds goods, set up
  // as options say (context number, version, refusal, record sizes, lacks).
  PluginHost(const std::filesystem::path& directory, const std::vector<std::vector<uint8_t>>& goods,
             const Options& options);
  ~PluginHost();
  PluginHost(const PluginHost&) = delete;
  PluginHost& operator=(const PluginHost&) = delete;

  zalmir::Host& host() { return *host_; }

  // Maps the DLL and runs its load step; false with the reason.
  bool Load(const std::filesystem::path& dll, std::string* error);
  int32_t Attach(char* description);  // entry 30001 with the host's callback
  int32_t Start(int32_t mode);        // entry 30008
  uint32_t Ctrl9();                   // command 239 to the goods table's handler
  int32_t Detach();                   // entry 30001 with no callback
  void Unload();
  bool HostHandlerBack() const;       // the goods table has the host's own handler again

 private:
  uint32_t CallExport(uint32_t ordinal, std::vector<uint32_t> args);
  std::unique_ptr<zalmir::Host> host_;
  std::unique_ptr<win32::LoadedDll> dll_;
};

}  // namespace zalmir_sim
