#include "delivery_date/goods_table_hook.h"

#include "delivery_date/goods_command_handler.h"
#include "delivery_date/records.h"
#include "host/host_services.h"
#include "runtime/size_registry.h"

namespace {

// Recorded when the goods table cannot be hooked, so the failure report
// can name it.
constinit SizeCheckEntry FailedInstallationEntry = {};

}  // namespace

int32_t HookGoodsTable(int32_t install) {
  if (!install) return UnhookGoodsTable();
  if (HookedGoodsTable) return 0;

  HostTableDescriptor* descriptor = GetTableDescriptor(kGoodsTable);
  if (descriptor && TableRecordSize(descriptor) == kGoodsRecordSize) {
    CommandHandler* field = TableCommandHandlerField(descriptor);
    SavedGoodsCommandHandler = *field;
    *field = GoodsCommandHandler;
    HookedGoodsTable = descriptor;
    return 0;
  }
  FillSizeCheckEntry(&FailedInstallationEntry, kGoodsRecordSize,
                     descriptor ? TableRecordSize(descriptor) : 0, kGoodsTableName);
  return AddSizeCheckEntry(&FailedInstallationEntry);
}

int32_t UnhookGoodsTable() {
  if (HookedGoodsTable) {
    *TableCommandHandlerField(HookedGoodsTable) = SavedGoodsCommandHandler;
    HookedGoodsTable = nullptr;
  }
  return 0;
}
