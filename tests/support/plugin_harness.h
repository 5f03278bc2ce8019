// Test harness: the real Zefirnik.dll loaded in the stand-in next to the
// simulated host, with every call into the DLL checked at the seam.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "simhost/host.h"
#include "standin/pe_call.h"
#include "standin/pe_image.h"
#include "standin/process.h"

namespace zefirnik_test {

constexpr uint32_t kPluginAttach = 30001;
constexpr uint32_t kPluginStart = 30008;
constexpr uint32_t kPluginEntry30009 = 30009;
constexpr uint32_t kPluginEntry30010 = 30010;

std::string DllPath();
// Address of a symbol of the DLL at its preferred base, from the linker map.
uint32_t MapAddress(const std::string& symbol);

// A fresh temporary directory, removed with the object.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Mazovia bytes from readable text.
std::string Mz(const std::string& utf8);
// The plugin's 126-byte description, without its NUL.
std::string Description();

class PluginTest : public ::testing::Test {
 protected:
  PluginTest();
  ~PluginTest() override;

  // Loads a fresh image; the host is loaded first unless told otherwise.
  // Fails the test when the load fails and expect_success is set.
  // Every load lies away from the image's preferred base, so each test also
  // runs the relocated image.
  bool LoadPlugin(bool expect_success = true, bool load_host = true, win32::LoadOptions options = {});
  void UnloadPlugin() { dll_.reset(); }

  // Entry points, each called through the checked seam; a dirty call
  // (stack, registers, exception list) fails the test.
  int32_t Attach(uint32_t callback, char* description);
  int32_t AttachWithHostCallback(char* description = nullptr);
  int32_t Detach() { return Attach(0, nullptr); }
  int32_t Start(int32_t mode);
  win32::CallResult CallExport(uint32_t ordinal, win32::CallConv conv, std::initializer_list<uint32_t> args);
  // Calls the goods table's current CommandHandler as the host would: the
  // command, up to nine other arguments (2-5 and 7-11), the descriptor sixth.
  win32::CallResult SendGoodsCommand(int32_t command, const std::vector<uint32_t>& others = {});

  // Sets the plugin's MissingFeatures word from outside, as a patcher would.
  void SetMissingFeatures(uint32_t value);
  uint32_t Image(uint32_t preferred_address) const;  // address in the loaded image

  win32::Process& process() { return win32::CurrentProcess(); }
  zalmir::Host& host() { return *host_; }
  win32::LoadedDll& dll() { return *dll_; }
  bool loaded() const { return dll_ != nullptr; }
  const std::string& load_error() const { return load_error_; }

  TempDir dir_;
  std::unique_ptr<zalmir::Host> host_;
  std::unique_ptr<win32::LoadedDll> dll_;
  std::string load_error_;
};

// Fails the test, naming what, when a call across the seam was not clean.
void ExpectClean(const win32::CallResult& result, const std::string& what);

}  // namespace zefirnik_test
