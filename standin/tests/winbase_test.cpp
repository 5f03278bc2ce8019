#include <gtest/gtest.h>

#include "test_support.h"

namespace win32::testing {
namespace {

using LstrcpyFn = char*(__attribute__((stdcall)) *)(char*, const char*);

class WinBase : public StandinTest {};

TEST_F(WinBase, LstrcpyCopiesAndAnswersTheDestination) {
  auto lstrcpy = WindowsFunction<LstrcpyFn>("kernel32", "lstrcpyA");
  char buffer[16];
  EXPECT_EQ(lstrcpy(buffer, "copied"), buffer);
  EXPECT_STREQ(buffer, "copied");
  auto probe = LoadTestDll("probe");
  ASSERT_TRUE(probe);
  EXPECT_EQ(CallChecked(probe->image().ExportByName("CopyText"), CallConv::Stdcall, {Arg(buffer), Arg("via PE")}),
            Arg(buffer));
  EXPECT_STREQ(buffer, "via PE");
}

}  // namespace
}  // namespace win32::testing
