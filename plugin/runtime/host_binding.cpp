#include "runtime/host_binding.h"

#include "host/host_services.h"
#include "runtime/mazovia.h"
#include "runtime/plugin_identity.h"

namespace {

constexpr uint32_t kMessageSize = 504;
constexpr uint32_t kEntryTextSize = 104;
constexpr uint32_t kTitleSize = 21;
constexpr uint32_t kMessageBoxAbortRetryIgnoreStop = 0x2012;
constexpr int32_t kCharsetMazovia = 1;
constexpr int32_t kCharsetSystem = 3;

constinit bool IgnoreAllMissing = false;
// Set once the user chose Abort: the load fails, so no further question.
constinit bool AbortRequested = false;

constexpr auto& kMissingEntryFormat = MAZOVIA(
    "W module \x02%s\x01\nbrak wpisu \x02%s\x01\nWywołano z wtyczki \x02%s\x01.\n\n"
    "Błąd ten można zignorować lecz dalsza praca\nprogramu w tych warunkach może być "
    "niebezpieczna.\n\nKonieczna jest aktualizacja programu!");
constexpr auto& kMissingEntryTitle = MAZOVIA("POWAŻNY BŁĄD WTYCZKI");
static_assert(sizeof(kMissingEntryTitle) == kTitleSize);
// Characters of the message besides what its three %s bring.
constexpr uint32_t kMissingEntryFixedLength = sizeof(kMissingEntryFormat) - 1 - 3 * 2;
static_assert(kMissingEntryFixedLength == 182);

void CopyBounded(char* destination, const char* source, uint32_t size) {
  uint32_t i = 0;
  for (; i + 1 < size && source[i]; ++i) destination[i] = source[i];
  destination[i] = 0;
}

void ReplaceBytes(char* text, char from, char to) {
  for (char* at = strchr(text, from); at; at = strchr(at + 1, from)) *at = to;
}

// Leaves at most max_length characters of a path in place, keeping its end
// (the file name) behind "...", so the composed message fits its buffer.
void ShortenPath(char* path, uint32_t max_length) {
  const uint32_t length = strlen(path);
  if (length <= max_length || max_length < 4) {
    if (length > max_length) path[max_length] = 0;
    return;
  }
  const char* tail = path + length - (max_length - 3);
  char* out = path;
  *out++ = '.';
  *out++ = '.';
  *out++ = '.';
  while (*tail) *out++ = *tail++;
  *out = 0;
}

}  // namespace

int32_t BindHostServices() {
  for (const HostThunkInitializer* init = HostThunkInitializers; *init; ++init)
    if ((*init)() == -1) return -1;
  return 0;
}

void ResolveHostEntry(uint32_t ordinal, HostSlot* slot) {
  *slot = GetProcAddress(HostModule, OrdinalName(ordinal));
  if (*slot) return;
  if (ReportMissingEntry(ordinal, nullptr) == 1)
    ChooseFallbackStub(ordinal, slot);
  else
    *slot = nullptr;
}

int32_t ReportMissingEntry(uint32_t entry, const char* module_name) {
  if (IgnoreAllMissing) return 1;

  char module_text[kPluginFileNameSize];
  if (module_name) {
    CopyBounded(module_text, module_name, sizeof module_text);
  } else {
    if (GetModuleFileNameA(PluginInstance, module_text, sizeof module_text) == 0) module_text[0] = 0;
    module_text[sizeof module_text - 1] = 0;
  }
  if (!module_text[0]) lstrcpyA(module_text, "<nieznany>");

  char entry_text[kEntryTextSize];
  if (entry < 0x10000)
    _itoa(static_cast<int>(entry), entry_text, 10);
  else
    CopyBounded(entry_text, reinterpret_cast<const char*>(entry), sizeof entry_text);

  char plugin_text[kPluginDescriptionSize];
  CopyPluginDescription(plugin_text);

  ShortenPath(module_text, kMessageSize - 1 - kMissingEntryFixedLength - strlen(entry_text) -
                               strlen(plugin_text));
  char message[kMessageSize];
  wsprintfA(message, kMissingEntryFormat, module_text, entry_text, plugin_text);

  char title[kTitleSize];
  lstrcpyA(title, kMissingEntryTitle);

  // The system's message box knows no mark-up.
  ReplaceBytes(message, '\x01', ' ');
  ReplaceBytes(message, '\x02', ' ');
  ConvertText(message, message, kCharsetMazovia, kCharsetSystem);
  ConvertText(title, title, kCharsetMazovia, kCharsetSystem);

  // Composing the message calls ConvertText, which an early call binds;
  // when the host lacks it too, the user was just asked about it, and that
  // answer stands for this entry as well.
  if (IgnoreAllMissing) return 1;
  if (AbortRequested) return 0;
  for (;;) {
    const int answer = MessageBoxA(nullptr, message, title, kMessageBoxAbortRetryIgnoreStop);
    if (answer == IDRETRY) continue;
    if (answer == IDIGNORE) {
      IgnoreAllMissing = true;
      return 1;
    }
    AbortRequested = true;
    return 0;
  }
}

void ChooseFallbackStub(uint32_t entry, HostSlot* slot) {
  int32_t stub = -1;
  if (entry < 0x10000) {
    const uint32_t digits = entry % 100;
    if (digits == 99)
      stub = 0;
    else if (digits % 4 == 0 && digits <= 56)
      stub = static_cast<int32_t>(digits / 4);
  } else {
    const char* at = strrchr(reinterpret_cast<const char*>(entry), '@');
    if (!at || at[1] < '0' || at[1] > '9') {
      stub = 0;
    } else {
      const int32_t k = atoi(at + 1) / 4;
      if (k >= 0 && k < FALLBACK_STUB_COUNT) stub = k;
    }
  }
  *slot = stub >= 0 ? FallbackStubs[stub] : nullptr;
}
