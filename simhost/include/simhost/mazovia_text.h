// The host's text conversions between the Mazovia code page (the plugin's
// texts) and the code pages of the screen: 1250 for the system's message box,
// UTF-8 for a terminal.
#pragma once
#include <string>

namespace zalmir {

std::string MazoviaToCp1250(const std::string& mazovia);
std::string MazoviaToUtf8(const std::string& mazovia);
// Polish letters and ASCII only; anything else becomes '?'.
std::string Utf8ToMazovia(const std::string& utf8);

}  // namespace zalmir
