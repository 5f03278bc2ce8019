#include "support/plugin_harness.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <regex>
#include <stdexcept>

#include "simhost/mazovia_text.h"

namespace zefirnik_test {

std::string DllPath() {
  if (const char* path = std::getenv("ZEFIRNIK_DLL")) return path;
  return ZEFIRNIK_DLL;
}

uint32_t MapAddress(const std::string& symbol) {
  std::ifstream map(ZEFIRNIK_MAP);
  const std::regex line("^\\s+0x([0-9a-fA-F]+)\\s+_?" + symbol + "\\s*$");
  for (std::string text; std::getline(map, text);) {
    std::smatch match;
    if (std::regex_match(text, match, line)) return std::stoul(match[1], nullptr, 16);
  }
  throw std::runtime_error("symbol " + symbol + " not in the linker map " ZEFIRNIK_MAP);
}

TempDir::TempDir() {
  char pattern[] = "/tmp/zefirnik-test-XXXXXX";
  if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string Mz(const std::string& utf8) { return zalmir::Utf8ToMazovia(utf8); }

std::string Description() {
  return Mz("Wyszukiwanie ostatniej daty dostawy towarów i wpisanie w magazynie do rubryki "
            "'Słowo KLUCZ'.\n\n\x02Wywołanie: Ctrl+9 w magazynie.\x01");
}

void ExpectClean(const win32::CallResult& result, const std::string& what) {
  EXPECT_TRUE(result.Clean()) << what << ": " << result.Problems();
}

PluginTest::PluginTest() {
  win32::ResetProcess();
  host_ = std::make_unique<zalmir::Host>(dir_.path());
}

PluginTest::~PluginTest() {
  dll_.reset();
  host_.reset();
  win32::ResetProcess();
}

bool PluginTest::LoadPlugin(bool expect_success, bool load_host, win32::LoadOptions options) {
  if (load_host) host_->Load();
  options.away_from_preferred_base = true;
  dll_ = win32::LoadedDll::Load(DllPath(), &load_error_, options);
  if (expect_success) {
    EXPECT_TRUE(dll_) << "load failed: " << load_error_;
  }
  return dll_ != nullptr;
}

win32::CallResult PluginTest::CallExport(uint32_t ordinal, win32::CallConv conv,
                                         std::initializer_list<uint32_t> args) {
  void* entry = dll_->Export(ordinal);
  if (!entry) throw std::runtime_error("entry point " + std::to_string(ordinal) + " not exported");
  win32::CallResult result = win32::CallPe(entry, conv, args);
  ExpectClean(result, "entry point " + std::to_string(ordinal));
  return result;
}

int32_t PluginTest::Attach(uint32_t callback, char* description) {
  return CallExport(kPluginAttach, win32::CallConv::Stdcall,
                    {callback, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(description))})
      .eax;
}

int32_t PluginTest::AttachWithHostCallback(char* description) {
  return Attach(reinterpret_cast<uintptr_t>(host_->EntryAddress(30006)), description);
}

int32_t PluginTest::Start(int32_t mode) {
  return CallExport(kPluginStart, win32::CallConv::Stdcall, {static_cast<uint32_t>(mode)}).eax;
}

win32::CallResult PluginTest::SendGoodsCommand(int32_t command, const std::vector<uint32_t>& others) {
  zalmir::Table& goods = host_->goods();
  std::vector<uint32_t> args(11, 0);
  for (size_t i = 0; i < others.size() && i < 9; ++i) args[i < 4 ? i + 1 : i + 2] = others[i];
  args[0] = static_cast<uint32_t>(command);
  args[5] = reinterpret_cast<uintptr_t>(goods.descriptor_address());
  return win32::CallPe(reinterpret_cast<void*>(goods.command_handler()), win32::CallConv::Stdcall,
                       {args[0], args[1], args[2], args[3], args[4], args[5], args[6], args[7], args[8],
                        args[9], args[10]});
}

uint32_t PluginTest::Image(uint32_t preferred_address) const {
  return preferred_address - dll_->image().preferred_base() + dll_->image().base();
}

void PluginTest::SetMissingFeatures(uint32_t value) {
  uint32_t* word = reinterpret_cast<uint32_t*>(Image(MapAddress("MissingFeatures")));
  *word = value;
}

}  // namespace zefirnik_test
