#include <gtest/gtest.h>

#include "pe_file_bytes.h"
#include "test_support.h"

namespace win32::testing {
namespace {

constexpr uint32_t kWordOrdinal = 6;
constexpr uint32_t kBumpOrdinal = 10;
const char* const kWords[] = {"alpha", "beta", "gamma"};

// probe.dll's Word(i) reads a table of absolute pointers: right only when
// every base relocation was applied. Each pointer is checked to lie in the
// image before it is read.
void ExpectWordsReadRight(const char* load_case, LoadedDll& dll) {
  const PeImage& image = dll.image();
  for (int i = 0; i < 3; ++i) {
    const uint32_t word = CallChecked(dll.Export(kWordOrdinal), CallConv::Cdecl, {Arg(i)});
    ASSERT_TRUE(word >= image.base() && word < image.base() + image.size())
        << load_case << ": Word(" << i << ") = " << std::hex << word << " lies outside the image at "
        << image.base();
    EXPECT_STREQ(reinterpret_cast<const char*>(word), kWords[i]) << load_case << ": Word(" << i << ")";
  }
}

class Relocation : public StandinTest {};

TEST_F(Relocation, AtThePreferredBaseNothingMoves) {
  auto dll = LoadTestDll("probe");
  ASSERT_TRUE(dll);
  EXPECT_EQ(dll->image().base(), dll->image().preferred_base());
  ExpectWordsReadRight("at preferred base", *dll);
}

TEST_F(Relocation, AwayFromThePreferredBaseEveryPointerIsMoved) {
  auto dll = LoadTestDll("probe", AwayFromPreferredBase());
  ASSERT_TRUE(dll);
  EXPECT_NE(dll->image().base(), dll->image().preferred_base());
  ExpectWordsReadRight("away from preferred base", *dll);
}

TEST_F(Relocation, SecondLoadGoesElsewhereWithFreshDataAndLeavesTheFirstAlone) {
  auto first = LoadTestDll("probe");
  ASSERT_TRUE(first);
  EXPECT_EQ(CallChecked(first->Export(kBumpOrdinal), CallConv::Cdecl, {}), 1u);
  EXPECT_EQ(CallChecked(first->Export(kBumpOrdinal), CallConv::Cdecl, {}), 2u);

  auto second = LoadTestDll("probe");
  ASSERT_TRUE(second);
  EXPECT_NE(second->image().base(), first->image().base());
  EXPECT_EQ(CallChecked(second->Export(kBumpOrdinal), CallConv::Cdecl, {}), 1u) << "second load shares data";
  EXPECT_EQ(CallChecked(first->Export(kBumpOrdinal), CallConv::Cdecl, {}), 3u) << "first load disturbed";
  ExpectWordsReadRight("first load", *first);
  ExpectWordsReadRight("second load", *second);
}

TEST_F(Relocation, DirectoryIsWalkedByItsSizeNotToAZeroBlock) {
  PeFileBytes file = PeFileBytes::Read(TestDll("probe"));
  const pe::ImageDataDirectory relocs = file.Nt().OptionalHeader.DataDirectory[pe::kBaseRelocDirectory];
  const pe::SectionHeader* section = file.Section(".reloc");
  ASSERT_NE(section, nullptr);
  const uint32_t end = file.FileOffset(relocs.VirtualAddress) + relocs.Size;
  const uint32_t raw_end = section->PointerToRawData + section->SizeOfRawData;
  ASSERT_GE(raw_end - end, 8u) << "no room after the relocation directory to put garbage in";
  // A block header that claims a huge block of bogus fixups.
  memset(file.bytes.data() + end, 0xFF, raw_end - end);

  std::string error;
  auto dll = LoadedDll::Load(file.Write("probe_garbage_after_relocs.dll"), &error, AwayFromPreferredBase());
  ASSERT_TRUE(dll) << error;
  ExpectWordsReadRight("garbage after the directory", *dll);
}

TEST_F(Relocation, UnsupportedFixupTypeIsRefused) {
  PeFileBytes file = PeFileBytes::Read(TestDll("probe"));
  const pe::ImageDataDirectory relocs = file.Nt().OptionalHeader.DataDirectory[pe::kBaseRelocDirectory];
  auto* first_fixup = reinterpret_cast<uint16_t*>(file.bytes.data() + file.FileOffset(relocs.VirtualAddress) +
                                                  sizeof(pe::BaseRelocationBlock));
  ASSERT_EQ(*first_fixup >> 12, pe::kRelBasedHighLow);
  *first_fixup = static_cast<uint16_t>((10 << 12) | (*first_fixup & 0x0FFF));  // DIR64

  std::string error;
  EXPECT_EQ(PeImage::Map(file.Write("probe_dir64.dll"), &error, AwayFromPreferredBase()), nullptr);
  EXPECT_NE(error.find("base relocation of type 10 at RVA"), std::string::npos) << error;
}

TEST_F(Relocation, ImageWithoutRelocationsIsNotMappedOverATakenBase) {
  auto first = LoadTestDll("probe");
  ASSERT_TRUE(first);
  ASSERT_EQ(first->image().base(), first->image().preferred_base());
  PeFileBytes file = PeFileBytes::Read(TestDll("probe"));
  file.Nt().FileHeader.Characteristics |= pe::kFileRelocsStripped;

  std::string error;
  EXPECT_EQ(PeImage::Map(file.Write("probe_fixed.dll"), &error), nullptr);
  EXPECT_NE(error.find("has no relocations and its preferred base 0x3A5B0000 is taken"), std::string::npos)
      << error;
  ExpectWordsReadRight("first load after the refused one", *first);
}

}  // namespace
}  // namespace win32::testing
