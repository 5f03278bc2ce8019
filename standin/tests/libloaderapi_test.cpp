#include <gtest/gtest.h>

#include <cstring>

#include "test_support.h"

namespace win32::testing {
namespace {

using GetModuleHandleFn = HMODULE(__attribute__((stdcall)) *)(const char*);
using GetProcAddressFn = void*(__attribute__((stdcall)) *)(HMODULE, const char*);
using GetModuleFileNameFn = DWORD(__attribute__((stdcall)) *)(HMODULE, char*, DWORD);

const HMODULE kHost = reinterpret_cast<HMODULE>(0x7B000000);
int host_service_one;
int host_service_nine;

const char* Ordinal(uint32_t ordinal) { return reinterpret_cast<const char*>(ordinal); }

class LibLoaderApi : public StandinTest {
 protected:
  void SetUp() override {
    StandinTest::SetUp();
    AddPseudoModule({"ZALMIR", kHost, [](uint32_t ordinal) -> void* {
                       return ordinal == 1 ? &host_service_one : ordinal == 9 ? &host_service_nine : nullptr;
                     }});
  }
  GetModuleHandleFn get_module_handle_ = WindowsFunction<GetModuleHandleFn>("kernel32.dll", "GetModuleHandleA");
  GetProcAddressFn get_proc_address_ = WindowsFunction<GetProcAddressFn>("KERNEL32", "GetProcAddress");
  GetModuleFileNameFn get_module_file_name_ =
      WindowsFunction<GetModuleFileNameFn>("Kernel32.DLL", "GetModuleFileNameA");
};

TEST_F(LibLoaderApi, GetModuleHandleFindsImagesAndPseudoModulesByName) {
  auto probe = LoadTestDll("probe");
  ASSERT_TRUE(probe);
  struct Case {
    const char* name;
    HMODULE expected;
  } const cases[] = {
      {"ZALMIR", kHost},           {"zalmir", kHost},         {"Zalmir.dll", kHost},
      {"ZALMIR.EXE", nullptr},     {"probe", probe->handle()}, {"PROBE.DLL", probe->handle()},
      {"C:\\Plugins\\probe.dll", probe->handle()},             {"probe.exe", nullptr},
      {"kernel33", nullptr},       {nullptr, nullptr},
  };
  for (const Case& c : cases)
    EXPECT_EQ(get_module_handle_(c.name), c.expected) << "GetModuleHandleA(\"" << (c.name ? c.name : "NULL") << "\")";
}

TEST_F(LibLoaderApi, GetModuleHandleMissesAPseudoModuleOnceRemoved) {
  RemovePseudoModule("zalmir.dll");
  EXPECT_EQ(get_module_handle_("ZALMIR"), nullptr);
}

TEST_F(LibLoaderApi, GetProcAddressAnswersAndRecordsEveryRequest) {
  auto probe = LoadTestDll("probe");
  ASSERT_TRUE(probe);
  struct Case {
    HMODULE module;
    const char* proc;
    void* expected;
  } const cases[] = {
      {kHost, Ordinal(1), &host_service_one},
      {kHost, Ordinal(9), &host_service_nine},
      {kHost, Ordinal(2), nullptr},
      {kHost, Ordinal(0xFFFF), nullptr},
      {kHost, "ServiceByName", nullptr},
      {probe->handle(), Ordinal(3), probe->Export(3)},
      {probe->handle(), Ordinal(4), nullptr},
      {probe->handle(), "CdeclSum", probe->Export(5)},
      {probe->handle(), "Missing", nullptr},
      {reinterpret_cast<HMODULE>(0x12340000), Ordinal(1), nullptr},
      {nullptr, Ordinal(1), nullptr},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    EXPECT_EQ(get_proc_address_(c.module, c.proc), c.expected) << "case " << i;
    ASSERT_EQ(CurrentProcess().proc_address_requests.size(), i + 1) << "case " << i << " not recorded";
    const ProcAddressRequest& request = CurrentProcess().proc_address_requests.back();
    EXPECT_EQ(request.module, c.module) << "case " << i;
    const uint32_t as_number = reinterpret_cast<uint32_t>(c.proc);
    EXPECT_EQ(request.ordinal, as_number < 0x10000 ? as_number : 0u) << "case " << i;
    EXPECT_EQ(request.name, as_number < 0x10000 ? "" : c.proc) << "case " << i;
  }
}

TEST_F(LibLoaderApi, CalledFromPeCodeThroughItsImports) {
  auto probe = LoadTestDll("probe");
  ASSERT_TRUE(probe);
  void* find_module = probe->image().ExportByName("FindModule");
  void* find_proc = probe->image().ExportByName("FindProc");
  EXPECT_EQ(CallChecked(find_module, CallConv::Stdcall, {Arg("ZALMIR")}), Arg(kHost));
  EXPECT_EQ(CallChecked(find_module, CallConv::Stdcall, {Arg("probe")}), Arg(probe->handle()));
  EXPECT_EQ(CallChecked(find_proc, CallConv::Stdcall, {Arg(kHost), 9}), Arg(&host_service_nine));
  EXPECT_EQ(CallChecked(find_proc, CallConv::Stdcall, {Arg(probe->handle()), Arg("StdcallSum")}),
            Arg(probe->Export(3)));
}

// Filled with this before each call, so a byte the call did not write shows.
constexpr char kUntouched = '#';

struct FileNameCase {
  const char* name;
  DWORD size;
  DWORD expected_result;
  bool terminated;  // a NUL right after the copied characters
};

TEST_F(LibLoaderApi, GetModuleFileNameTruncatesWithoutTerminator) {
  const std::string path = "C:\\Host\\Plugins\\Zefirnik.dll";  // 28 characters
  const DWORD length = static_cast<DWORD>(path.size());
  SetModuleFileName(kHost, path);
  const FileNameCase cases[] = {
      {"roomy buffer", 64, length, true},
      {"exactly enough for the NUL", length + 1, length, true},
      {"one short: no room for the NUL", length, length, false},
      {"short buffer", 5, 5, false},
      {"size 1", 1, 1, false},
      {"size 0", 0, 0, false},
  };
  for (const FileNameCase& c : cases) {
    char buffer[80];
    memset(buffer, kUntouched, sizeof buffer);
    const DWORD result = get_module_file_name_(kHost, buffer, c.size);
    EXPECT_EQ(result, c.expected_result) << c.name;
    const size_t copied = std::min<size_t>(c.size, length);
    EXPECT_EQ(std::string(buffer, copied), path.substr(0, copied)) << c.name;
    if (c.terminated) {
      EXPECT_EQ(buffer[copied], '\0') << c.name;
    }
    EXPECT_EQ(buffer[c.terminated ? copied + 1 : c.size], kUntouched) << c.name << ": wrote past what it reported";
  }
}

TEST_F(LibLoaderApi, GetModuleFileNameDefaultsToTheLoadPathAndCanBeMadeToFail) {
  auto probe = LoadTestDll("probe");
  ASSERT_TRUE(probe);
  char buffer[512];
  EXPECT_EQ(get_module_file_name_(probe->handle(), buffer, sizeof buffer), probe->image().path().size());
  EXPECT_EQ(std::string(buffer), probe->image().path());

  SetModuleFileName(probe->handle(), "C:\\Zalmir\\probe.dll");
  void* own_file_name = probe->image().ExportByName("OwnFileName");
  EXPECT_EQ(CallChecked(own_file_name, CallConv::Stdcall, {Arg(buffer), sizeof buffer}), 19u);
  EXPECT_STREQ(buffer, "C:\\Zalmir\\probe.dll");

  SetModuleFileName(probe->handle(), std::nullopt);
  EXPECT_EQ(get_module_file_name_(probe->handle(), buffer, sizeof buffer), 0u);
  EXPECT_EQ(get_module_file_name_(reinterpret_cast<HMODULE>(0x5000000), buffer, sizeof buffer), 0u)
      << "unknown module";
}

}  // namespace
}  // namespace win32::testing
