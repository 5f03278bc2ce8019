// "0x1A2B" for messages that name addresses, RVAs and codes.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

namespace win32 {

inline std::string Hex(uint32_t value) {
  char text[16];
  snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(value));
  return text;
}

}  // namespace win32
