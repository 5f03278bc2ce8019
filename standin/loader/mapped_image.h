// A PE image as mapped in memory: typed access by RVA, bounds-checked so a
// damaged directory cannot send the loader outside the mapping.
#pragma once
#include <cstdint>

#include "loader/pe_format.h"

namespace win32::loader {

struct MappedImage {
  uint32_t base;
  uint32_t size;

  bool Contains(uint32_t rva, uint32_t length) const {
    return rva <= size && length <= size - rva;
  }
  template <typename T>
  T* At(uint32_t rva) const { return reinterpret_cast<T*>(base + rva); }

  const pe::NtHeaders32& Nt() const {
    return *At<const pe::NtHeaders32>(At<const pe::DosHeader>(0)->e_lfanew);
  }
  // An absent directory (or one the header does not list) has Size 0.
  pe::ImageDataDirectory Directory(uint32_t index) const {
    const pe::OptionalHeader32& optional = Nt().OptionalHeader;
    if (index >= optional.NumberOfRvaAndSizes) return {0, 0};
    return optional.DataDirectory[index];
  }
  // A NUL-terminated string at rva that ends inside the image, else null.
  const char* StringAt(uint32_t rva) const {
    for (uint32_t at = rva; at < size; ++at)
      if (*At<const char>(at) == 0) return At<const char>(rva);
    return nullptr;
  }
};

}  // namespace win32::loader
