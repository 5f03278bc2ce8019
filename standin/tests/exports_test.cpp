#include <gtest/gtest.h>

#include "test_support.h"

namespace win32::testing {
namespace {

// probe.dll: ordinal base 3, ordinals 3..24 with 4, 7, 8 and 12 unused.
struct OrdinalCase {
  uint32_t ordinal;
  const char* name;  // the same export by name; null when no name
  bool exported;
};

class Exports : public StandinTest {};

TEST_F(Exports, ByOrdinalHonoursBaseGapsAndTheUpperBound) {
  auto dll = LoadTestDll("probe");
  ASSERT_TRUE(dll);
  const OrdinalCase cases[] = {
      {0, nullptr, false},          {2, nullptr, false},       {3, "StdcallSum", true},
      {4, nullptr, false},          {5, "CdeclSum", true},     {6, nullptr, true},
      {7, nullptr, false},          {8, nullptr, false},       {11, "EntryLog", true},
      {12, nullptr, false},         {24, "PrintBounded", true}, {25, nullptr, false},
      {0xFFFF, nullptr, false},
  };
  for (const OrdinalCase& c : cases) {
    void* by_ordinal = dll->Export(c.ordinal);
    EXPECT_EQ(by_ordinal != nullptr, c.exported) << "ordinal " << c.ordinal << ": found " << by_ordinal;
    if (c.exported) {
      const uint32_t at = reinterpret_cast<uint32_t>(by_ordinal);
      EXPECT_TRUE(at >= dll->image().base() && at < dll->image().base() + dll->image().size())
          << "ordinal " << c.ordinal << " at " << by_ordinal << " lies outside the image";
    }
    if (c.name) {
      EXPECT_EQ(by_ordinal, dll->image().ExportByName(c.name)) << "ordinal " << c.ordinal << " vs name " << c.name;
    }
  }
}

TEST_F(Exports, ByNameFindsOnlyExportedNames) {
  auto dll = LoadTestDll("probe");
  ASSERT_TRUE(dll);
  const char* const absent[] = {"Word", "Bump", "stdcallsum", "StdcallSum@8", "", "Nothing"};
  for (const char* name : absent)
    EXPECT_EQ(dll->image().ExportByName(name), nullptr) << "\"" << name << "\" should not be found";
}

TEST_F(Exports, StdcallAndCdeclExportsAnswerThroughCallPe) {
  auto dll = LoadTestDll("probe");
  ASSERT_TRUE(dll);
  EXPECT_EQ(CallChecked(dll->Export(3), CallConv::Stdcall, {20, 22}), 42u);
  EXPECT_EQ(CallChecked(dll->Export(5), CallConv::Cdecl, {1, 2, 3}), 6u);
}

}  // namespace
}  // namespace win32::testing
