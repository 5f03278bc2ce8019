#include <gtest/gtest.h>

#include "loader/mapped_image.h"
#include "test_support.h"

namespace win32::testing {
namespace {

class Imports : public StandinTest {};

struct UnboundCase {
  const char* dll;
  const char* expected_error;
};

TEST_F(Imports, AnImportTheStandinLacksFailsTheLoadByName) {
  const UnboundCase cases[] = {
      {"lacks_function", "unbound import KERNEL32.dll!Beep"},
      {"lacks_dll", "unbound import nowhere.dll!Missing"},
      {"imports_by_ordinal", "unbound import nowhere.dll!#7"},
  };
  for (const UnboundCase& c : cases) {
    std::string error;
    EXPECT_EQ(LoadedDll::Load(TestDll(c.dll), &error), nullptr) << c.dll << ": loaded anyway";
    EXPECT_NE(error.find(c.expected_error), std::string::npos)
        << c.dll << ": error \"" << error << "\", expected \"" << c.expected_error << "\"";
  }
}

WINAPI_CDECL int Doubled(int value) { return 2 * value; }

TEST_F(Imports, ByOrdinalBindsToAPseudoModule) {
  AddPseudoModule({"NOWHERE", reinterpret_cast<HMODULE>(0x7A000000), [](uint32_t ordinal) -> void* {
                     return ordinal == 7 ? reinterpret_cast<void*>(&Doubled) : nullptr;
                   }});
  auto dll = LoadTestDll("imports_by_ordinal");
  ASSERT_TRUE(dll);
  EXPECT_EQ(CallChecked(dll->Export(1), CallConv::Cdecl, {20}), 41u);
}

// Each slot of probe.dll's address table holds the stand-in's function of
// that name, found through the lookup table.
TEST_F(Imports, AddressTableHoldsTheStandinsFunctions) {
  auto dll = LoadTestDll("probe");
  ASSERT_TRUE(dll);
  const loader::MappedImage image{dll->image().base(), dll->image().size()};
  const pe::ImageDataDirectory directory = image.Directory(pe::kImportDirectory);
  int bound = 0;
  for (auto* d = image.At<const pe::ImportDescriptor>(directory.VirtualAddress); d->Name; ++d) {
    const char* dll_name = image.At<const char>(d->Name);
    const uint32_t* names = image.At<const uint32_t>(d->OriginalFirstThunk);
    const uint32_t* addresses = image.At<const uint32_t>(d->FirstThunk);
    for (int i = 0; names[i]; ++i, ++bound) {
      const char* name = image.At<const char>(names[i] + 2);
      EXPECT_EQ(reinterpret_cast<void*>(addresses[i]), FindWindowsFunction(dll_name, name)) << dll_name << "!" << name;
    }
  }
  EXPECT_EQ(bound, 12) << "probe.dll imports 12 functions";
}

}  // namespace
}  // namespace win32::testing
