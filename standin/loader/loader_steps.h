// The loader's steps, in the order PeImage::Map runs them. Each step that
// can fail says why in *error and returns false; the caller unmaps.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "loader/mapped_image.h"
#include "loader/pe_format.h"

namespace win32::loader {

// Where the headers of a checked file lie inside it.
struct FileLayout {
  const pe::NtHeaders32* nt = nullptr;
  const pe::SectionHeader* sections = nullptr;
  uint16_t section_count = 0;
};

// Bytes a section occupies once mapped.
uint32_t MappedExtent(const pe::SectionHeader& section);

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* error);

// Every header and every section's raw data must lie inside the file, and
// every section inside SizeOfImage, before anything is copied.
bool CheckHeaders(const std::vector<uint8_t>& file, FileLayout* layout, std::string* error);

// Reserves SizeOfImage bytes (read, write, execute) at the preferred base
// when that range is free, elsewhere otherwise; never over existing pages.
bool ReserveImage(const pe::OptionalHeader32& optional, bool away_from_preferred_base,
                  uint32_t* base, std::string* error);
void ReleaseImage(uint32_t base, uint32_t size);

void CopyHeadersAndSections(const std::vector<uint8_t>& file, const FileLayout& layout,
                            const MappedImage& image);

bool ApplyBaseRelocations(const MappedImage& image, uint32_t preferred_base, std::string* error);

bool BindImports(const MappedImage& image, std::string* error);

// Exports: null when not exported.
void* FindExportByOrdinal(const MappedImage& image, uint32_t ordinal);
void* FindExportByName(const MappedImage& image, const char* name);

}  // namespace win32::loader
