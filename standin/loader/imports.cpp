#include "common/hex_text.h"
#include "loader/loader_steps.h"
#include "win32/module_table.h"

namespace win32::loader {
namespace {

// "DLL!Function" or "DLL!#ordinal", as an unbound import is reported.
std::string ImportText(const char* dll, const char* name, uint32_t ordinal) {
  return std::string(dll) + "!" + (name ? std::string(name) : "#" + std::to_string(ordinal));
}

bool BindDescriptor(const MappedImage& image, const pe::ImportDescriptor& descriptor,
                    std::string* error) {
  const char* dll = image.StringAt(descriptor.Name);
  if (!dll) {
    *error = "import descriptor names its DLL at RVA " + Hex(descriptor.Name) + ", outside the image";
    return false;
  }
  // Names come from the lookup table when there is one, as the bound
  // address table may already hold addresses.
  const uint32_t lookup = descriptor.OriginalFirstThunk ? descriptor.OriginalFirstThunk : descriptor.FirstThunk;
  for (uint32_t i = 0;; ++i) {
    const uint32_t slot = i * sizeof(uint32_t);
    if (!image.Contains(lookup + slot, sizeof(uint32_t)) ||
        !image.Contains(descriptor.FirstThunk + slot, sizeof(uint32_t))) {
      *error = std::string("import table of ") + dll + " runs outside the image";
      return false;
    }
    const uint32_t entry = *image.At<const uint32_t>(lookup + slot);
    if (entry == 0) return true;
    const bool by_ordinal = entry & pe::kImportByOrdinalFlag;
    const uint32_t ordinal = entry & 0xFFFF;
    // A by-name entry points at a 2-byte hint followed by the name.
    const char* name = by_ordinal ? nullptr : image.StringAt(entry + sizeof(uint16_t));
    if (!by_ordinal && !name) {
      *error = std::string("import ") + std::to_string(i) + " of " + dll + " has its name outside the image";
      return false;
    }
    void* address = ResolveImport(dll, name, ordinal);
    if (!address) {
      *error = "unbound import " + ImportText(dll, name, ordinal) + ": the stand-in does not provide it";
      return false;
    }
    *image.At<uint32_t>(descriptor.FirstThunk + slot) = reinterpret_cast<uint32_t>(address);
  }
}

}  // namespace

bool BindImports(const MappedImage& image, std::string* error) {
  const pe::ImageDataDirectory directory = image.Directory(pe::kImportDirectory);
  if (directory.Size == 0) return true;
  for (uint32_t rva = directory.VirtualAddress;; rva += sizeof(pe::ImportDescriptor)) {
    if (!image.Contains(rva, sizeof(pe::ImportDescriptor))) {
      *error = "import directory runs outside the image";
      return false;
    }
    const auto& descriptor = *image.At<const pe::ImportDescriptor>(rva);
    if (descriptor.Name == 0 && descriptor.FirstThunk == 0) return true;
    if (!BindDescriptor(image, descriptor, error)) return false;
  }
}

}  // namespace win32::loader
