#include "simhost/mazovia_text.h"

#include <cstdint>

namespace zalmir {

namespace {

struct Letter {
  unsigned char mazovia;
  unsigned char cp1250;
  char32_t code_point;
};

constexpr Letter kLetters[] = {
    {0x86, 0xB9, U'ą'}, {0x8F, 0xA5, U'Ą'}, {0x8D, 0xE6, U'ć'}, {0x95, 0xC6, U'Ć'},
    {0x91, 0xEA, U'ę'}, {0x90, 0xCA, U'Ę'}, {0x92, 0xB3, U'ł'}, {0x9C, 0xA3, U'Ł'},
    {0xA4, 0xF1, U'ń'}, {0xA5, 0xD1, U'Ń'}, {0xA2, 0xF3, U'ó'}, {0xA3, 0xD3, U'Ó'},
    {0x9E, 0x9C, U'ś'}, {0x98, 0x8C, U'Ś'}, {0xA6, 0x9F, U'ź'}, {0xA0, 0x8F, U'Ź'},
    {0xA7, 0xBF, U'ż'}, {0xA1, 0xAF, U'Ż'},
};

const Letter* FindMazovia(unsigned char byte) {
  for (const Letter& letter : kLetters)
    if (letter.mazovia == byte) return &letter;
  return nullptr;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string MazoviaToCp1250(const std::string& mazovia) {
  std::string out;
  for (unsigned char byte : mazovia) {
    const Letter* letter = byte >= 0x80 ? FindMazovia(byte) : nullptr;
    out += static_cast<char>(letter ? letter->cp1250 : byte);
  }
  return out;
}

std::string MazoviaToUtf8(const std::string& mazovia) {
  std::string out;
  for (unsigned char byte : mazovia) {
    if (byte < 0x80) {
      out += static_cast<char>(byte);
    } else if (const Letter* letter = FindMazovia(byte)) {
      AppendUtf8(out, letter->code_point);
    } else {
      out += '?';
    }
  }
  return out;
}

std::string Utf8ToMazovia(const std::string& utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char lead = utf8[i];
    if (lead < 0x80) {
      out += static_cast<char>(lead);
      ++i;
      continue;
    }
    const size_t extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
    char32_t c = lead & (0x3F >> extra);
    for (size_t k = 1; k <= extra && i + k < utf8.size(); ++k) c = (c << 6) | (utf8[i + k] & 0x3F);
    i += extra + 1;
    char byte = '?';
    for (const Letter& letter : kLetters)
      if (letter.code_point == c) byte = static_cast<char>(letter.mazovia);
    out += byte;
  }
  return out;
}

}  // namespace zalmir
