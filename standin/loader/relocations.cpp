#include "common/hex_text.h"
#include "loader/loader_steps.h"

namespace win32::loader {
namespace {

bool ApplyBlock(const MappedImage& image, const pe::BaseRelocationBlock& block, uint32_t delta,
                std::string* error) {
  const auto* entries = reinterpret_cast<const uint16_t*>(&block + 1);
  const uint32_t count = (block.SizeOfBlock - sizeof block) / sizeof(uint16_t);
  for (uint32_t i = 0; i < count; ++i) {
    const uint16_t type = entries[i] >> 12;
    const uint32_t rva = block.VirtualAddress + (entries[i] & 0x0FFF);
    if (type == pe::kRelBasedAbsolute) continue;  // padding to a 32-bit boundary
    if (type != pe::kRelBasedHighLow) {
      *error = "base relocation of type " + std::to_string(type) + " at RVA " + Hex(rva) +
               " is not supported";
      return false;
    }
    if (!image.Contains(rva, sizeof(uint32_t))) {
      *error = "base relocation at RVA " + Hex(rva) + " lies outside the image";
      return false;
    }
    *image.At<uint32_t>(rva) += delta;
  }
  return true;
}

}  // namespace

bool ApplyBaseRelocations(const MappedImage& image, uint32_t preferred_base, std::string* error) {
  const uint32_t delta = image.base - preferred_base;
  if (delta == 0) return true;
  if (image.Nt().FileHeader.Characteristics & pe::kFileRelocsStripped) {
    *error = "image has no relocations and its preferred base " + Hex(preferred_base) + " is taken";
    return false;
  }
  const pe::ImageDataDirectory directory = image.Directory(pe::kBaseRelocDirectory);
  if (!image.Contains(directory.VirtualAddress, directory.Size)) {
    *error = "base relocation directory lies outside the image";
    return false;
  }
  // Walked by the directory's Size: what follows the last block is not
  // guaranteed to be a zero block.
  uint32_t offset = 0;
  while (offset + sizeof(pe::BaseRelocationBlock) <= directory.Size) {
    const auto& block = *image.At<const pe::BaseRelocationBlock>(directory.VirtualAddress + offset);
    if (block.SizeOfBlock < sizeof block || block.SizeOfBlock > directory.Size - offset) {
      *error = "base relocation block at offset " + Hex(offset) + " has size " + Hex(block.SizeOfBlock);
      return false;
    }
    if (!ApplyBlock(image, block, delta, error)) return false;
    offset += block.SizeOfBlock;
  }
  return true;
}

}  // namespace win32::loader
