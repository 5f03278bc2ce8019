#include "standin/pe_image.h"

#include <vector>

#include "loader/loader_steps.h"

namespace win32 {

std::unique_ptr<PeImage> PeImage::Map(const std::string& path, std::string* error,
                                      const LoadOptions& options) {
  using namespace loader;
  std::vector<uint8_t> file;
  FileLayout layout;
  if (!ReadWholeFile(path, &file, error) || !CheckHeaders(file, &layout, error)) {
    *error = path + ": " + *error;
    return nullptr;
  }
  const pe::OptionalHeader32& optional = layout.nt->OptionalHeader;
  uint32_t base = 0;
  if (!ReserveImage(optional, options.away_from_preferred_base, &base, error)) {
    *error = path + ": " + *error;
    return nullptr;
  }
  // From here on the image owns the mapping and unmaps it on every failure.
  std::unique_ptr<PeImage> image(new PeImage);
  image->base_ = base;
  image->size_ = optional.SizeOfImage;
  image->preferred_base_ = optional.ImageBase;
  image->entry_rva_ = optional.AddressOfEntryPoint;
  image->path_ = path;

  const MappedImage mapped{base, optional.SizeOfImage};
  CopyHeadersAndSections(file, layout, mapped);
  if (!ApplyBaseRelocations(mapped, optional.ImageBase, error) || !BindImports(mapped, error)) {
    *error = path + ": " + *error;
    return nullptr;
  }
  return image;
}

PeImage::~PeImage() { loader::ReleaseImage(base_, size_); }

void* PeImage::entry_point() const { return entry_rva_ ? At(entry_rva_) : nullptr; }

void* PeImage::ExportByOrdinal(uint32_t ordinal) const {
  return loader::FindExportByOrdinal({base_, size_}, ordinal);
}

void* PeImage::ExportByName(const char* name) const {
  return loader::FindExportByName({base_, size_}, name);
}

}  // namespace win32
