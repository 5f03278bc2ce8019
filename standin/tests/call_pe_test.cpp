#include <gtest/gtest.h>

#include "standin/seh.h"
#include "test_support.h"

namespace win32::testing {
namespace {

constexpr uint32_t kEspAtEntryOrdinal = 9;  // probe.dll: answers ESP at its entry

class CallPeTest : public StandinTest {};

TEST_F(CallPeTest, CalleeSeesTheRequestedAlignmentWhateverTheArgumentCount) {
  auto probe = LoadTestDll("probe");
  ASSERT_TRUE(probe);
  void* esp_at_entry = probe->Export(kEspAtEntryOrdinal);
  for (unsigned mod : {0u, 4u, 8u, 12u}) {
    const std::vector<uint32_t> arg_lists[] = {{}, {1}, {1, 2}, {1, 2, 3}, {1, 2, 3, 4, 5, 6, 7}};
    for (const auto& args : arg_lists) {
      const CallResult result = CallPe(esp_at_entry, CallConv::Cdecl, args, mod);
      EXPECT_TRUE(result.Clean()) << result.Problems();
      EXPECT_EQ(result.eax % 16, mod) << args.size() << " arguments, ESP at entry " << std::hex << result.eax;
    }
  }
}

struct SeamCase {
  const char* name;
  uint32_t ordinal;  // in misbehaves.dll
  CallConv conv;
  std::vector<uint32_t> args;
  int32_t stack_error;
  bool callee_saved_kept;
  bool exception_list_kept;
  const char* problems;
};

TEST_F(CallPeTest, BrokenSeamsAreReportedAndRepaired) {
  auto dll = LoadTestDll("misbehaves");
  ASSERT_TRUE(dll);
  const SeamCase cases[] = {
      {"stdcall, balanced", 1, CallConv::Stdcall, {20, 22}, 0, true, true, ""},
      {"cdecl, balanced", 2, CallConv::Cdecl, {1, 2}, 0, true, true, ""},
      {"stdcall callee that forgets to pop", 3, CallConv::Stdcall, {1, 2}, -8, true, true,
       "callee left 8 bytes on the stack it should have removed"},
      {"cdecl callee that pops", 4, CallConv::Cdecl, {1, 2}, 8, true, true,
       "callee removed 8 bytes of stack too many"},
      {"stdcall callee called as cdecl", 1, CallConv::Cdecl, {1, 2}, 8, true, true,
       "callee removed 8 bytes of stack too many"},
      {"changes EBX", 5, CallConv::Cdecl, {}, 0, false, true, "callee changed EBX, ESI, EDI or EBP"},
      {"changes ESI", 6, CallConv::Cdecl, {}, 0, false, true, "callee changed EBX, ESI, EDI or EBP"},
      {"changes EDI", 7, CallConv::Cdecl, {}, 0, false, true, "callee changed EBX, ESI, EDI or EBP"},
      {"changes EBP", 8, CallConv::Cdecl, {}, 0, false, true, "callee changed EBX, ESI, EDI or EBP"},
      {"leaves a frame at fs:[0]", 9, CallConv::Cdecl, {}, 0, true, false, "callee left fs:[0] changed"},
  };
  const uint32_t list_before = ExceptionListHead();
  for (const SeamCase& c : cases) {
    const CallResult result = CallPe(dll->Export(c.ordinal), c.conv, c.args);
    EXPECT_EQ(result.stack_error, c.stack_error) << c.name;
    EXPECT_EQ(result.callee_saved_kept, c.callee_saved_kept) << c.name;
    EXPECT_EQ(result.exception_list_kept, c.exception_list_kept) << c.name;
    EXPECT_FALSE(result.raised) << c.name;
    EXPECT_EQ(result.Problems(), c.problems) << c.name;
    EXPECT_EQ(ExceptionListHead(), list_before) << c.name << ": fs:[0] not put back";
  }
  EXPECT_EQ(CallPe(dll->Export(1), CallConv::Stdcall, {20, 22}).eax, 42u);
}

struct ConventionCase {
  const char* dll;
  const char* name;
  CallConv conv;
  std::vector<uint32_t> args;
};

// The stand-in's own functions as PE code calls them, at every alignment
// Windows allows: each must clean the stack as its convention says.
TEST_F(CallPeTest, StandinFunctionsKeepTheirConventionAtAnyAlignment) {
  static char buffer[2048];
  const ConventionCase cases[] = {
      {"kernel32", "GetModuleHandleA", CallConv::Stdcall, {Arg("none")}},
      {"kernel32", "GetProcAddress", CallConv::Stdcall, {0, 1}},
      {"kernel32", "GetModuleFileNameA", CallConv::Stdcall, {0, Arg(buffer), 10}},
      {"kernel32", "lstrcpyA", CallConv::Stdcall, {Arg(buffer), Arg("x")}},
      {"user32", "MessageBoxA", CallConv::Stdcall, {0, Arg("t"), Arg("c"), 0}},
      {"user32", "wsprintfA", CallConv::Cdecl, {Arg(buffer), Arg("%d %s %d"), 1, Arg("two"), 3}},
      {"msvcrt", "sprintf", CallConv::Cdecl, {Arg(buffer), Arg("%d %s"), 1, Arg("two")}},
      {"msvcrt", "_snprintf", CallConv::Cdecl, {Arg(buffer), 4, Arg("%d"), 123456}},
      {"msvcrt", "_itoa", CallConv::Cdecl, {Arg(-5), Arg(buffer), 10}},
      {"msvcrt", "atoi", CallConv::Cdecl, {Arg("17")}},
      {"msvcrt", "strlen", CallConv::Cdecl, {Arg("four")}},
      {"msvcrt", "strrchr", CallConv::Cdecl, {Arg("a\\b"), '\\'}},
      {"msvcrt", "memset", CallConv::Cdecl, {Arg(buffer), 0, 16}},
  };
  for (const ConventionCase& c : cases) {
    void* function = FindWindowsFunction(c.dll, c.name);
    ASSERT_NE(function, nullptr) << c.dll << "!" << c.name;
    for (unsigned mod : {0u, 4u, 8u, 12u}) {
      const CallResult result = CallPe(function, c.conv, c.args, mod);
      EXPECT_TRUE(result.Clean()) << c.dll << "!" << c.name << " at ESP mod 16 = " << mod << ": " << result.Problems();
    }
  }
}

}  // namespace
}  // namespace win32::testing
