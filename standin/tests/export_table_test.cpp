#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "loader/loader_steps.h"

namespace win32::loader {
namespace {

// A hand-made image whose export table is followed by a word that looks
// like one more export, so a range check off by one shows.
class ExportTable : public ::testing::Test {
 protected:
  static constexpr uint32_t kDirectory = 0x100;
  static constexpr uint32_t kDirectorySize = 0x80;
  static constexpr uint32_t kFunctions = 0x200;
  static constexpr uint32_t kNames = 0x240;
  static constexpr uint32_t kNameIndexes = 0x260;
  static constexpr uint32_t kNameText = 0x280;

  void SetUp() override {
    memory_.assign(0x2000, 0);
    auto* dos = reinterpret_cast<pe::DosHeader*>(memory_.data());
    dos->e_lfanew = 0x40;
    auto* nt = reinterpret_cast<pe::NtHeaders32*>(memory_.data() + 0x40);
    nt->OptionalHeader.NumberOfRvaAndSizes = 16;
    nt->OptionalHeader.DataDirectory[pe::kExportDirectory] = {kDirectory, kDirectorySize};
    auto* exports = reinterpret_cast<pe::ExportDirectory*>(memory_.data() + kDirectory);
    exports->Base = 5;
    exports->NumberOfFunctions = 4;
    exports->NumberOfNames = 1;
    exports->AddressOfFunctions = kFunctions;
    exports->AddressOfNames = kNames;
    exports->AddressOfNameOrdinals = kNameIndexes;
    // Ordinals 5..8; 6 unused, 8 forwarded (its RVA lies in the directory);
    // the fifth word is outside the table.
    const uint32_t functions[] = {0x1000, 0, 0x1010, kDirectory + 0x40, 0x1020};
    memcpy(memory_.data() + kFunctions, functions, sizeof functions);
    Word(kNames) = kNameText;
    *reinterpret_cast<uint16_t*>(memory_.data() + kNameIndexes) = 2;  // index, not ordinal
    strcpy(reinterpret_cast<char*>(memory_.data() + kNameText), "Named");
  }
  uint32_t& Word(uint32_t rva) { return *reinterpret_cast<uint32_t*>(memory_.data() + rva); }
  MappedImage Image() const { return {reinterpret_cast<uint32_t>(memory_.data()), static_cast<uint32_t>(memory_.size())}; }
  void* At(uint32_t rva) const { return const_cast<uint8_t*>(memory_.data()) + rva; }

  std::vector<uint8_t> memory_;
};

TEST_F(ExportTable, OrdinalIsAnIndexFromBaseBelowNumberOfFunctions) {
  struct Case {
    uint32_t ordinal;
    uint32_t rva;  // 0: not exported
  } const cases[] = {{0, 0}, {4, 0}, {5, 0x1000}, {6, 0}, {7, 0x1010}, {8, 0}, {9, 0}, {0xFFFF, 0}};
  for (const Case& c : cases)
    EXPECT_EQ(FindExportByOrdinal(Image(), c.ordinal), c.rva ? At(c.rva) : nullptr) << "ordinal " << c.ordinal;
}

TEST_F(ExportTable, NameLeadsToAFunctionIndex) {
  EXPECT_EQ(FindExportByName(Image(), "Named"), At(0x1010));
  EXPECT_EQ(FindExportByName(Image(), "Name"), nullptr);
}

TEST_F(ExportTable, TablesOutsideTheImageExportNothing) {
  Word(kDirectory + offsetof(pe::ExportDirectory, AddressOfFunctions)) = 0x1FFC;
  Word(0x1FFC) = 0x1000;
  EXPECT_EQ(FindExportByOrdinal(Image(), 5), At(0x1000)) << "first slot is inside";
  EXPECT_EQ(FindExportByOrdinal(Image(), 6), nullptr) << "second slot lies past the image";
  Word(kDirectory + offsetof(pe::ExportDirectory, NumberOfNames)) = 0x40000000;
  EXPECT_EQ(FindExportByName(Image(), "Named"), nullptr);
}

}  // namespace
}  // namespace win32::loader
