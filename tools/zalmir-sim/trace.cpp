#include "trace.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <set>

#include "simhost/mazovia_text.h"

namespace zalmir_sim {

namespace {

constexpr size_t kLongestText = 60;
// Below this no address lies in this process: such a value is a number.
constexpr uint32_t kLowestAddress = 0x10000;

// Which arguments are texts (Mazovia, NUL-terminated), by role. Output
// buffers are filled when the line is written, after the call.
const std::map<std::string, std::set<size_t>>& TextArguments() {
  static const std::map<std::string, std::set<size_t>> texts = {
      {"ShowMessage", {0, 1}},        {"ShowCodedMessageF", {1, 2}}, {"ShowMessageF", {0, 1}},
      {"ShowErrorLine", {0}},         {"ShowNotice", {3}},           {"ConvertText", {0, 1}},
      {"ProfileValueF", {0, 2, 3, 4}}, {"BuildFileName", {2, 3, 4}},  {"_fopensw_check", {1}},
      {"fopen_ind", {0}},             {"DateToText", {0}},           {"CopyTextMax", {0, 1}},
  };
  return texts;
}

std::string Quote(const char* mazovia) {
  std::string text = "\"";
  size_t length = 0;
  for (const char* p = mazovia; *p; ++p, ++length) {
    if (length == kLongestText) return text + "…\"";
    const unsigned char byte = static_cast<unsigned char>(*p);
    if (byte == '\n') text += "\\n";
    else if (byte == '\t') text += "\\t";
    else if (byte == '"' || byte == '\\') text += std::string("\\") + *p;
    else if (byte < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      text += escaped;
    } else text += zalmir::MazoviaToUtf8(std::string(1, *p));
  }
  return text + "\"";
}

std::string Number(uint32_t value) {
  const int32_t signed_value = static_cast<int32_t>(value);
  char text[16];
  if (signed_value > -static_cast<int32_t>(kLowestAddress) && signed_value < static_cast<int32_t>(kLowestAddress))
    std::snprintf(text, sizeof text, "%d", signed_value);
  else
    std::snprintf(text, sizeof text, "0x%08X", value);
  return text;
}

}  // namespace

std::string TraceLine(const zalmir::ServiceCall& call) {
  auto texts = TextArguments().find(call.role);
  std::string line = call.role + "(";
  for (size_t i = 0; i < call.args.size(); ++i) {
    if (i) line += ", ";
    const uint32_t value = call.args[i];
    const bool text = texts != TextArguments().end() && texts->second.count(i) && value >= kLowestAddress;
    line += text ? Quote(reinterpret_cast<const char*>(value)) : Number(value);
  }
  return line + ") = " + Number(call.result);
}

}  // namespace zalmir_sim
