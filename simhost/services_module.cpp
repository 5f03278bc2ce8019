// The host's verdict on the plugin's module and its interface revision.
#include <algorithm>
#include <cstring>

#include "service_registry.h"

namespace zalmir {
namespace {

WINAPI_STDCALL int32_t CheckPluginModule(void* module, char* reason, int32_t size) {
  return Serve("CheckPluginModule", {Word(module), Word(reason), Word(size)}, [&](Host& host) {
    if (host.module_verdict != 0 && reason && size > 0) {
      const std::string& text = host.refusal_reason;
      if (host.reason_terminated) {
        const size_t length = std::min<size_t>(text.size(), size - 1);
        std::memcpy(reason, text.data(), length);
        reason[length] = 0;
      } else {
        for (int32_t i = 0; i < size; ++i) reason[i] = text.empty() ? 'x' : text[i % text.size()];
      }
    }
    return host.module_verdict;
  });
}
ZALMIR_SERVICE(30018, CheckPluginModule, CheckPluginModule);

WINAPI_STDCALL int32_t GetHostVersion() {
  return Serve("GetHostVersion", {}, [](Host& host) { return host.version; });
}
ZALMIR_SERVICE(51594, GetHostVersion, GetHostVersion);

}  // namespace
}  // namespace zalmir
