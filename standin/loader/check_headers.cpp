#include <cstddef>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "common/hex_text.h"
#include "loader/loader_steps.h"

namespace win32::loader {
namespace {

bool FileHas(const std::vector<uint8_t>& file, uint64_t offset, uint64_t length) {
  return offset <= file.size() && length <= file.size() - offset;
}

bool Fail(std::string* error, std::string why) {
  *error = std::move(why);
  return false;
}

bool CheckSections(const std::vector<uint8_t>& file, const FileLayout& layout, std::string* error) {
  const pe::OptionalHeader32& optional = layout.nt->OptionalHeader;
  for (uint16_t i = 0; i < layout.section_count; ++i) {
    const pe::SectionHeader& section = layout.sections[i];
    const std::string name = "section " + std::to_string(i) + " (" +
                             std::string(section.Name, strnlen(section.Name, sizeof section.Name)) + ")";
    if (section.SizeOfRawData != 0 && !FileHas(file, section.PointerToRawData, section.SizeOfRawData))
      return Fail(error, name + ": raw data at " + Hex(section.PointerToRawData) + " size " +
                             Hex(section.SizeOfRawData) + " lies beyond the file's end " + Hex(file.size()));
    const uint32_t extent = MappedExtent(section);
    if (uint64_t{section.VirtualAddress} + extent > optional.SizeOfImage)
      return Fail(error, name + ": RVA " + Hex(section.VirtualAddress) + " size " + Hex(extent) +
                             " lies beyond SizeOfImage " + Hex(optional.SizeOfImage));
  }
  return true;
}

}  // namespace

uint32_t MappedExtent(const pe::SectionHeader& section) {
  // Some linkers leave VirtualSize 0 and mean the raw size.
  return section.VirtualSize != 0 ? section.VirtualSize : section.SizeOfRawData;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return Fail(error, "cannot open " + path);
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

bool CheckHeaders(const std::vector<uint8_t>& file, FileLayout* layout, std::string* error) {
  if (!FileHas(file, 0, sizeof(pe::DosHeader)))
    return Fail(error, "file of " + std::to_string(file.size()) + " bytes is too small for a DOS header");
  const auto* dos = reinterpret_cast<const pe::DosHeader*>(file.data());
  if (dos->e_magic != pe::kDosMagic) return Fail(error, "no MZ signature");
  if (dos->e_lfanew < 0 || !FileHas(file, dos->e_lfanew, sizeof(uint32_t) + sizeof(pe::ImageFileHeader)))
    return Fail(error, "PE header offset " + Hex(dos->e_lfanew) + " lies outside the file");

  const auto* nt = reinterpret_cast<const pe::NtHeaders32*>(file.data() + dos->e_lfanew);
  if (nt->Signature != pe::kNtSignature) return Fail(error, "no PE signature");
  if (nt->FileHeader.Machine != pe::kMachineI386)
    return Fail(error, "machine " + Hex(nt->FileHeader.Machine) + " is not i386 (0x14C)");
  if (nt->FileHeader.SizeOfOptionalHeader < offsetof(pe::OptionalHeader32, DataDirectory) ||
      !FileHas(file, dos->e_lfanew + offsetof(pe::NtHeaders32, OptionalHeader),
               nt->FileHeader.SizeOfOptionalHeader))
    return Fail(error, "optional header of " + std::to_string(nt->FileHeader.SizeOfOptionalHeader) +
                           " bytes is too small or lies beyond the file");

  const pe::OptionalHeader32& optional = nt->OptionalHeader;
  if (optional.Magic != pe::kOptionalMagicPe32)
    return Fail(error, "optional header magic " + Hex(optional.Magic) + " is not PE32 (0x10B)");
  const uint32_t directories_room =
      (nt->FileHeader.SizeOfOptionalHeader - offsetof(pe::OptionalHeader32, DataDirectory)) /
      sizeof(pe::ImageDataDirectory);
  if (optional.NumberOfRvaAndSizes > directories_room)
    return Fail(error, std::to_string(optional.NumberOfRvaAndSizes) +
                           " data directories do not fit the optional header");
  if (optional.SizeOfImage == 0 || optional.SizeOfHeaders > optional.SizeOfImage ||
      !FileHas(file, 0, optional.SizeOfHeaders))
    return Fail(error, "SizeOfHeaders " + Hex(optional.SizeOfHeaders) + " does not fit the file (" +
                           Hex(file.size()) + ") and SizeOfImage (" + Hex(optional.SizeOfImage) + ")");

  const uint32_t section_table = dos->e_lfanew + offsetof(pe::NtHeaders32, OptionalHeader) +
                                 nt->FileHeader.SizeOfOptionalHeader;
  const uint32_t section_count = nt->FileHeader.NumberOfSections;
  // The section table is copied with the headers, so it must end inside them.
  if (uint64_t{section_table} + section_count * sizeof(pe::SectionHeader) > optional.SizeOfHeaders)
    return Fail(error, "section table of " + std::to_string(section_count) +
                           " entries lies beyond SizeOfHeaders " + Hex(optional.SizeOfHeaders));

  layout->nt = nt;
  layout->sections = reinterpret_cast<const pe::SectionHeader*>(file.data() + section_table);
  layout->section_count = static_cast<uint16_t>(section_count);
  return CheckSections(file, *layout, error);
}

}  // namespace win32::loader
