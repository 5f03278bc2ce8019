#include "runtime/size_registry.h"

#include "delivery_date/records.h"
#include "host/host_services.h"

constinit SizeCheckEntry* SizeMismatches = nullptr;

namespace {

struct CheckedTable {
  int32_t number;
  const char* name;
  int32_t expected_size;
  SizeCheckEntry* entry;
};

constinit SizeCheckEntry GoodsTableEntry = {};
constinit SizeCheckEntry StockCardTableEntry = {};

constinit const CheckedTable kCheckedTables[] = {
    {kGoodsTable, kGoodsTableName, kGoodsRecordSize, &GoodsTableEntry},
    {kStockCardTable, kStockCardTableName, kStockCardRecordSize, &StockCardTableEntry},
};

bool IsListed(const SizeCheckEntry* entry) {
  for (const SizeCheckEntry* listed = SizeMismatches; listed; listed = listed->next)
    if (listed == entry) return true;
  return false;
}

}  // namespace

void FillSizeCheckEntry(SizeCheckEntry* entry, int32_t expected_size, int32_t host_size,
                        const char* table_name) {
  entry->expected_size = expected_size;
  entry->host_size = host_size;
  entry->table_name = table_name;
  if (!IsListed(entry)) entry->next = nullptr;
}

int32_t AddSizeCheckEntry(SizeCheckEntry* entry) {
  if (!SizeMismatches) {
    SizeMismatches = entry;
    return -1;
  }
  SizeCheckEntry* last = SizeMismatches;
  for (;;) {
    if (last == entry) return -1;
    if (!last->next) break;
    last = last->next;
  }
  last->next = entry;
  return -1;
}

int32_t AddIfSizesDiffer(SizeCheckEntry* entry) {
  if (entry->expected_size == entry->host_size) return 0;
  return AddSizeCheckEntry(entry);
}

int32_t CountSizeMismatches() {
  int32_t count = 0;
  for (const SizeCheckEntry* entry = SizeMismatches; entry; entry = entry->next) ++count;
  return count;
}

int32_t CheckRecordSizes() {
  for (const CheckedTable& table : kCheckedTables) {
    const HostTableDescriptor* descriptor = GetTableDescriptor(table.number);
    FillSizeCheckEntry(table.entry, table.expected_size,
                       descriptor ? TableRecordSize(descriptor) : 0, table.name);
    AddIfSizesDiffer(table.entry);
  }
  return CountSizeMismatches();
}
