// ZALMIR, the host program as the plugin sees it: a module in the process
// whose services the plugin binds by ordinal. Tests and tools set up its
// tables, files, answers and failures, drive the plugin, and read back what
// the host was asked and showed.
#pragma once
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace zalmir {

constexpr int32_t kHostVersion = 112;
constexpr int32_t kGoodsTable = 49;
constexpr int32_t kStockCardTable = 51;
constexpr int32_t kGoodsRecordSize = 1024;
constexpr int32_t kStockCardRecordSize = 435;
constexpr uint32_t kShowMessageYes = 0x5009;

// Host memory layout of a table descriptor.
constexpr uint32_t kDescriptorSize = 128;
constexpr uint32_t kDescriptorRecordSize = 6;
constexpr uint32_t kDescriptorRecordBuffer = 8;
constexpr uint32_t kDescriptorCommandHandler = 104;
// Room in every record buffer, whatever record size the descriptor claims.
constexpr uint32_t kRecordBufferSize = 2048;

struct ServiceCall {
  std::string role;             // e.g. "CursorOpen"
  std::vector<uint32_t> args;   // as passed, 32 bits each (thiscall: the cursor first)
  uint32_t result = 0;
};

// A message the host showed the user, with the plugin's bytes (Mazovia and
// mark-up) after the host's own formatting.
struct ShownMessage {
  std::string service;   // ShowCodedMessageF, ShowMessageF, ShowMessage, ShowErrorLine, ShowNotice
  std::string title;
  std::string text;
  std::vector<int32_t> values;  // code / style / help / flags / window, as passed
  std::string format;           // the format the host was given, for the F services
};

struct Table {
  int32_t number = 0;
  std::vector<uint8_t> descriptor;           // kDescriptorSize bytes
  std::vector<uint8_t> buffer;               // the current record
  std::vector<std::vector<uint8_t>> records; // what CursorNext walks, CursorSave stores
  uint8_t* descriptor_address() { return descriptor.data(); }
  int16_t record_size() const;
  void set_record_size(int16_t size);
  uint32_t command_handler() const;
  void set_command_handler(uint32_t address);
};

// Decides a service call instead of the host: return a result to answer
// with it (the service then does nothing else), nullopt to let it run.
using Interceptor = std::function<std::optional<uint32_t>(const ServiceCall& call)>;

class Host {
 public:
  // The host's own handler of the goods table, what the plugin keeps and calls on.
  struct GoodsHandlerCall {
    std::vector<uint32_t> args;  // all eleven
  };

  explicit Host(std::filesystem::path directory);
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  static Host& Current();   // the one Host alive; services reach it here

  // Makes GetModuleHandleA("ZALMIR") find the host, or not.
  void Load();
  void Unload();
  void* handle() const;
  // An entry the host does not export (30006, 30007 and the services).
  void RemoveOrdinal(uint32_t ordinal) { removed_.insert(ordinal); }
  // Address of an entry the way GetProcAddress gives it; null when removed.
  void* EntryAddress(uint32_t ordinal) const;
  static std::string RoleOf(uint32_t ordinal);
  static const std::vector<uint32_t>& ServiceOrdinals();  // the 26, in binding order

  // --- Tables -------------------------------------------------------------
  Table& AddTable(int32_t number, int16_t record_size);
  void RemoveTable(int32_t number) { tables_.erase(number); }
  Table* FindTable(int32_t number);
  Table* FindTableByDescriptor(const uint8_t* descriptor);
  Table& goods() { return *FindTable(kGoodsTable); }

  // --- Settings -----------------------------------------------------------
  int32_t version = kHostVersion;
  // CheckPluginModule: 0 accepts; otherwise the reason is written to a
  // buffer it is given, NUL-terminated unless reason_terminated is false
  // (then exactly the buffer's size is written, without a NUL).
  int32_t module_verdict = 0;
  std::string refusal_reason;
  bool reason_terminated = true;

  std::deque<uint32_t> show_message_answers;  // ShowMessage; empty: 0
  std::optional<int16_t> notice_sets_flag;    // what the notice window leaves in the flag
  int16_t context_number = 1;
  // CheckUserBreak answers yes at this poll (1 = the first), and after it.
  std::optional<uint32_t> break_at_poll;
  std::function<bool()> user_break;           // also asked at every poll, when set
  int32_t goods_handler_result = 0x1234;
  std::function<void()> goods_handler_action; // runs inside the host's goods handler
  std::map<std::string, Interceptor> intercept;
  // Told of every service call once it has its result (a trace, a progress line).
  std::function<void(const ServiceCall&)> on_call;

  std::filesystem::path directory;            // INI file and stock-card files

  // --- What happened ------------------------------------------------------
  // Off: calls still reach intercept and on_call, but log stays as it is (a
  // long walk makes millions of calls).
  bool keep_log = true;
  std::vector<ServiceCall> log;
  std::vector<ShownMessage> messages;
  std::vector<GoodsHandlerCall> goods_handler_calls;
  std::vector<std::pair<int32_t, int32_t>> callback_calls;
  uint32_t polls = 0;
  uint32_t open_files() const { return static_cast<uint32_t>(files_.size()); }
  std::vector<std::string> Roles() const;  // roles of the log, in order
  size_t Count(const std::string& role) const;
  void ClearRecords();

  // --- Used by the services -----------------------------------------------
  std::optional<uint32_t> Intercepted(const ServiceCall& call);
  struct OpenFile {
    std::vector<uint8_t> contents;
    int32_t record_size;
  };
  std::map<uint32_t, OpenFile> files_;
  uint32_t next_handle_ = 0x100;
  struct CursorState {
    Table* table = nullptr;
    int64_t position = -1;
  };
  std::map<uint32_t, CursorState> cursors_;

 private:
  std::map<int32_t, Table> tables_;
  std::set<uint32_t> removed_;
  bool loaded_ = false;
};

// The host's goods-table handler; tests give its address to a descriptor.
uint32_t HostGoodsCommandHandlerAddress();

}  // namespace zalmir
