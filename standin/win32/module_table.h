// The modules of the process: images LoadedDll put there and the pseudo
// modules a test added, with the file names GetModuleFileNameA reports.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "standin/pe_image.h"
#include "standin/process.h"

namespace win32 {

// ResetProcess's part: loaded images stay, they belong to their LoadedDll.
void ClearPseudoModulesAndFileNames();

void AddLoadedImage(const PeImage* image);
void RemoveLoadedImage(const PeImage* image);

// Names compare as NormalizeModuleName does; images by their file's name.
const PeImage* FindLoadedImage(std::string_view name);
const PeImage* FindLoadedImage(HMODULE handle);
const PseudoModule* FindPseudoModule(std::string_view name);
const PseudoModule* FindPseudoModule(HMODULE handle);

// SetModuleFileName's answer when one was set, else the loaded image's path;
// nullopt when the call must fail.
std::optional<std::string> ModuleFileName(HMODULE handle);

// What an import names, found among loaded images, pseudo modules (by
// ordinal) and the stand-in's own functions (by name). Null when absent.
void* ResolveImport(std::string_view dll, const char* name, uint32_t ordinal);

}  // namespace win32
