#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>

#include "test_support.h"

namespace win32::testing {
namespace {

using ItoaFn = char*(__attribute__((cdecl)) *)(int, char*, int);
using SnprintfFn = int(__attribute__((cdecl)) *)(char*, size_t, const char*, ...);
using SprintfFn = int(__attribute__((cdecl)) *)(char*, const char*, ...);

class Msvcrt : public StandinTest {};

struct ItoaCase {
  int value;
  int radix;
  const char* text;
};

TEST_F(Msvcrt, ItoaSignsOnlyInRadixTen) {
  const ItoaCase cases[] = {
      {0, 10, "0"},         {42, 10, "42"},        {-123, 10, "-123"}, {INT_MIN, 10, "-2147483648"},
      {255, 16, "ff"},      {-1, 16, "ffffffff"},  {5, 2, "101"},      {-8, 8, "37777777770"},
      {35, 36, "z"},        {10, 1, ""},           {10, 37, ""},
  };
  for (const char* name : {"_itoa", "itoa"}) {
    auto itoa = WindowsFunction<ItoaFn>("msvcrt", name);
    for (const ItoaCase& c : cases) {
      char buffer[40];
      memset(buffer, '#', sizeof buffer);
      EXPECT_EQ(itoa(c.value, buffer, c.radix), buffer);
      EXPECT_STREQ(buffer, c.text) << name << "(" << c.value << ", radix " << c.radix << ")";
    }
  }
}

struct SnprintfCase {
  size_t count;
  int expected;
  const char* written;  // the bytes written, without what follows
  bool terminated;
};

// "12345" is five characters: msvcrt writes no NUL once they fill count.
TEST_F(Msvcrt, SnprintfNeitherTerminatesNorCountsWhatDidNotFit) {
  auto snprintf_ms = WindowsFunction<SnprintfFn>("msvcrt", "_snprintf");
  const SnprintfCase cases[] = {
      {10, 5, "12345", true},
      {6, 5, "12345", true},
      {5, 5, "12345", false},
      {3, -1, "123", false},
      {0, -1, "", false},
  };
  for (const SnprintfCase& c : cases) {
    char buffer[16];
    memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(snprintf_ms(buffer, c.count, "%d", 12345), c.expected) << "count " << c.count;
    const size_t length = strlen(c.written);
    EXPECT_EQ(std::string(buffer, length), c.written) << "count " << c.count;
    EXPECT_EQ(buffer[length], c.terminated ? '\0' : '#') << "count " << c.count;
  }
}

TEST_F(Msvcrt, SprintfPrintsPointersTheWindowsWay) {
  auto sprintf_ms = WindowsFunction<SprintfFn>("msvcrt", "sprintf");
  char buffer[64];
  EXPECT_EQ(sprintf_ms(buffer, "[%p] %I64d %s", reinterpret_cast<void*>(0xBEEF), 1LL << 40, "x"), 26);
  EXPECT_STREQ(buffer, "[0000BEEF] 1099511627776 x");
}

TEST_F(Msvcrt, CalledFromPeCodeThroughItsImports) {
  auto probe = LoadTestDll("probe");
  ASSERT_TRUE(probe);
  const PeImage& image = probe->image();
  const char* path = "C:\\Host\\file.ini";
  EXPECT_EQ(CallChecked(image.ExportByName("LastSlash"), CallConv::Cdecl, {Arg(path)}), Arg(path + 7));
  EXPECT_EQ(CallChecked(image.ExportByName("FirstColon"), CallConv::Cdecl, {Arg(path)}), Arg(path + 1));
  EXPECT_EQ(CallChecked(image.ExportByName("FirstColon"), CallConv::Cdecl, {Arg("none")}), 0u);
  EXPECT_EQ(CallChecked(image.ExportByName("Number"), CallConv::Cdecl, {Arg("  -77x")}), Arg(-77));

  char buffer[32];
  EXPECT_EQ(CallChecked(image.ExportByName("NumberText"), CallConv::Cdecl, {Arg(-9), Arg(buffer), 10}), Arg(buffer));
  EXPECT_STREQ(buffer, "-9");
  EXPECT_EQ(CallChecked(image.ExportByName("Print"), CallConv::Cdecl, {Arg(buffer), Arg("<%05d>"), 42}), 7u);
  EXPECT_STREQ(buffer, "<00042>");
  memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(CallChecked(image.ExportByName("PrintBounded"), CallConv::Cdecl, {Arg(buffer), 4, Arg("%d"), 123456}),
            Arg(-1));
  EXPECT_EQ(std::string(buffer, 5), "1234#");
}

struct StringCase {
  const char* name;
  std::function<bool()> holds;
};

// The plain string and memory functions, called as PE code calls them.
TEST_F(Msvcrt, StringFunctionsBehaveAsTheCLibrary) {
  using Strlen = size_t(__attribute__((cdecl)) *)(const char*);
  using Strcmp = int(__attribute__((cdecl)) *)(const char*, const char*);
  using Strncmp = int(__attribute__((cdecl)) *)(const char*, const char*, size_t);
  using Copy = char*(__attribute__((cdecl)) *)(char*, const char*);
  using Strncpy = char*(__attribute__((cdecl)) *)(char*, const char*, size_t);
  using Mem = void*(__attribute__((cdecl)) *)(void*, const void*, size_t);
  using Memset = void*(__attribute__((cdecl)) *)(void*, int, size_t);
  using Memcmp = int(__attribute__((cdecl)) *)(const void*, const void*, size_t);
  using Atoi = int(__attribute__((cdecl)) *)(const char*);
  char buffer[16] = "abcdef";
  const StringCase cases[] = {
      {"strlen", [] { return WindowsFunction<Strlen>("msvcrt", "strlen")("four") == 4; }},
      {"strcmp", [] { return WindowsFunction<Strcmp>("msvcrt", "strcmp")("a", "b") < 0; }},
      {"strncmp", [] { return WindowsFunction<Strncmp>("msvcrt", "strncmp")("abX", "abY", 2) == 0; }},
      {"strcpy", [&] { return WindowsFunction<Copy>("msvcrt", "strcpy")(buffer, "xy") == buffer && !strcmp(buffer, "xy"); }},
      {"strcat", [&] { return WindowsFunction<Copy>("msvcrt", "strcat")(buffer, "z") == buffer && !strcmp(buffer, "xyz"); }},
      {"strncpy", [&] { return WindowsFunction<Strncpy>("msvcrt", "strncpy")(buffer, "pq", 5) == buffer && !memcmp(buffer, "pq\0\0\0", 5); }},
      {"memcpy", [&] { return WindowsFunction<Mem>("msvcrt", "memcpy")(buffer, "12345", 5) == buffer && !memcmp(buffer, "12345", 5); }},
      {"memmove", [&] { return WindowsFunction<Mem>("msvcrt", "memmove")(buffer + 1, buffer, 4) == buffer + 1 && !memcmp(buffer, "11234", 5); }},
      {"memset", [&] { return WindowsFunction<Memset>("msvcrt", "memset")(buffer, 'k', 3) == buffer && !memcmp(buffer, "kkk34", 5); }},
      {"memcmp", [] { return WindowsFunction<Memcmp>("msvcrt", "memcmp")("ab", "ac", 2) < 0; }},
      {"atoi", [] { return WindowsFunction<Atoi>("msvcrt", "atoi")("123abc") == 123; }},
  };
  for (const StringCase& c : cases) EXPECT_TRUE(c.holds()) << c.name;
}

}  // namespace
}  // namespace win32::testing
