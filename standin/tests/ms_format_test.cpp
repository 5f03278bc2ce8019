#include <gtest/gtest.h>

#include "win32/ms_format.h"

namespace win32 {
namespace {

struct FormatCase {
  const char* windows;
  const char* libc;
};

TEST(ToLibcFormat, RewritesOnlyWhatWindowsReadsDifferently) {
  const FormatCase cases[] = {
      {"plain text", "plain text"},
      {"%d %s %u %x %c", "%d %s %u %x %c"},
      {"%p", "%08X"},
      {"at %p!", "at %08X!"},
      {"%10p", "%10X"},
      {"%I64d %I64u", "%lld %llu"},
      {"%I32d", "%d"},
      {"100%% %p", "100%% %08X"},
      {"%-5.2s|%05d", "%-5.2s|%05d"},
      {"%", "%"},
  };
  for (size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(ToLibcFormat(cases[i].windows), cases[i].libc) << "case " << i << ": \"" << cases[i].windows << "\"";
}

}  // namespace
}  // namespace win32
