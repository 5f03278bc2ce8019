#include "dll_file.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "input_error.h"
#include "warehouse.h"

namespace zalmir_sim {

namespace {

constexpr uint16_t kMachineI386 = 0x014C;
constexpr uint16_t kMachineAmd64 = 0x8664;
constexpr uint16_t kMachineArm64 = 0xAA64;
constexpr uint16_t kMagicPe32 = 0x010B;
constexpr uint16_t kMagicPe32Plus = 0x020B;
constexpr uint16_t kFileIsDll = 0x2000;
constexpr uint32_t kSectionHeaderSize = 40;
constexpr uint32_t kEntryPoints[] = {30001, 30008};

class PeBytes {
 public:
  PeBytes(const std::filesystem::path& path, std::vector<uint8_t> bytes) : path_(path.string()), bytes_(std::move(bytes)) {}

  bool Has(uint64_t offset, uint64_t size) const { return offset + size <= bytes_.size(); }
  uint16_t U16(uint64_t offset) const { return Read<uint16_t>(offset); }
  uint32_t U32(uint64_t offset) const { return Read<uint32_t>(offset); }
  size_t size() const { return bytes_.size(); }
  [[noreturn]] void Fail(const std::string& why) const { throw InputError(path_ + ": " + why); }
  [[noreturn]] void Truncated(const std::string& what) const {
    Fail("truncated: " + what + " lies beyond the end of the file (" + std::to_string(bytes_.size()) + " bytes)");
  }

 private:
  template <typename T>
  T Read(uint64_t offset) const {
    if (!Has(offset, sizeof(T))) Truncated("byte " + std::to_string(offset));
    T value;
    std::memcpy(&value, bytes_.data() + offset, sizeof(T));
    return value;
  }
  std::string path_;
  std::vector<uint8_t> bytes_;
};

struct Section {
  uint32_t virtual_address, virtual_size, raw_offset, raw_size;
};

std::string Hex(uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", digits, value);
  return text;
}

uint64_t FileOffsetOf(const PeBytes& pe, const std::vector<Section>& sections, uint32_t rva, const char* what) {
  for (const Section& s : sections) {
    const uint32_t extent = std::max(s.virtual_size, s.raw_size);
    if (rva >= s.virtual_address && rva < s.virtual_address + extent) return uint64_t{s.raw_offset} + (rva - s.virtual_address);
  }
  pe.Fail(std::string("the ") + what + " lies in no section");
}

void CheckExports(const PeBytes& pe, const std::vector<Section>& sections, uint32_t optional, uint32_t directories) {
  const uint32_t export_rva = directories > 0 ? pe.U32(optional + 96) : 0;
  if (export_rva == 0) pe.Fail("exports nothing: not a plugin for this host");
  const uint64_t table = FileOffsetOf(pe, sections, export_rva, "export table");
  const uint32_t base = pe.U32(table + 16);
  const uint32_t count = pe.U32(table + 20);
  const uint64_t functions = FileOffsetOf(pe, sections, pe.U32(table + 28), "export address table");
  for (uint32_t ordinal : kEntryPoints) {
    const bool exported = ordinal >= base && ordinal - base < count && pe.U32(functions + 4ull * (ordinal - base)) != 0;
    if (!exported) pe.Fail("exports no entry point " + std::to_string(ordinal) + ": not a plugin for this host");
  }
}

}  // namespace

void CheckPluginDll(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::exists(path, error)) throw InputError(path.string() + ": no such DLL");
  if (!std::filesystem::is_regular_file(path, error)) throw InputError(path.string() + ": not a file");
  const PeBytes pe(path, ReadWholeFile(path));
  if (pe.size() == 0) pe.Fail("empty file, not a DLL");
  if (pe.size() < 2 || pe.U16(0) != 0x5A4D) pe.Fail("not a Windows DLL (no MZ header)");
  const uint32_t header = pe.U32(0x3C);
  if (pe.U32(header) != 0x00004550) pe.Fail("not a PE file (no PE signature)");
  const uint16_t machine = pe.U16(header + 4);
  if (machine == kMachineAmd64 || machine == kMachineArm64)
    pe.Fail("a 64-bit DLL; the host loads 32-bit (PE32 i386) DLLs only");
  if (machine != kMachineI386) pe.Fail("built for machine " + Hex(machine, 4) + ", not i386");
  const uint16_t section_count = pe.U16(header + 6);
  const uint16_t optional_size = pe.U16(header + 20);
  const uint16_t characteristics = pe.U16(header + 22);
  const uint32_t optional = header + 24;
  const uint16_t magic = pe.U16(optional);
  if (magic == kMagicPe32Plus) pe.Fail("a 64-bit (PE32+) image; the host loads 32-bit (PE32 i386) DLLs only");
  if (magic != kMagicPe32) pe.Fail("optional header magic " + Hex(magic, 4) + " is not PE32");
  if (!(characteristics & kFileIsDll)) pe.Fail("a program, not a DLL");
  if (!pe.Has(optional, optional_size)) pe.Truncated("the optional header");
  const uint32_t directories = optional_size >= 96 ? pe.U32(optional + 92) : 0;

  std::vector<Section> sections;
  const uint64_t table = uint64_t{optional} + optional_size;
  if (!pe.Has(table, uint64_t{section_count} * kSectionHeaderSize)) pe.Truncated("the section table");
  for (uint32_t i = 0; i < section_count; ++i) {
    const uint64_t at = table + uint64_t{i} * kSectionHeaderSize;
    const Section s{pe.U32(at + 12), pe.U32(at + 8), pe.U32(at + 20), pe.U32(at + 16)};
    if (s.raw_size && !pe.Has(s.raw_offset, s.raw_size)) {
      char name[9] = {};
      for (int k = 0; k < 8; ++k) name[k] = static_cast<char>(pe.U16(at + k) & 0xFF);
      pe.Truncated(std::string("section ") + name);
    }
    sections.push_back(s);
  }
  // The COFF symbol table and its string table close an unstripped file:
  // a cut there leaves every section whole.
  const uint32_t symbols = pe.U32(header + 12);
  if (symbols != 0) {
    const uint64_t strings = uint64_t{symbols} + 18ull * pe.U32(header + 16);
    if (!pe.Has(strings, 4) || !pe.Has(strings, pe.U32(strings))) pe.Truncated("the symbol table");
  }
  CheckExports(pe, sections, optional, directories);
}

}  // namespace zalmir_sim
