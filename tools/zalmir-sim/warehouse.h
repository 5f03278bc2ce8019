// A warehouse of the simulated host on disk, one directory:
//
//   goods.k9         the goods list: N records of 1024 bytes, nothing else.
//                    Offset 0: name, Mazovia text, NUL within 64 bytes.
//                    Offset 543: key word ('Słowo KLUCZ'), Mazovia text, NUL
//                    within 40 bytes. Offset 1022: card number, int16 LE,
//                    0 = no stock card. Other bytes belong to the host.
//   MMM<c>-<n>.KAR   the stock card of card number n in context c (the
//                    host's context number, 1 unless told otherwise): entries
//                    of 435 bytes, first entry first. Offset 136: date (day,
//                    month, year as uint16 LE; day 0 = no date). Offset 170:
//                    first amount (int32, quantity in). Offset 174: second
//                    amount (int32, quantity out). Offset 214: document kind
//                    (uint16).
//   WtyczkiG.ini     the host's INI file for plugins; optional.
//
// Reading checks everything before the host starts, so that a bad warehouse
// is refused with one line naming the file and the record, and nothing has
// been written.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace zalmir_sim {

inline constexpr char kGoodsFileName[] = "goods.k9";
inline constexpr char kIniFileName[] = "WtyczkiG.ini";

struct Warehouse {
  std::filesystem::path directory;
  std::vector<std::vector<uint8_t>> goods;  // 1024 bytes each, in file order
  size_t stock_card_files = 0;
};

// Throws InputError naming the file (and the record) that is wrong.
Warehouse ReadWarehouse(const std::filesystem::path& directory);

// Whole-file helpers that throw InputError with the file's name.
std::vector<uint8_t> ReadWholeFile(const std::filesystem::path& path);
bool IsStockCardFile(const std::filesystem::path& path);

// The goods file, open for storing single records where the host's
// CursorSave stores them, so that a run that is broken off leaves exactly
// the records stored until then.
class GoodsFile {
 public:
  explicit GoodsFile(const std::filesystem::path& path);  // throws InputError
  ~GoodsFile();
  GoodsFile(const GoodsFile&) = delete;
  GoodsFile& operator=(const GoodsFile&) = delete;
  void Store(size_t index, const std::vector<uint8_t>& record);  // throws std::runtime_error

 private:
  std::filesystem::path path_;
  int fd_ = -1;
};

}  // namespace zalmir_sim
