// The version resource of the built Zefirnik.dll, read from the file the way
// Explorer's Properties page reads it: the resource tree down to
// RT_VERSION, then VS_VERSIONINFO with its fixed part and its strings.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kResourceTypeVersion = 16;

class Image {
 public:
  explicit Image(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    bytes_.assign(std::istreambuf_iterator<char>(in), {});
    if (bytes_.size() < 64) throw std::runtime_error("cannot read " + path);
    const uint32_t header = U32(0x3C);
    optional_ = header + 24;
    const uint32_t sections = optional_ + U16(header + 20);
    for (uint32_t i = 0; i < U16(header + 6); ++i) {
      const uint32_t at = sections + 40 * i;
      sections_.push_back({U32(at + 12), U32(at + 8), U32(at + 20)});
    }
  }
  uint16_t U16(uint64_t at) const { return Read<uint16_t>(at); }
  uint32_t U32(uint64_t at) const { return Read<uint32_t>(at); }
  uint32_t ResourceRva() const { return U32(optional_ + 96 + 2 * 8); }
  uint64_t Offset(uint32_t rva) const {
    for (const Section& s : sections_)
      if (rva >= s.rva && rva < s.rva + s.size) return uint64_t{s.raw} + (rva - s.rva);
    throw std::runtime_error("RVA in no section");
  }

 private:
  template <typename T>
  T Read(uint64_t at) const {
    if (at + sizeof(T) > bytes_.size()) throw std::runtime_error("read past the end");
    T value;
    std::memcpy(&value, bytes_.data() + at, sizeof(T));
    return value;
  }
  struct Section {
    uint32_t rva, size, raw;
  };
  std::vector<uint8_t> bytes_;
  uint32_t optional_ = 0;
  std::vector<Section> sections_;
};

// First entry of a resource directory with the given id (or the first of
// all when id is 0): answers the entry's offset field.
uint32_t Entry(const Image& image, uint64_t directory, uint32_t id, uint32_t* found_id = nullptr) {
  const uint32_t named = image.U16(directory + 12), ids = image.U16(directory + 14);
  for (uint32_t i = 0; i < named + ids; ++i) {
    const uint64_t entry = directory + 16 + 8 * i;
    const uint32_t name = image.U32(entry);
    if (id == 0 || name == id) {
      if (found_id) *found_id = name;
      return image.U32(entry + 4);
    }
  }
  throw std::runtime_error("no resource entry " + std::to_string(id));
}

std::string Utf8(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) {
    if (c < 0x80) out += static_cast<char>(c);
    else if (c < 0x800) out += {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
    else out += {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
  }
  return out;
}

struct VersionInfo {
  uint32_t language = 0;
  std::vector<uint32_t> fixed;  // VS_FIXEDFILEINFO as 13 words
  std::map<std::string, std::string> strings;
  uint32_t translation = 0;
};

// One node of VS_VERSIONINFO: length, value length, type, key, value, children.
void ReadNode(const Image& image, uint64_t at, VersionInfo& info, int depth) {
  const uint64_t end = at + image.U16(at);
  const uint16_t value_length = image.U16(at + 2), type = image.U16(at + 4);
  uint64_t p = at + 6;
  std::u16string key;
  for (char16_t c; (c = image.U16(p)) != 0; p += 2) key += c;
  p = (p + 2 + 3) & ~uint64_t{3};
  const uint64_t value = p;
  const uint64_t value_bytes = type == 1 ? 2ull * value_length : value_length;
  if (depth == 0) {
    for (int i = 0; i < 13; ++i) info.fixed.push_back(image.U32(value + 4 * i));
  } else if (depth == 3 && type == 1) {
    std::u16string text;
    for (uint64_t q = value; q < value + value_bytes; q += 2) text += static_cast<char16_t>(image.U16(q));
    while (!text.empty() && text.back() == 0) text.pop_back();
    info.strings[Utf8(key)] = Utf8(text);
  } else if (Utf8(key) == "Translation") {
    info.translation = image.U32(value);
  }
  for (p = (value + value_bytes + 3) & ~uint64_t{3}; p + 6 <= end && image.U16(p) != 0;
       p = (p + image.U16(p) + 3) & ~uint64_t{3})
    ReadNode(image, p, info, depth + 1);
}

VersionInfo ReadVersionInfo(const std::string& path) {
  const Image image(path);
  const uint64_t root = image.Offset(image.ResourceRva());
  const uint64_t names = root + (Entry(image, root, kResourceTypeVersion) & 0x7FFFFFFF);
  const uint64_t languages = root + (Entry(image, names, 1) & 0x7FFFFFFF);
  VersionInfo info;
  const uint64_t data = root + Entry(image, languages, 0, &info.language);
  ReadNode(image, image.Offset(image.U32(data)), info, 0);
  return info;
}

TEST(VersionResource, ExplorerShowsDescriptionVersionAndProduct) {
  const VersionInfo info = ReadVersionInfo(ZEFIRNIK_DLL);
  EXPECT_EQ(info.language, 0x0415u) << "filed under Polish";
  ASSERT_EQ(info.fixed.size(), 13u);
  EXPECT_EQ(info.fixed[0], 0xFEEF04BDu) << "VS_FIXEDFILEINFO signature";
  EXPECT_EQ(info.fixed[2], 0x00010000u) << "file version 1.0";
  EXPECT_EQ(info.fixed[3], 0x00000000u) << "file version .0.0";
  EXPECT_EQ(info.fixed[8], 0x00040004u) << "for 32-bit Windows NT";
  EXPECT_EQ(info.fixed[9], 2u) << "a DLL";
  const std::map<std::string, std::string> expected = {
      {"FileDescription", "Zefirnik - ostatnia data dostawy w polu Słowo KLUCZ"},
      {"FileVersion", "1.0.0.0"},
      {"ProductName", "Zefirnik"},
      {"ProductVersion", "1.0.0.0"},
      {"OriginalFilename", "Zefirnik.dll"},
  };
  for (const auto& [key, value] : expected) {
    ASSERT_TRUE(info.strings.count(key)) << key;
    EXPECT_EQ(info.strings.at(key), value) << key;
  }
  EXPECT_EQ(info.translation, 0x04E20415u) << "Polish, code page 1250";
}

}  // namespace
