#include "win32/module_name.h"

#include <cctype>

namespace win32 {

std::string_view FileBaseName(std::string_view path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string NormalizeModuleName(std::string_view name) {
  std::string normal(FileBaseName(name));
  for (char& c : normal) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (!normal.empty() && normal.back() == '.')
    normal.pop_back();
  else if (normal.find('.') == std::string::npos)
    normal += ".dll";
  return normal;
}

}  // namespace win32
