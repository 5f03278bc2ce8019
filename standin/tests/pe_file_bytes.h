// A test DLL's file as bytes, with the offsets of its headers, so a test
// can damage one field and write the result back out for the loader.
#pragma once
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "loader/pe_format.h"

namespace win32::testing {

struct PeFileBytes {
  std::vector<uint8_t> bytes;

  static PeFileBytes Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>())};
  }

  uint32_t NtOffset() const { return reinterpret_cast<const pe::DosHeader*>(bytes.data())->e_lfanew; }
  pe::NtHeaders32& Nt() { return *reinterpret_cast<pe::NtHeaders32*>(bytes.data() + NtOffset()); }
  pe::SectionHeader* Sections() {
    return reinterpret_cast<pe::SectionHeader*>(bytes.data() + NtOffset() + offsetof(pe::NtHeaders32, OptionalHeader) +
                                                Nt().FileHeader.SizeOfOptionalHeader);
  }
  pe::SectionHeader* Section(const char* name) {
    for (uint16_t i = 0; i < Nt().FileHeader.NumberOfSections; ++i)
      if (strncmp(Sections()[i].Name, name, 8) == 0) return &Sections()[i];
    return nullptr;
  }
  // File offset of an RVA inside a section's raw data.
  uint32_t FileOffset(uint32_t rva) {
    for (uint16_t i = 0; i < Nt().FileHeader.NumberOfSections; ++i) {
      const pe::SectionHeader& s = Sections()[i];
      if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData)
        return rva - s.VirtualAddress + s.PointerToRawData;
    }
    return 0;
  }

  std::string Write(const std::string& name) const {
    const std::string path = ::testing::TempDir() + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return path;
  }
};

}  // namespace win32::testing
