#include <cstring>

#include "loader/loader_steps.h"

namespace win32::loader {
namespace {

const pe::ExportDirectory* Exports(const MappedImage& image, pe::ImageDataDirectory* directory) {
  *directory = image.Directory(pe::kExportDirectory);
  if (directory->Size < sizeof(pe::ExportDirectory) ||
      !image.Contains(directory->VirtualAddress, sizeof(pe::ExportDirectory)))
    return nullptr;
  return image.At<const pe::ExportDirectory>(directory->VirtualAddress);
}

void* FunctionAtIndex(const MappedImage& image, const pe::ImageDataDirectory& directory,
                      const pe::ExportDirectory& exports, uint32_t index) {
  if (index >= exports.NumberOfFunctions) return nullptr;
  const uint32_t slot = exports.AddressOfFunctions + index * sizeof(uint32_t);
  if (!image.Contains(slot, sizeof(uint32_t))) return nullptr;
  const uint32_t rva = *image.At<const uint32_t>(slot);
  // A slot pointing into the export directory is a forwarder ("DLL.Name");
  // the DLLs the stand-in loads forward nothing, so it counts as absent.
  const bool forwarder = rva >= directory.VirtualAddress && rva - directory.VirtualAddress < directory.Size;
  if (rva == 0 || forwarder || !image.Contains(rva, 1)) return nullptr;
  return image.At<void>(rva);
}

}  // namespace

void* FindExportByOrdinal(const MappedImage& image, uint32_t ordinal) {
  pe::ImageDataDirectory directory;
  const pe::ExportDirectory* exports = Exports(image, &directory);
  if (!exports || ordinal < exports->Base) return nullptr;
  return FunctionAtIndex(image, directory, *exports, ordinal - exports->Base);
}

void* FindExportByName(const MappedImage& image, const char* name) {
  pe::ImageDataDirectory directory;
  const pe::ExportDirectory* exports = Exports(image, &directory);
  if (!exports || exports->NumberOfNames > image.size / sizeof(uint32_t) ||
      !image.Contains(exports->AddressOfNames, exports->NumberOfNames * sizeof(uint32_t)) ||
      !image.Contains(exports->AddressOfNameOrdinals, exports->NumberOfNames * sizeof(uint16_t)))
    return nullptr;
  const auto* names = image.At<const uint32_t>(exports->AddressOfNames);
  const auto* indexes = image.At<const uint16_t>(exports->AddressOfNameOrdinals);
  for (uint32_t i = 0; i < exports->NumberOfNames; ++i) {
    const char* exported = image.StringAt(names[i]);
    // The name table holds indexes into the functions, not ordinals.
    if (exported && strcmp(exported, name) == 0) return FunctionAtIndex(image, directory, *exports, indexes[i]);
  }
  return nullptr;
}

}  // namespace win32::loader
