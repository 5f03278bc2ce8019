#include "win32/registry.h"

#include <map>
#include <string>
#include <utility>

#include "win32/module_name.h"

namespace win32 {
namespace {

using Key = std::pair<std::string, std::string>;

// Built on first use: registrations run as static constructors of other
// files, in no defined order.
std::map<Key, void*>& Functions() {
  static std::map<Key, void*> functions;
  return functions;
}

}  // namespace

void RegisterWindowsFunction(std::string_view dll, std::string_view name, void* address) {
  Functions()[{NormalizeModuleName(dll), std::string(name)}] = address;
}

void* FindWindowsFunction(std::string_view dll, std::string_view name) {
  const auto found = Functions().find({NormalizeModuleName(dll), std::string(name)});
  return found == Functions().end() ? nullptr : found->second;
}

}  // namespace win32
