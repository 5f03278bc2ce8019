#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "pe_file_bytes.h"
#include "standin/pe_image.h"
#include "test_support.h"

namespace win32::testing {
namespace {

struct DamageCase {
  const char* name;
  std::function<void(PeFileBytes&)> damage;
  const char* expected_error;
};

TEST(PeImageHeaders, DamagedFilesAreRefusedWithTheReason) {
  const DamageCase cases[] = {
      {"empty file", [](PeFileBytes& f) { f.bytes.clear(); }, "too small for a DOS header"},
      {"no MZ", [](PeFileBytes& f) { f.bytes[0] = 'X'; }, "no MZ signature"},
      {"PE offset past the end",
       [](PeFileBytes& f) { reinterpret_cast<pe::DosHeader*>(f.bytes.data())->e_lfanew = 0x7FFFFFF0; },
       "PE header offset 0x7FFFFFF0 lies outside the file"},
      {"no PE signature", [](PeFileBytes& f) { f.Nt().Signature = 0x4550 + 0x10000; }, "no PE signature"},
      {"x86-64 machine", [](PeFileBytes& f) { f.Nt().FileHeader.Machine = 0x8664; }, "machine 0x8664 is not i386"},
      {"PE32+ optional header", [](PeFileBytes& f) { f.Nt().OptionalHeader.Magic = 0x20B; }, "is not PE32"},
      {"too many data directories",
       [](PeFileBytes& f) { f.Nt().OptionalHeader.NumberOfRvaAndSizes = 17; }, "17 data directories do not fit"},
      {"section table past the headers",
       [](PeFileBytes& f) { f.Nt().FileHeader.NumberOfSections = 200; }, "section table of 200 entries"},
      {"section raw data past the end",
       [](PeFileBytes& f) { f.Section(".text")->PointerToRawData = static_cast<uint32_t>(f.bytes.size()); },
       "section 0 (.text): raw data at"},
      {"section past SizeOfImage",
       [](PeFileBytes& f) { f.Section(".text")->VirtualAddress = f.Nt().OptionalHeader.SizeOfImage; },
       "lies beyond SizeOfImage"},
      {"file cut inside the last section's data",
       [](PeFileBytes& f) {
         uint32_t data_end = 0;
         for (uint16_t i = 0; i < f.Nt().FileHeader.NumberOfSections; ++i)
           data_end = std::max(data_end, f.Sections()[i].PointerToRawData + f.Sections()[i].SizeOfRawData);
         f.bytes.resize(data_end - 1);
       },
       "lies beyond the file's end"},
  };
  for (const DamageCase& c : cases) {
    PeFileBytes file = PeFileBytes::Read(TestDll("probe"));
    ASSERT_GT(file.bytes.size(), 1024u) << "probe.dll not read";
    c.damage(file);
    std::string error;
    const auto image = PeImage::Map(file.Write("damaged.dll"), &error);
    EXPECT_EQ(image, nullptr) << c.name << ": mapped anyway";
    EXPECT_NE(error.find(c.expected_error), std::string::npos)
        << c.name << ": error \"" << error << "\", expected it to contain \"" << c.expected_error << "\"";
  }
}

TEST(PeImageHeaders, MissingFileIsNamed) {
  std::string error;
  EXPECT_EQ(PeImage::Map("/nonexistent/none.dll", &error), nullptr);
  EXPECT_EQ(error, "/nonexistent/none.dll: cannot open /nonexistent/none.dll");
}

TEST(PeImageHeaders, IntactFileMapsWithItsHeaderValues) {
  std::string error;
  const auto image = PeImage::Map(TestDll("probe"), &error);
  ASSERT_NE(image, nullptr) << error;
  PeFileBytes file = PeFileBytes::Read(TestDll("probe"));
  EXPECT_EQ(image->preferred_base(), 0x3A5B0000u);
  EXPECT_EQ(image->size(), file.Nt().OptionalHeader.SizeOfImage);
  EXPECT_EQ(image->entry_point(), image->At(file.Nt().OptionalHeader.AddressOfEntryPoint));
  EXPECT_EQ(memcmp(image->At(0), file.bytes.data(), file.Nt().OptionalHeader.SizeOfHeaders), 0)
      << "headers not copied";
}

}  // namespace
}  // namespace win32::testing
