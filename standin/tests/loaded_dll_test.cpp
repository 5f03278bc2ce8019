#include <gtest/gtest.h>

#include "test_support.h"

namespace win32::testing {
namespace {

using GetModuleHandleFn = HMODULE(__attribute__((stdcall)) *)(const char*);

// probe.dll's record of its last entry point call.
struct EntryCall {
  HMODULE instance;
  DWORD reason;
  void* reserved;
  int calls;
};

class LoadedDllTest : public StandinTest {};

TEST_F(LoadedDllTest, EntryPointGetsTheHandleAttachAndNullReserved) {
  auto dll = LoadTestDll("probe");
  ASSERT_TRUE(dll);
  const auto* entry = static_cast<const EntryCall*>(dll->image().ExportByName("EntryLog"));
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->instance, dll->handle());
  EXPECT_EQ(entry->reason, DLL_PROCESS_ATTACH);
  EXPECT_EQ(entry->reserved, nullptr);
  EXPECT_EQ(entry->calls, 1);
}

struct EntryCase {
  const char* name;
  std::deque<int> answers;
  bool loads;
  // What the entry point showed: "attach" and, on refusal, "detach".
  std::vector<std::string> captions_while_loading;
};

// asks_on_attach.dll asks a message box on every entry point call, with
// the reason as caption and the style, and says whether GetModuleHandleA
// already found it.
TEST_F(LoadedDllTest, EntryPointAnswerDecidesTheLoad) {
  const EntryCase cases[] = {
      {"no answer scripted", {}, true, {"attach"}},
      {"IDOK", {IDOK}, true, {"attach"}},
      {"IDCANCEL refuses", {IDCANCEL}, false, {"attach", "detach"}},
  };
  for (const EntryCase& c : cases) {
    ResetProcess();
    CurrentProcess().message_box_answers = c.answers;
    std::string error;
    auto dll = LoadedDll::Load(TestDll("asks_on_attach"), &error);
    EXPECT_EQ(dll != nullptr, c.loads) << c.name << ": " << error;
    const auto& shown = CurrentProcess().message_boxes;
    ASSERT_EQ(shown.size(), c.captions_while_loading.size()) << c.name;
    for (size_t i = 0; i < shown.size(); ++i) {
      EXPECT_EQ(shown[i].caption, c.captions_while_loading[i]) << c.name << ", box " << i;
      EXPECT_EQ(shown[i].text, "found itself") << c.name << ", box " << i;
      EXPECT_EQ(shown[i].style, i == 0 ? DLL_PROCESS_ATTACH : DLL_PROCESS_DETACH) << c.name << ", box " << i;
    }
    if (!c.loads) {
      EXPECT_NE(error.find("DllMain(DLL_PROCESS_ATTACH) answered FALSE"), std::string::npos) << c.name << ": " << error;
    }
  }
}

TEST_F(LoadedDllTest, UnloadRunsDetachAndForgetsTheModule) {
  auto get_module_handle = WindowsFunction<GetModuleHandleFn>("kernel32", "GetModuleHandleA");
  auto dll = LoadTestDll("asks_on_attach");
  ASSERT_TRUE(dll);
  EXPECT_EQ(get_module_handle("asks_on_attach.dll"), dll->handle());
  dll.reset();
  const auto& shown = CurrentProcess().message_boxes;
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1].caption, "detach");
  EXPECT_EQ(get_module_handle("asks_on_attach.dll"), nullptr);
}

TEST_F(LoadedDllTest, RefusedLoadLeavesNoModuleBehind) {
  auto get_module_handle = WindowsFunction<GetModuleHandleFn>("kernel32", "GetModuleHandleA");
  CurrentProcess().message_box_answers = {IDCANCEL};
  std::string error;
  EXPECT_EQ(LoadedDll::Load(TestDll("asks_on_attach"), &error), nullptr);
  EXPECT_EQ(get_module_handle("asks_on_attach"), nullptr);
}

}  // namespace
}  // namespace win32::testing
