#include <cstdio>

#include "standin/pe_call.h"
#include "standin/pe_image.h"
#include "win32/module_table.h"

namespace win32 {
namespace {

CallResult CallDllMain(const PeImage& image, DWORD reason) {
  return CallPe(image.entry_point(), CallConv::Stdcall,
                {reinterpret_cast<uint32_t>(image.handle()), reason, 0});
}

}  // namespace

std::unique_ptr<LoadedDll> LoadedDll::Load(const std::string& path, std::string* error,
                                           const LoadOptions& options) {
  std::unique_ptr<PeImage> image = PeImage::Map(path, error, options);
  if (!image) return nullptr;
  std::unique_ptr<LoadedDll> dll(new LoadedDll(std::move(image)));
  // Known to GetModuleHandleA before its entry point runs, as on Windows,
  // and with the file name the test chose already in place.
  AddLoadedImage(dll->image_.get());
  if (options.file_name_unavailable)
    SetModuleFileName(dll->handle(), std::nullopt);
  else if (options.file_name)
    SetModuleFileName(dll->handle(), options.file_name);
  if (!dll->image_->entry_point()) return dll;

  const CallResult attach = CallDllMain(*dll->image_, DLL_PROCESS_ATTACH);
  if (!attach.Clean()) {
    // A broken seam leaves nothing worth detaching.
    *error = path + ": DllMain(DLL_PROCESS_ATTACH): " + attach.Problems();
    return nullptr;
  }
  if (attach.eax == 0) {
    CallDllMain(*dll->image_, DLL_PROCESS_DETACH);
    *error = path + ": DllMain(DLL_PROCESS_ATTACH) answered FALSE";
    return nullptr;
  }
  dll->attached_ = true;
  return dll;
}

LoadedDll::~LoadedDll() {
  if (attached_) {
    const CallResult detach = CallDllMain(*image_, DLL_PROCESS_DETACH);
    if (!detach.Clean())
      fprintf(stderr, "%s: DllMain(DLL_PROCESS_DETACH): %s\n", image_->path().c_str(),
              detach.Problems().c_str());
  }
  RemoveLoadedImage(image_.get());
}

}  // namespace win32
