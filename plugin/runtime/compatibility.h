// Whether the plugin may work with the host it was loaded into, and the one
// message that tells the user why not.
#pragma once

#include <stdint.h>

// Host features the plugin needs and the host lacks. Nothing in the plugin
// writes it: whoever knows the host's features sets it from outside, which
// is why it is volatile (the compiler must not fold its starting value).
extern "C" volatile uint32_t MissingFeatures;

// 0: the plugin can work with this host; -1: it cannot.
int32_t CheckHostCompatibility();
// Composes the record-size report into text (at most size bytes with its
// NUL). -1: the mismatch list has entries; 0: it is empty.
int32_t BuildSizeReport(char* text, uint32_t size);
void ShowFailureReport();
