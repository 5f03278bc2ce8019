#include "warehouse.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>

#include "input_error.h"
#include "simhost/host.h"
#include "simhost/records.h"

namespace zalmir_sim {

namespace fs = std::filesystem;

namespace {

std::string Quoted(const fs::path& path) { return path.filename().string(); }

bool Terminated(const std::vector<uint8_t>& record, uint32_t offset, uint32_t size) {
  return std::find(record.begin() + offset, record.begin() + offset + size, 0) !=
         record.begin() + offset + size;
}

void CheckGoodsRecords(const fs::path& path, const std::vector<std::vector<uint8_t>>& goods) {
  std::map<int16_t, size_t> owner_of_card;
  for (size_t i = 0; i < goods.size(); ++i) {
    const std::string where = Quoted(path) + ": record " + std::to_string(i + 1) + ": ";
    if (!Terminated(goods[i], zalmir::goods_field::kName, zalmir::goods_field::kNameSize))
      throw InputError(where + "the name is not terminated within its " +
                       std::to_string(zalmir::goods_field::kNameSize) + " bytes");
    if (!Terminated(goods[i], zalmir::goods_field::kKeyWord, zalmir::goods_field::kKeyWordSize))
      throw InputError(where + "the key word is not terminated within its " +
                       std::to_string(zalmir::goods_field::kKeyWordSize) + " bytes");
    const int16_t card = zalmir::ReadGoodsRecord(goods[i]).card_number;
    if (card == 0) continue;
    // Two goods items on one stock card would share one history: the host
    // never builds such a warehouse.
    auto [found, fresh] = owner_of_card.emplace(card, i);
    if (!fresh)
      throw InputError(where + "card number " + std::to_string(card) + " already belongs to record " +
                       std::to_string(found->second + 1));
  }
}

std::vector<std::vector<uint8_t>> ReadGoodsFile(const fs::path& path) {
  if (!fs::exists(path)) throw InputError(path.string() + ": no goods file (" + kGoodsFileName + ") in the warehouse");
  if (!fs::is_regular_file(path)) throw InputError(path.string() + ": the goods file is not a regular file");
  const std::vector<uint8_t> bytes = ReadWholeFile(path);
  if (bytes.size() % zalmir::kGoodsRecordSize != 0)
    throw InputError(path.string() + ": " + std::to_string(bytes.size()) + " bytes is not a whole number of " +
                     std::to_string(zalmir::kGoodsRecordSize) + "-byte goods records");
  std::vector<std::vector<uint8_t>> goods;
  for (size_t at = 0; at < bytes.size(); at += zalmir::kGoodsRecordSize)
    goods.emplace_back(bytes.begin() + at, bytes.begin() + at + zalmir::kGoodsRecordSize);
  CheckGoodsRecords(path, goods);
  return goods;
}

bool IsDate(const zalmir::Date& date) {
  return date.day == 0 || (date.day <= 31 && date.month >= 1 && date.month <= 12);
}

void CheckStockCardFile(const fs::path& path) {
  if (!fs::is_regular_file(path)) throw InputError(path.string() + ": a stock card that is not a regular file");
  const std::vector<uint8_t> bytes = ReadWholeFile(path);
  if (bytes.size() % zalmir::kStockCardRecordSize != 0)
    throw InputError(path.string() + ": " + std::to_string(bytes.size()) + " bytes is not a whole number of " +
                     std::to_string(zalmir::kStockCardRecordSize) + "-byte stock-card entries");
  for (size_t at = 0, entry = 1; at < bytes.size(); at += zalmir::kStockCardRecordSize, ++entry) {
    const zalmir::StockCardEntry read = zalmir::ReadStockCardRecord(bytes.data() + at);
    if (!IsDate(read.date))
      throw InputError(path.string() + ": entry " + std::to_string(entry) + ": " + zalmir::DateText(read.date) +
                       " is not a date (day 0 marks an entry without one)");
  }
}

}  // namespace

std::vector<uint8_t> ReadWholeFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw InputError(path.string() + ": cannot read (" + std::strerror(errno) + ")");
  std::vector<uint8_t> bytes;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0) throw InputError(path.string() + ": cannot read");
  in.seekg(0);
  bytes.resize(static_cast<size_t>(size));
  if (!in.read(reinterpret_cast<char*>(bytes.data()), size))
    throw InputError(path.string() + ": cannot read (" + std::strerror(errno) + ")");
  return bytes;
}

bool IsStockCardFile(const fs::path& path) {
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(), ::toupper);
  return extension == ".KAR";
}

Warehouse ReadWarehouse(const fs::path& directory) {
  std::error_code error;
  if (!fs::exists(directory, error)) throw InputError(directory.string() + ": no such warehouse directory");
  if (!fs::is_directory(directory, error)) throw InputError(directory.string() + ": not a directory");

  Warehouse warehouse;
  warehouse.directory = directory;
  std::vector<fs::path> stock_cards;
  fs::directory_iterator entries(directory, error);
  if (error) throw InputError(directory.string() + ": cannot list the warehouse (" + error.message() + ")");
  for (const fs::directory_entry& entry : entries)
    if (IsStockCardFile(entry.path())) stock_cards.push_back(entry.path());
  std::sort(stock_cards.begin(), stock_cards.end());

  warehouse.goods = ReadGoodsFile(directory / kGoodsFileName);
  for (const fs::path& card : stock_cards) CheckStockCardFile(card);
  warehouse.stock_card_files = stock_cards.size();

  const fs::path ini = directory / kIniFileName;
  if (fs::exists(ini, error)) {
    if (!fs::is_regular_file(ini, error)) throw InputError(ini.string() + ": not a regular file");
    ReadWholeFile(ini);
  }
  if (access(directory.c_str(), W_OK) != 0)
    throw InputError(directory.string() + ": the warehouse cannot be written (" + std::strerror(errno) + ")");
  return warehouse;
}

GoodsFile::GoodsFile(const fs::path& path) : path_(path) {
  fd_ = open(path.c_str(), O_RDWR);
  if (fd_ < 0) throw InputError(path.string() + ": cannot open for writing (" + std::strerror(errno) + ")");
}

GoodsFile::~GoodsFile() {
  if (fd_ >= 0) close(fd_);
}

void GoodsFile::Store(size_t index, const std::vector<uint8_t>& record) {
  const off_t offset = static_cast<off_t>(index) * zalmir::kGoodsRecordSize;
  if (pwrite(fd_, record.data(), zalmir::kGoodsRecordSize, offset) != zalmir::kGoodsRecordSize)
    throw std::runtime_error(path_.string() + ": record " + std::to_string(index + 1) + " could not be stored (" +
                             std::strerror(errno) + ")");
}

}  // namespace zalmir_sim
