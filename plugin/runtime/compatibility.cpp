#include "runtime/compatibility.h"

#include "host/host_services.h"
#include "runtime/mazovia.h"
#include "runtime/plugin_identity.h"
#include "runtime/size_registry.h"

extern "C" {
constinit volatile uint32_t MissingFeatures = 0xFFFFFFFF;
}

namespace {

constexpr int32_t kRequiredHostVersion = 112;
constexpr uint32_t kReportSize = 3072;
constexpr uint32_t kPieceSize = 1024;  // the most wsprintfA ever writes

constexpr int32_t kReportCode = 30000;
constexpr int32_t kReportStyle = 0xF001;
constexpr int32_t kReportHelp = 0x6E2E;

constexpr auto& kReportTitle = MAZOVIA("STOP!!!");
constexpr auto& kMissingFeaturesFormat = MAZOVIA(
    "Program nie obsługuje cech 0x%08X,\nktóre są niezbędne dla modułu '%s'.");
constexpr auto& kSizeReportHeader = MAZOVIA(
    "Rozmiary rekordów niektórych tabel nie zgadzają się\nmiędzy programem a wtyczką '%s' "
    "(moduł '%s'):\n\n\x01tl18l33\x01TABELA\tWE WTYCZCE\tW PROGRAMIE\n");
constexpr auto& kSizeReportLine = MAZOVIA("\x01tp25p40\x01%s\t%d\t%s\n");
constexpr auto& kSizeReportEnd = MAZOVIA("\nModuł \x02%s\x01\nNIE zostanie załadowany!");
constexpr auto& kNoTable = MAZOVIA("brak");
constexpr auto& kVersionsDiffer = MAZOVIA(
    "Moduł \"%s\" i program występują w różnych wersjach!\n\nZostał zakualizowany tylko "
    "program albo tylko moduł,\na nie oba jednocześnie! Aby naprawić tę sytuację\n"
    "zainstaluj aktualizację programu wraz z modułem \"%s\".\n\nMODUŁ NIE ZOSTANIE "
    "ZAŁADOWANY!!!\n");
constexpr auto& kNotInitialised = MAZOVIA(
    "Moduł \"%s\" nie został poprawnie zainicjowany,\nwięc NIE BĘDZIE AKTYWNY!");

// Appends a piece behind what text already holds, cut where size ends.
void AppendPiece(char* text, uint32_t size, uint32_t* length, const char* piece) {
  while (*piece && *length + 1 < size) text[(*length)++] = *piece++;
  text[*length] = 0;
}

void ShowReportText(const char* text) {
  ShowCodedMessageF(kReportCode, kReportTitle, "%s", kReportStyle, kReportHelp, text);
}

}  // namespace

int32_t CheckHostCompatibility() {
  if (CheckPluginModule(PluginInstance, nullptr, 0) != 0) return -1;
  if (GetHostVersion() != kRequiredHostVersion) return -1;
  if (CheckRecordSizes() != 0) return -1;
  return 0;
}

int32_t BuildSizeReport(char* text, uint32_t size) {
  if (text && size) text[0] = 0;
  if (!SizeMismatches) return 0;
  if (!text || !size) return -1;

  char piece[kPieceSize];
  char description[kPluginDescriptionSize];
  uint32_t length = 0;
  wsprintfA(piece, kSizeReportHeader, CopyPluginDescription(description), PluginBaseName);
  AppendPiece(text, size, &length, piece);
  for (const SizeCheckEntry* entry = SizeMismatches; entry; entry = entry->next) {
    char host_size[12];
    if (entry->host_size == 0)
      lstrcpyA(host_size, kNoTable);
    else
      wsprintfA(host_size, "%d", entry->host_size);
    wsprintfA(piece, kSizeReportLine, entry->table_name, entry->expected_size, host_size);
    AppendPiece(text, size, &length, piece);
  }
  wsprintfA(piece, kSizeReportEnd, PluginBaseName);
  AppendPiece(text, size, &length, piece);
  return -1;
}

void ShowFailureReport() {
  char text[kReportSize];
  char description[kPluginDescriptionSize];

  if (HostCallback) HostCallback(1, -1);

  if (MissingFeatures != 0) {
    wsprintfA(text, kMissingFeaturesFormat, MissingFeatures, CopyPluginDescription(description));
    ShowReportText(text);
    return;
  }
  if (BuildSizeReport(text, sizeof text) != 0) {
    ShowReportText(text);
    return;
  }
  if (CheckPluginModule(PluginInstance, text, sizeof text) != 0) {
    // The host's reason is shown as far as the buffer reaches, never beyond.
    text[sizeof text - 1] = 0;
    ShowReportText(text);
    return;
  }
  if (CheckHostCompatibility() == -1) {
    ShowCodedMessageF(kReportCode, kReportTitle, kVersionsDiffer, kReportStyle, kReportHelp,
                      PluginBaseName, PluginBaseName);
    return;
  }
  ShowMessageF(kReportTitle, kNotInitialised, kReportStyle, kReportHelp, PluginBaseName);
}
