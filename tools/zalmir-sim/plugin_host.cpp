#include "plugin_host.h"

#include "standin/pe_call.h"
#include "standin/process.h"

namespace zalmir_sim {

namespace {

uint32_t Checked(const win32::CallResult& result, const std::string& what) {
  if (!result.Clean()) throw SeamError(what + " came back damaged: " + result.Problems());
  return result.eax;
}

uint32_t Address(const void* pointer) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer)); }

}  // namespace

PluginHost::PluginHost(const std::filesystem::path& directory, const std::vector<std::vector<uint8_t>>& goods,
                       const Options& options) {
  win32::ResetProcess();
  host_ = std::make_unique<zalmir::Host>(directory);
  host_->goods().records = goods;
  host_->context_number = options.context_number;
  if (options.host_version) host_->version = *options.host_version;
  if (options.host_refusal) {
    host_->module_verdict = -1;
    host_->refusal_reason = *options.host_refusal;
  }
  for (const HostRecordSize& size : options.host_record_sizes) host_->FindTable(size.table)->set_record_size(size.size);
  for (uint32_t ordinal : options.host_lacks) host_->RemoveOrdinal(ordinal);
  host_->Load();
}

PluginHost::~PluginHost() {
  dll_.reset();
  host_.reset();
  win32::ResetProcess();
}

bool PluginHost::Load(const std::filesystem::path& dll, std::string* error) {
  dll_ = win32::LoadedDll::Load(dll.string(), error);
  return dll_ != nullptr;
}

uint32_t PluginHost::CallExport(uint32_t ordinal, std::vector<uint32_t> args) {
  void* entry = dll_->Export(ordinal);
  if (!entry) throw SeamError("the DLL exports no entry point " + std::to_string(ordinal));
  return Checked(win32::CallPe(entry, win32::CallConv::Stdcall, std::span<const uint32_t>(args)),
                 "entry point " + std::to_string(ordinal));
}

int32_t PluginHost::Attach(char* description) {
  return static_cast<int32_t>(CallExport(30001, {Address(host_->EntryAddress(30006)), Address(description)}));
}

int32_t PluginHost::Start(int32_t mode) { return static_cast<int32_t>(CallExport(30008, {static_cast<uint32_t>(mode)})); }

int32_t PluginHost::Detach() { return static_cast<int32_t>(CallExport(30001, {0, 0})); }

uint32_t PluginHost::Ctrl9() {
  zalmir::Table& goods = host_->goods();
  // Eleven arguments: the command first, the table's descriptor sixth.
  std::vector<uint32_t> args(11, 0);
  args[0] = kCtrl9Command;
  args[5] = Address(goods.descriptor_address());
  return Checked(win32::CallPe(reinterpret_cast<void*>(goods.command_handler()), win32::CallConv::Stdcall,
                               std::span<const uint32_t>(args)),
                 "the goods table's command handler");
}

void PluginHost::Unload() { dll_.reset(); }

bool PluginHost::HostHandlerBack() const {
  return host_->goods().command_handler() == zalmir::HostGoodsCommandHandlerAddress();
}

}  // namespace zalmir_sim
