#include <gtest/gtest.h>

#include <cstring>

#include "test_support.h"

namespace win32::testing {
namespace {

using MessageBoxFn = int(__attribute__((stdcall)) *)(void*, const char*, const char*, uint32_t);
using WsprintfFn = int(__attribute__((cdecl)) *)(char*, const char*, ...);

class WinUser : public StandinTest {
 protected:
  MessageBoxFn message_box_ = WindowsFunction<MessageBoxFn>("user32", "MessageBoxA");
  WsprintfFn wsprintf_ = WindowsFunction<WsprintfFn>("USER32.dll", "wsprintfA");
};

TEST_F(WinUser, MessageBoxAnswersInOrderThenFailsAndRecordsEachBox) {
  CurrentProcess().message_box_answers = {IDRETRY, IDIGNORE};
  void* const owner = reinterpret_cast<void*>(0x1234);
  const char* const mazovia_text = "Wtyczka \x86\x8D";  // bytes above 0x7F pass unchanged
  EXPECT_EQ(message_box_(owner, mazovia_text, "Title", 0x2012), IDRETRY);
  EXPECT_EQ(message_box_(nullptr, "second", "", 0), IDIGNORE);
  EXPECT_EQ(message_box_(nullptr, "third", "T3", 0x10), 0) << "no answer left";
  const auto& boxes = CurrentProcess().message_boxes;
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].owner, owner);
  EXPECT_EQ(boxes[0].text, mazovia_text);
  EXPECT_EQ(boxes[0].caption, "Title");
  EXPECT_EQ(boxes[0].style, 0x2012u);
  EXPECT_EQ(boxes[2].text, "third");
  EXPECT_EQ(boxes[2].style, 0x10u);
}

TEST_F(WinUser, MessageBoxFromPeCode) {
  auto probe = LoadTestDll("probe");
  ASSERT_TRUE(probe);
  CurrentProcess().message_box_answers = {IDABORT};
  EXPECT_EQ(CallChecked(probe->image().ExportByName("Ask"), CallConv::Stdcall, {Arg("text"), Arg("caption"), 0x12}),
            Arg(IDABORT));
  ASSERT_EQ(CurrentProcess().message_boxes.size(), 1u);
  EXPECT_EQ(CurrentProcess().message_boxes[0].text, "text");
  EXPECT_EQ(CurrentProcess().message_boxes[0].caption, "caption");
  EXPECT_EQ(CurrentProcess().message_boxes[0].style, 0x12u);
}

struct LengthCase {
  size_t wanted;    // characters the format asks for
  int expected;     // what wsprintfA returns
};

// At most 1023 characters and the NUL; nothing written past byte 1024.
TEST_F(WinUser, WsprintfWritesAtMost1024BytesWithTheNul) {
  const LengthCase cases[] = {{0, 0}, {10, 10}, {1022, 1022}, {1023, 1023}, {1024, 1023}, {3000, 1023}};
  for (const LengthCase& c : cases) {
    const std::string text(c.wanted, 'x');
    std::vector<char> buffer(4096, '#');
    const int result = wsprintf_(buffer.data(), "%s", text.c_str());
    EXPECT_EQ(result, c.expected) << "asking for " << c.wanted << " characters";
    EXPECT_EQ(strlen(buffer.data()), static_cast<size_t>(c.expected)) << "asking for " << c.wanted;
    EXPECT_EQ(buffer[c.expected + 1], '#') << "asking for " << c.wanted << ": wrote past the NUL";
  }
}

TEST_F(WinUser, WsprintfFormatsTheCallersArguments) {
  char buffer[64];
  EXPECT_EQ(wsprintf_(buffer, "%d|%s|%u|%x|%c|%p", -5, "ab", 7u, 255u, 'q', reinterpret_cast<void*>(0x12AB)), 21);
  EXPECT_STREQ(buffer, "-5|ab|7|ff|q|000012AB");
}

TEST_F(WinUser, WsprintfFromPeCodeIsCdecl) {
  auto probe = LoadTestDll("probe");
  ASSERT_TRUE(probe);
  char buffer[2048];
  const std::string long_text(1500, 'y');
  void* format_two = probe->image().ExportByName("FormatTwo");
  EXPECT_EQ(CallChecked(format_two, CallConv::Cdecl, {Arg(buffer), Arg("%d:%s"), 12, Arg("ok")}), 5u);
  EXPECT_STREQ(buffer, "12:ok");
  EXPECT_EQ(CallChecked(format_two, CallConv::Cdecl, {Arg(buffer), Arg("%d:%s"), 12, Arg(long_text.c_str())}), 1023u);
  EXPECT_EQ(strlen(buffer), 1023u);
}

}  // namespace
}  // namespace win32::testing
