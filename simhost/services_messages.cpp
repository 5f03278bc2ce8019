// The host's message windows, its callback and its text conversion. What
// the user would see is recorded in Host::messages.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "service_registry.h"
#include "simhost/mazovia_text.h"

namespace zalmir {
namespace {

constexpr int32_t kCharsetMazovia = 1;
constexpr int32_t kCharsetSystem = 3;

std::string Format(const char* format, va_list values) {
  char text[8192];
  std::vsnprintf(text, sizeof text, format, values);
  return text;
}

WINAPI_CDECL int32_t HostCallback(int32_t a, int32_t b) {
  return Serve("HostCallback", {Word(a), Word(b)}, [&](Host& host) {
    host.callback_calls.emplace_back(a, b);
    return 0;
  });
}
ZALMIR_SERVICE(30006, HostCallback, HostCallback);

WINAPI_STDCALL int32_t HostEntry30007(uint32_t a, uint32_t b) {
  return Serve("HostEntry30007", {a, b}, [](Host&) { return 0; });
}
ZALMIR_SERVICE(30007, HostEntry30007, HostEntry30007);

WINAPI_CDECL int32_t ShowCodedMessageF(int32_t code, const char* title, const char* format,
                                       int32_t style, int32_t help, ...) {
  va_list values;
  va_start(values, help);
  const std::string text = Format(format, values);
  va_end(values);
  return Serve("ShowCodedMessageF", {Word(code), Word(title), Word(format), Word(style), Word(help)},
               [&](Host& host) {
                 host.messages.push_back({"ShowCodedMessageF", title, text, {code, style, help}, format});
                 return 0;
               });
}
ZALMIR_SERVICE(35802, ShowCodedMessageF, ShowCodedMessageF);

WINAPI_CDECL int32_t ShowMessageF(const char* title, const char* format, int32_t style,
                                  int32_t help, ...) {
  va_list values;
  va_start(values, help);
  const std::string text = Format(format, values);
  va_end(values);
  return Serve("ShowMessageF", {Word(title), Word(format), Word(style), Word(help)}, [&](Host& host) {
    host.messages.push_back({"ShowMessageF", title, text, {style, help}, format});
    return 0;
  });
}
ZALMIR_SERVICE(52029, ShowMessageF, ShowMessageF);

WINAPI_STDCALL uint32_t ShowMessage(const char* title, const char* text, int32_t flags) {
  return Serve("ShowMessage", {Word(title), Word(text), Word(flags)}, [&](Host& host) {
    host.messages.push_back({"ShowMessage", title, text, {flags}, ""});
    if (host.show_message_answers.empty()) return 0u;
    const uint32_t answer = host.show_message_answers.front();
    host.show_message_answers.pop_front();
    return answer;
  });
}
ZALMIR_SERVICE(52028, ShowMessage, ShowMessage);

WINAPI_STDCALL int32_t ShowErrorLine(const char* text) {
  return Serve("ShowErrorLine", {Word(text)}, [&](Host& host) {
    host.messages.push_back({"ShowErrorLine", "", text, {}, ""});
    return 0;
  });
}
ZALMIR_SERVICE(52030, ShowErrorLine, ShowErrorLine);

WINAPI_CDECL int32_t ShowNotice(int32_t window, int16_t* flag, int32_t zero, const char* text) {
  return Serve("ShowNotice", {Word(window), Word(flag), Word(zero), Word(text)}, [&](Host& host) {
    host.messages.push_back({"ShowNotice", "", text, {window, zero}, ""});
    if (host.notice_sets_flag) *flag = *host.notice_sets_flag;
    return 0;
  });
}
ZALMIR_SERVICE(52023, ShowNotice, ShowNotice);

WINAPI_STDCALL int32_t ConvertText(char* destination, const char* source, int32_t from,
                                   int32_t to) {
  return Serve("ConvertText", {Word(destination), Word(source), Word(from), Word(to)}, [&](Host&) {
    std::string text = source;
    if (from == kCharsetMazovia && to == kCharsetSystem) text = MazoviaToCp1250(text);
    std::memcpy(destination, text.c_str(), text.size() + 1);
    return 1;
  });
}
ZALMIR_SERVICE(52158, ConvertText, ConvertText);

}  // namespace
}  // namespace zalmir
