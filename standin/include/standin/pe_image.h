// A PE32 i386 image mapped into this process the way the Windows loader
// maps a DLL: sections, base relocations, imports bound by name to the
// stand-in's own Windows functions, exports found by ordinal.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "standin/winabi.h"

namespace win32 {

struct LoadOptions {
  // Map somewhere other than the image's preferred base, so that every
  // base relocation has to be applied.
  bool away_from_preferred_base = false;
  // What GetModuleFileNameA answers for this module instead of its real
  // path (set before the entry point runs, so the load step sees it).
  std::optional<std::string> file_name;
  // GetModuleFileNameA fails (answers 0) for this module.
  bool file_name_unavailable = false;
};

class PeImage {
 public:
  // Maps, relocates and binds imports; runs nothing. On failure returns null
  // and says why in *error (an unbound import names its DLL and function).
  static std::unique_ptr<PeImage> Map(const std::string& path, std::string* error,
                                      const LoadOptions& options = {});
  ~PeImage();
  PeImage(const PeImage&) = delete;
  PeImage& operator=(const PeImage&) = delete;

  HMODULE handle() const { return reinterpret_cast<HMODULE>(base_); }
  uint32_t base() const { return base_; }
  uint32_t preferred_base() const { return preferred_base_; }
  uint32_t size() const { return size_; }
  const std::string& path() const { return path_; }
  void* entry_point() const;
  void* At(uint32_t rva) const { return reinterpret_cast<void*>(base_ + rva); }

  // Null when the ordinal lies outside the export table or its slot is 0.
  void* ExportByOrdinal(uint32_t ordinal) const;
  void* ExportByName(const char* name) const;

 private:
  PeImage() = default;
  uint32_t base_ = 0;
  uint32_t preferred_base_ = 0;
  uint32_t size_ = 0;
  uint32_t entry_rva_ = 0;
  std::string path_;
};

// A DLL as LoadLibrary leaves it: mapped, known to GetModuleHandleA and
// GetModuleFileNameA, its entry point run with DLL_PROCESS_ATTACH. Each load
// is a fresh image with fresh static data.
class LoadedDll {
 public:
  // Null when mapping fails or the entry point answers FALSE (then, as on
  // Windows, the entry point is called again with DLL_PROCESS_DETACH and the
  // image is unmapped). *error says which.
  static std::unique_ptr<LoadedDll> Load(const std::string& path, std::string* error,
                                         const LoadOptions& options = {});
  // Runs the entry point with DLL_PROCESS_DETACH, then unmaps.
  ~LoadedDll();

  PeImage& image() { return *image_; }
  HMODULE handle() const { return image_->handle(); }
  void* Export(uint32_t ordinal) const { return image_->ExportByOrdinal(ordinal); }

 private:
  explicit LoadedDll(std::unique_ptr<PeImage> image) : image_(std::move(image)) {}
  std::unique_ptr<PeImage> image_;
  bool attached_ = false;  // DLL_PROCESS_ATTACH ran and answered TRUE
};

}  // namespace win32
