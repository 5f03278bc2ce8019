#include "delivery_date/installation_notice.h"

#include "host/host_services.h"
#include "runtime/mazovia.h"
#include "runtime/plugin_identity.h"

namespace {

constexpr char kIniFile[] = "WtyczkiG.ini";
constexpr char kIniSection[] = "Zefirnik";
constexpr char kNoticeFlagKey[] = "Pytaj";
constexpr int32_t kNoticeWindow = 1668;
constexpr uint32_t kNoticeBufferSize = 304;

constexpr auto& kNoticeFormat = MAZOVIA("Zainstalowano wtyczkę do programu:\n%s");

}  // namespace

int32_t ProfileValue(const char* file, int32_t mode, const char* section, const char* key,
                     const char* format, ...) {
  va_list values;
  va_start(values, format);
  const int32_t result = ProfileValueF(file, mode, section, key, format, values);
  va_end(values);
  return result;
}

int32_t ShowInstallationNotice() {
  // Only the low 16 bits of the flag count: the notice window sees a 16-bit flag.
  int32_t flag = 0;
  const int32_t read =
      ProfileValue(kIniFile, kProfileRead, kIniSection, kNoticeFlagKey, "%d", &flag);
  if (static_cast<uint16_t>(read) != kProfileValueDone)
    flag = 0;
  else if (static_cast<int16_t>(flag) != 0)
    return 0;

  char description[kNoticeBufferSize];
  char notice[kNoticeBufferSize];
  CopyPluginDescription(description);
  sprintf(notice, kNoticeFormat, description);
  ShowNotice(kNoticeWindow, reinterpret_cast<int16_t*>(&flag), 0, notice);

  ProfileValue(kIniFile, kProfileWrite, kIniSection, kNoticeFlagKey, "%d",
               static_cast<int32_t>(static_cast<int16_t>(flag)));
  return 0;
}
