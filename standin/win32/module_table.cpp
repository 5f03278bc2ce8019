#include "win32/module_table.h"

#include <algorithm>
#include <map>
#include <vector>

#include "win32/module_name.h"
#include "win32/registry.h"

namespace win32 {
namespace {

struct ModuleTable {
  std::vector<const PeImage*> images;
  std::vector<PseudoModule> pseudo_modules;
  std::map<HMODULE, std::optional<std::string>> file_names;
};

ModuleTable& Modules() {
  static ModuleTable table;
  return table;
}

}  // namespace

void ClearPseudoModulesAndFileNames() {
  Modules().pseudo_modules.clear();
  Modules().file_names.clear();
}

void AddPseudoModule(PseudoModule module) {
  RemovePseudoModule(module.name);
  Modules().pseudo_modules.push_back(std::move(module));
}

void RemovePseudoModule(const std::string& name) {
  const std::string normal = NormalizeModuleName(name);
  std::erase_if(Modules().pseudo_modules,
                [&](const PseudoModule& m) { return NormalizeModuleName(m.name) == normal; });
}

void SetModuleFileName(HMODULE module, std::optional<std::string> path) {
  Modules().file_names[module] = std::move(path);
}

void AddLoadedImage(const PeImage* image) { Modules().images.push_back(image); }

// A later image mapped at the same address is another module.
void RemoveLoadedImage(const PeImage* image) {
  std::erase(Modules().images, image);
  Modules().file_names.erase(image->handle());
}

// An image answers to the name of the file it was loaded from and to the
// file name a test gave it.
const PeImage* FindLoadedImage(std::string_view name) {
  const std::string normal = NormalizeModuleName(name);
  for (const PeImage* image : Modules().images) {
    if (NormalizeModuleName(image->path()) == normal) return image;
    const auto given = Modules().file_names.find(image->handle());
    if (given != Modules().file_names.end() && given->second && NormalizeModuleName(*given->second) == normal)
      return image;
  }
  return nullptr;
}

const PeImage* FindLoadedImage(HMODULE handle) {
  for (const PeImage* image : Modules().images)
    if (image->handle() == handle) return image;
  return nullptr;
}

const PseudoModule* FindPseudoModule(std::string_view name) {
  const std::string normal = NormalizeModuleName(name);
  for (const PseudoModule& module : Modules().pseudo_modules)
    if (NormalizeModuleName(module.name) == normal) return &module;
  return nullptr;
}

const PseudoModule* FindPseudoModule(HMODULE handle) {
  for (const PseudoModule& module : Modules().pseudo_modules)
    if (module.handle == handle) return &module;
  return nullptr;
}

std::optional<std::string> ModuleFileName(HMODULE handle) {
  const auto set = Modules().file_names.find(handle);
  if (set != Modules().file_names.end()) return set->second;
  if (const PeImage* image = FindLoadedImage(handle)) return image->path();
  return std::nullopt;
}

void* ResolveImport(std::string_view dll, const char* name, uint32_t ordinal) {
  if (const PeImage* image = FindLoadedImage(dll))
    return name ? image->ExportByName(name) : image->ExportByOrdinal(ordinal);
  if (const PseudoModule* module = FindPseudoModule(dll))
    return name || !module->by_ordinal ? nullptr : module->by_ordinal(ordinal);
  return name ? FindWindowsFunction(dll, name) : nullptr;
}

}  // namespace win32
