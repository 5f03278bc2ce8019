#include "simhost/host.h"

#include <cstring>
#include <stdexcept>

#include "service_registry.h"
#include "standin/process.h"

namespace zalmir {

namespace {
Host* current_host = nullptr;
// A module handle no real module has: only GetModuleHandleA hands it out.
void* const kHostHandle = reinterpret_cast<void*>(0x7A100000);
}  // namespace

std::map<uint32_t, ServiceEntry>& ServiceRegistry() {
  static std::map<uint32_t, ServiceEntry> registry;
  return registry;
}

int16_t Table::record_size() const {
  int16_t size;
  std::memcpy(&size, descriptor.data() + kDescriptorRecordSize, 2);
  return size;
}
void Table::set_record_size(int16_t size) {
  std::memcpy(descriptor.data() + kDescriptorRecordSize, &size, 2);
}
uint32_t Table::command_handler() const {
  uint32_t address;
  std::memcpy(&address, descriptor.data() + kDescriptorCommandHandler, 4);
  return address;
}
void Table::set_command_handler(uint32_t address) {
  std::memcpy(descriptor.data() + kDescriptorCommandHandler, &address, 4);
}

Host::Host(std::filesystem::path dir) : directory(std::move(dir)) {
  if (current_host) throw std::logic_error("one simulated host at a time");
  current_host = this;
  AddTable(kGoodsTable, kGoodsRecordSize).set_command_handler(HostGoodsCommandHandlerAddress());
  AddTable(kStockCardTable, kStockCardRecordSize);
}

Host::~Host() {
  Unload();
  current_host = nullptr;
}

Host& Host::Current() {
  if (!current_host) throw std::logic_error("no simulated host");
  return *current_host;
}

void Host::Load() {
  win32::AddPseudoModule({"ZALMIR", kHostHandle, [this](uint32_t ordinal) { return EntryAddress(ordinal); }});
  loaded_ = true;
}

void Host::Unload() {
  if (loaded_) win32::RemovePseudoModule("ZALMIR");
  loaded_ = false;
}

void* Host::handle() const { return kHostHandle; }

void* Host::EntryAddress(uint32_t ordinal) const {
  if (removed_.count(ordinal)) return nullptr;
  auto found = ServiceRegistry().find(ordinal);
  return found == ServiceRegistry().end() ? nullptr : found->second.address;
}

std::string Host::RoleOf(uint32_t ordinal) {
  auto found = ServiceRegistry().find(ordinal);
  return found == ServiceRegistry().end() ? std::to_string(ordinal) : found->second.role;
}

const std::vector<uint32_t>& Host::ServiceOrdinals() {
  static const std::vector<uint32_t> ordinals = {
      30018, 35802, 52029, 52158, 41399, 32008, 52023, 52028, 52030, 52161, 51594, 52256, 52265,
      50538, 52465, 51425, 51701, 50516, 52300, 52302, 52286, 52312, 52278, 52279, 52280, 52281};
  return ordinals;
}

Table& Host::AddTable(int32_t number, int16_t record_size) {
  Table& table = tables_[number];
  table.number = number;
  table.descriptor.assign(kDescriptorSize, 0);
  table.buffer.assign(kRecordBufferSize, 0);
  table.set_record_size(record_size);
  const uint32_t buffer = reinterpret_cast<uint32_t>(table.buffer.data());
  std::memcpy(table.descriptor.data() + kDescriptorRecordBuffer, &buffer, 4);
  return table;
}

Table* Host::FindTable(int32_t number) {
  auto found = tables_.find(number);
  return found == tables_.end() ? nullptr : &found->second;
}

Table* Host::FindTableByDescriptor(const uint8_t* descriptor) {
  for (auto& [number, table] : tables_)
    if (table.descriptor.data() == descriptor) return &table;
  return nullptr;
}

std::vector<std::string> Host::Roles() const {
  std::vector<std::string> roles;
  for (const ServiceCall& call : log) roles.push_back(call.role);
  return roles;
}

size_t Host::Count(const std::string& role) const {
  size_t count = 0;
  for (const ServiceCall& call : log) count += call.role == role;
  return count;
}

void Host::ClearRecords() {
  log.clear();
  messages.clear();
  goods_handler_calls.clear();
  callback_calls.clear();
}

std::optional<uint32_t> Host::Intercepted(const ServiceCall& call) {
  auto found = intercept.find(call.role);
  if (found == intercept.end() || !found->second) return std::nullopt;
  return found->second(call);
}

}  // namespace zalmir
