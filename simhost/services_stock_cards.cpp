// The host's stock-card files: one ".KAR" file of packed entries per goods
// item (naming and formats in simhost/records.h), read one entry at a time
// into the stock-card table's record buffer; and the date conversions.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "service_registry.h"
#include "simhost/records.h"

namespace zalmir {
namespace {

WINAPI_STDCALL int32_t BuildFileName(int32_t card, int32_t context, char* name, const char* pattern,
                                     const char* extension, int32_t a6, int32_t a7) {
  return Serve("BuildFileName",
               {Word(card), Word(context), Word(name), Word(pattern), Word(extension), Word(a6), Word(a7)},
               [&](Host& host) {
                 const std::string file = std::string(pattern) + std::to_string(context) + "-" +
                                          std::to_string(card) + extension;
                 std::snprintf(name, 260, "%s", (host.directory / file).c_str());
                 return 1;
               });
}
ZALMIR_SERVICE(52312, BuildFileName, BuildFileName);

WINAPI_STDCALL uint32_t FopenswCheck(int32_t mode, const char* name, uint8_t* descriptor, int32_t* count) {
  return Serve("_fopensw_check", {Word(mode), Word(name), Word(descriptor), Word(count)}, [&](Host& host) {
    std::ifstream in(name, std::ios::binary);
    if (!in) return 0u;
    Host::OpenFile file;
    file.contents.assign(std::istreambuf_iterator<char>(in), {});
    int16_t record_size;
    std::memcpy(&record_size, descriptor + kDescriptorRecordSize, 2);
    file.record_size = record_size > 0 ? record_size : kStockCardRecordSize;
    *count = static_cast<int32_t>(file.contents.size() / file.record_size);
    const uint32_t handle = host.next_handle_++;
    host.files_[handle] = std::move(file);
    return handle;
  });
}
ZALMIR_SERVICE(50516, _fopensw_check, FopenswCheck);

// The read context is the handle of the file opened for it.
WINAPI_STDCALL uint32_t FopenInd(const char* name, int32_t count, uint32_t* context, int32_t zero) {
  return Serve("fopen_ind", {Word(name), Word(count), Word(context), Word(zero)}, [&](Host& host) {
    if (host.files_.empty()) return 0u;
    *context = host.files_.rbegin()->first;
    return 1u;
  });
}
ZALMIR_SERVICE(52300, fopen_ind, FopenInd);

WINAPI_STDCALL int32_t ReadRecordAt(uint32_t context, int32_t index, uint8_t* descriptor, int32_t zero,
                                    uint32_t handle) {
  return Serve("ReadRecordAt", {context, Word(index), Word(descriptor), Word(zero), handle}, [&](Host& host) {
    auto found = host.files_.find(handle);
    if (found == host.files_.end() || index < 0) return 0;
    const Host::OpenFile& file = found->second;
    const size_t offset = static_cast<size_t>(index) * file.record_size;
    if (offset + file.record_size > file.contents.size()) return 0;
    uint8_t* buffer;
    std::memcpy(&buffer, descriptor + kDescriptorRecordBuffer, 4);
    std::memcpy(buffer, file.contents.data() + offset, file.record_size);
    return 1;
  });
}
ZALMIR_SERVICE(52286, ReadRecordAt, ReadRecordAt);

WINAPI_STDCALL int32_t CloseFiles(int32_t status, uint32_t* context, uint32_t* handle, uint32_t* open_result) {
  return Serve("CloseFiles", {Word(status), Word(context), Word(handle), Word(open_result)}, [&](Host& host) {
    if (handle) host.files_.erase(*handle);
    return 0;
  });
}
ZALMIR_SERVICE(52302, CloseFiles, CloseFiles);

WINAPI_STDCALL int32_t DateToText(char* text, const uint8_t* stored_date) {
  return Serve("DateToText", {Word(text), Word(stored_date)}, [&](Host&) {
    const std::string display = DateText(stored_date);
    std::snprintf(text, 12, "%s", display.c_str());
    return 1;
  });
}
ZALMIR_SERVICE(32008, DateToText, DateToText);

WINAPI_STDCALL int32_t CopyTextMax(char* destination, const char* source, int32_t max_length) {
  return Serve("CopyTextMax", {Word(destination), Word(source), Word(max_length)}, [&](Host&) {
    int32_t i = 0;
    for (; i < max_length && source[i]; ++i) destination[i] = source[i];
    destination[i] = 0;
    return i;
  });
}
ZALMIR_SERVICE(52161, CopyTextMax, CopyTextMax);

}  // namespace
}  // namespace zalmir
