// The notice that the plugin is installed, shown at each start until the
// user's choice in the host's INI file says otherwise.
#pragma once

#include <stdint.h>

// The host's INI access with a variable list: mode 8 reads through the
// pointers given, mode 9 writes the values given. Low 16 bits 0: done.
extern "C" int32_t __attribute__((cdecl)) ProfileValue(const char* file, int32_t mode,
                                                     const char* section, const char* key,
                                                     const char* format, ...);
int32_t ShowInstallationNotice();
