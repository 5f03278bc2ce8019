#include <gtest/gtest.h>

#include "win32/module_name.h"

namespace win32 {
namespace {

struct NameCase {
  const char* given;
  const char* normal;
};

TEST(NormalizeModuleName, ComparesBaseNamesWithDllAsDefaultExtension) {
  const NameCase cases[] = {
      {"ZALMIR", "zalmir.dll"},
      {"zalmir.dll", "zalmir.dll"},
      {"Zalmir.DLL", "zalmir.dll"},
      {"C:\\Program Files\\Host\\ZALMIR", "zalmir.dll"},
      {"/tmp/build/probe.dll", "probe.dll"},
      {"host.exe", "host.exe"},
      {"NOEXT.", "noext"},
      {"", ".dll"},
  };
  for (size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(NormalizeModuleName(cases[i].given), cases[i].normal)
        << "case " << i << ": \"" << cases[i].given << "\"";
}

TEST(FileBaseName, DropsTheDirectoryWhicheverSlash) {
  const NameCase cases[] = {
      {"C:\\a\\b.dll", "b.dll"}, {"/x/y/z.dll", "z.dll"}, {"plain.dll", "plain.dll"}, {"dir\\", ""}};
  for (size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(FileBaseName(cases[i].given), cases[i].normal) << "case " << i << ": \"" << cases[i].given << "\"";
}

}  // namespace
}  // namespace win32
