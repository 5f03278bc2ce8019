// Shared by the stand-in's tests: where the test DLLs are, loading one
// with a readable failure, and the stand-in's Windows functions as typed
// pointers.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <type_traits>

#include "standin/pe_call.h"
#include "standin/pe_image.h"
#include "standin/process.h"
#include "win32/registry.h"

namespace win32::testing {

inline std::string TestDll(const std::string& name) {
  return std::string(STANDIN_TEST_DLL_DIR) + "/" + name + ".dll";
}

inline LoadOptions AwayFromPreferredBase() {
  LoadOptions options;
  options.away_from_preferred_base = true;
  return options;
}

// Loads a test DLL; a failure is reported with the loader's reason.
inline std::unique_ptr<LoadedDll> LoadTestDll(const std::string& name, const LoadOptions& options = {}) {
  std::string error;
  std::unique_ptr<LoadedDll> dll = LoadedDll::Load(TestDll(name), &error, options);
  EXPECT_TRUE(dll) << "loading " << name << ": " << error;
  return dll;
}

template <typename Function>
Function WindowsFunction(const char* dll, const char* name) {
  void* address = FindWindowsFunction(dll, name);
  EXPECT_NE(address, nullptr) << dll << "!" << name << " is not registered";
  return reinterpret_cast<Function>(address);
}

// A pointer or number as a 32-bit argument for CallPe.
template <typename T>
uint32_t Arg(T value) {
  if constexpr (std::is_pointer_v<T> || std::is_null_pointer_v<T>)
    return reinterpret_cast<uint32_t>(value);
  else
    return static_cast<uint32_t>(value);
}

// Calls PE code and expects the seam intact; answers EAX.
inline uint32_t CallChecked(const void* function, CallConv conv, std::initializer_list<uint32_t> args) {
  EXPECT_NE(function, nullptr) << "calling a null export";
  if (!function) return 0;
  const CallResult result = CallPe(function, conv, args);
  EXPECT_TRUE(result.Clean()) << result.Problems();
  return result.eax;
}

// Every test starts from an empty process.
class StandinTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetProcess(); }
  void TearDown() override { ResetProcess(); }
};

}  // namespace win32::testing
