#include <sys/mman.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "loader/loader_steps.h"

namespace win32::loader {
namespace {

constexpr int kImageProtection = PROT_READ | PROT_WRITE | PROT_EXEC;
constexpr int kImageFlags = MAP_PRIVATE | MAP_ANONYMOUS;

void* MapAnywhere(uint32_t size) {
  return mmap(nullptr, size, kImageProtection, kImageFlags, -1, 0);
}

// Takes the preferred range only when it is free. MAP_FIXED_NOREPLACE fails
// on a taken range natively but is only a hint under some qemu-user
// versions, so the address obtained is checked either way.
void* MapAt(uint32_t wanted, uint32_t size) {
  void* got = mmap(reinterpret_cast<void*>(wanted), size, kImageProtection,
                   kImageFlags | MAP_FIXED_NOREPLACE, -1, 0);
  if (got == MAP_FAILED && errno == EEXIST) return MapAnywhere(size);
  return got;
}

// Keeps the first mapping reserved while asking again, so the second
// answer cannot be the preferred base.
void* MapAwayFrom(uint32_t avoided, uint32_t size) {
  void* got = MapAnywhere(size);
  if (got == MAP_FAILED || reinterpret_cast<uint32_t>(got) != avoided) return got;
  void* other = MapAnywhere(size);
  munmap(got, size);
  return other;
}

}  // namespace

bool ReserveImage(const pe::OptionalHeader32& optional, bool away_from_preferred_base,
                  uint32_t* base, std::string* error) {
  void* got = away_from_preferred_base ? MapAwayFrom(optional.ImageBase, optional.SizeOfImage)
                                       : MapAt(optional.ImageBase, optional.SizeOfImage);
  if (got == MAP_FAILED) {
    *error = "cannot map " + std::to_string(optional.SizeOfImage) + " bytes: " + strerror(errno);
    return false;
  }
  *base = reinterpret_cast<uint32_t>(got);
  return true;
}

void ReleaseImage(uint32_t base, uint32_t size) {
  munmap(reinterpret_cast<void*>(base), size);
}

void CopyHeadersAndSections(const std::vector<uint8_t>& file, const FileLayout& layout,
                            const MappedImage& image) {
  memcpy(image.At<void>(0), file.data(), layout.nt->OptionalHeader.SizeOfHeaders);
  for (uint16_t i = 0; i < layout.section_count; ++i) {
    const pe::SectionHeader& section = layout.sections[i];
    // The rest of a section (its .bss part) stays as mmap gave it: zero.
    const uint32_t copied = std::min(section.SizeOfRawData, MappedExtent(section));
    if (copied != 0)
      memcpy(image.At<void>(section.VirtualAddress), file.data() + section.PointerToRawData, copied);
  }
}

}  // namespace win32::loader
