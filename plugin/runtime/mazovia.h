// Texts of the plugin are stored in the Mazovia code page (Polish DOS), the
// character set of the host. The source keeps them readable as UTF-8 and this
// converter turns them into Mazovia bytes while compiling; a letter it does
// not know stops the build.
#pragma once

namespace mazovia {

using size_t = decltype(sizeof 0);

template <size_t N>
struct Utf8Literal {
  char8_t bytes[N];
  consteval Utf8Literal(const char8_t (&text)[N]) {
    for (size_t i = 0; i < N; ++i) bytes[i] = text[i];
  }
};

struct Letter {
  char32_t code_point;
  unsigned char byte;
};

inline constexpr Letter kPolishLetters[] = {
    {U'ą', 0x86}, {U'Ą', 0x8F}, {U'ć', 0x8D}, {U'Ć', 0x95}, {U'ę', 0x91}, {U'Ę', 0x90},
    {U'ł', 0x92}, {U'Ł', 0x9C}, {U'ń', 0xA4}, {U'Ń', 0xA5}, {U'ó', 0xA2}, {U'Ó', 0xA3},
    {U'ś', 0x9E}, {U'Ś', 0x98}, {U'ź', 0xA6}, {U'Ź', 0xA0}, {U'ż', 0xA7}, {U'Ż', 0xA1},
};

// Not constexpr: reaching it while compiling stops the build with its name.
void LetterOutsideTheMazoviaCodePage();

consteval unsigned char ByteOf(char32_t code_point) {
  if (code_point < 0x80) return static_cast<unsigned char>(code_point);
  for (const Letter& letter : kPolishLetters)
    if (letter.code_point == code_point) return letter.byte;
  LetterOutsideTheMazoviaCodePage();
  return 0;
}

// Decodes one UTF-8 sequence at text[i]; returns its code point and moves i on.
template <size_t N>
consteval char32_t DecodeAt(const Utf8Literal<N>& text, size_t& i) {
  const unsigned lead = text.bytes[i];
  if (lead < 0x80) return text.bytes[i++];
  const size_t extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
  char32_t code_point = lead & (0x3F >> extra);
  for (size_t k = 1; k <= extra; ++k) code_point = (code_point << 6) | (text.bytes[i + k] & 0x3F);
  i += extra + 1;
  return code_point;
}

template <size_t N>
consteval size_t CountLetters(const Utf8Literal<N>& text) {
  size_t count = 0;
  for (size_t i = 0; i < N;) {
    DecodeAt(text, i);
    ++count;
  }
  return count;  // the terminating NUL included
}

template <size_t N>
struct Text {
  char bytes[N];
  constexpr operator const char*() const { return bytes; }
};

template <Utf8Literal S>
consteval auto Convert() {
  Text<CountLetters(S)> out{};
  size_t at = 0;
  for (size_t i = 0; i < sizeof(S.bytes);) out.bytes[at++] = static_cast<char>(ByteOf(DecodeAt(S, i)));
  return out;
}

// The converted text as static data of the module.
template <Utf8Literal S>
inline constexpr auto kText = Convert<S>();

}  // namespace mazovia

// A Mazovia text from a UTF-8 literal: MAZOVIA("Błąd") is a const char*.
#define MAZOVIA(literal) (::mazovia::kText<u8##literal>.bytes)
