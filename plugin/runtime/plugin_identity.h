// Who the plugin is and where its host is: filled by the load step when the
// system loads the module, before anything else of the plugin runs.
#pragma once

#include "host/host_services.h"
#include "runtime/mazovia.h"
#include "runtime/platform.h"

constexpr uint32_t kPluginDescriptionSize = 127;
constexpr uint32_t kPluginFileNameSize = 300;

extern "C" {
extern HMODULE PluginInstance;
extern char PluginFileName[kPluginFileNameSize];
extern const char* PluginBaseName;
extern HMODULE HostModule;
extern HostCallbackFunction HostCallback;
extern HostEntry30007Function HostEntry30007Slots[2];
}

// The plugin's name in every message, and what the host receives at attach.
inline constexpr const char (&PluginDescription)[kPluginDescriptionSize] = mazovia::kText<
    u8"Wyszukiwanie ostatniej daty dostawy towarów i wpisanie w magazynie do rubryki "
    u8"'Słowo KLUCZ'.\n\n\x02Wywołanie: Ctrl+9 w magazynie.\x01">.bytes;

// Handler of the system's load notifications; acts on process attach only.
BOOL WINAPI PluginLoad(HMODULE module, DWORD reason, void* reserved);
void RecordModuleIdentity(HMODULE module);
void BindHost();

// Copies all 127 bytes of the description (text and NUL) and returns buffer.
char* CopyPluginDescription(char* buffer);
