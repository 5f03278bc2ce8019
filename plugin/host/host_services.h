// The host's services, reached through the plugin's thunk table: each name
// below is the call entry of one thunk, which jumps through a slot bound by
// ordinal at start-up. Callers call them as plain functions.
//
// Every value is 32 bits wide. The host's services remove their own
// arguments (stdcall), except the variadic ones and ProfileValueF (cdecl),
// and CursorDestroy, which is a member function of the cursor (thiscall).
#pragma once

#include <stdarg.h>
#include <stdint.h>

#include "host/host_layouts.h"

#define HOST_STDCALL __attribute__((stdcall))
#define HOST_CDECL __attribute__((cdecl))
#define HOST_THISCALL __attribute__((thiscall))
#define HOST_ENTRY(name) __asm__("HostService_" #name)

namespace host_ordinal {
constexpr uint32_t kHostCallback = 30006;
constexpr uint32_t kHostEntry30007 = 30007;
}  // namespace host_ordinal

// A yes from ShowMessage, and success of ProfileValueF, in the answer's low 16 bits.
constexpr uint16_t kShowMessageYes = 0x5009;
constexpr uint16_t kProfileValueDone = 0;

constexpr int32_t kProfileRead = 8;
constexpr int32_t kProfileWrite = 9;

extern "C" {

// Entry 30006: the host's callback, also handed over at every attach.
using HostCallbackFunction = int32_t(HOST_CDECL*)(int32_t, int32_t);
// Entry 30007: bound at load, never called.
using HostEntry30007Function = int32_t(HOST_STDCALL*)(uint32_t, uint32_t);

int32_t HOST_STDCALL CheckPluginModule(void* plugin_module, char* reason, int32_t reason_size)
    HOST_ENTRY(CheckPluginModule);
int32_t HOST_CDECL ShowCodedMessageF(int32_t code, const char* title, const char* format,
                                     int32_t style, int32_t help, ...) HOST_ENTRY(ShowCodedMessageF);
int32_t HOST_CDECL ShowMessageF(const char* title, const char* format, int32_t style, int32_t help,
                                ...) HOST_ENTRY(ShowMessageF);
int32_t HOST_STDCALL ConvertText(char* destination, const char* source, int32_t from_charset,
                                 int32_t to_charset) HOST_ENTRY(ConvertText);
int32_t HOST_CDECL ProfileValueF(const char* file, int32_t mode, const char* section,
                                 const char* key, const char* format, va_list values)
    HOST_ENTRY(ProfileValueF);
int32_t HOST_STDCALL DateToText(char* text12, const uint8_t* date_field) HOST_ENTRY(DateToText);
int32_t HOST_CDECL ShowNotice(int32_t window, int16_t* flag, int32_t zero, const char* text)
    HOST_ENTRY(ShowNotice);
int32_t HOST_STDCALL ShowMessage(const char* title, const char* text, int32_t flags)
    HOST_ENTRY(ShowMessage);
int32_t HOST_STDCALL ShowErrorLine(const char* text) HOST_ENTRY(ShowErrorLine);
int32_t HOST_STDCALL CopyTextMax(char* destination, const char* source, int32_t max_length)
    HOST_ENTRY(CopyTextMax);
int32_t HOST_STDCALL GetHostVersion() HOST_ENTRY(GetHostVersion);
HostTableDescriptor* HOST_STDCALL GetTableDescriptor(int32_t table) HOST_ENTRY(GetTableDescriptor);
int16_t* HOST_STDCALL GetContextNumber() HOST_ENTRY(GetContextNumber);
void HOST_THISCALL CursorDestroy(RecordCursor* cursor) HOST_ENTRY(CursorDestroy);
int32_t HOST_STDCALL PrepareTable(HostTableDescriptor* descriptor, int32_t mode)
    HOST_ENTRY(PrepareTable);
int32_t HOST_STDCALL PrepareSelection(int32_t kind, int32_t zero, SelectionParameters* parameters,
                                      int32_t zero2) HOST_ENTRY(PrepareSelection);
int32_t HOST_STDCALL CheckUserBreak(int32_t zero) HOST_ENTRY(CheckUserBreak);
uint32_t HOST_STDCALL _fopensw_check(int32_t mode, const char* file_name,
                                     HostTableDescriptor* descriptor, int32_t* entry_count)
    HOST_ENTRY(_fopensw_check);
uint32_t HOST_STDCALL fopen_ind(const char* file_name, int32_t entry_count, uint32_t* context,
                                int32_t zero) HOST_ENTRY(fopen_ind);
int32_t HOST_STDCALL CloseFiles(int32_t status, uint32_t* context, uint32_t* handle,
                                uint32_t* open_result) HOST_ENTRY(CloseFiles);
int32_t HOST_STDCALL ReadRecordAt(uint32_t context, int32_t index, HostTableDescriptor* descriptor,
                                  int32_t zero, uint32_t handle) HOST_ENTRY(ReadRecordAt);
int32_t HOST_STDCALL BuildFileName(int32_t card_number, int32_t context_number, char* file_name260,
                                   const char* pattern, const char* extension, int32_t a6,
                                   int32_t a7) HOST_ENTRY(BuildFileName);
int32_t HOST_STDCALL CursorOpen(RecordCursor* cursor, HostTableDescriptor* descriptor, int32_t kind,
                                SelectionParameters* parameters, int32_t a5, int32_t a6)
    HOST_ENTRY(CursorOpen);
int32_t HOST_STDCALL CursorNext(RecordCursor* cursor) HOST_ENTRY(CursorNext);
int32_t HOST_STDCALL CursorSave(RecordCursor* cursor) HOST_ENTRY(CursorSave);
int32_t HOST_STDCALL CursorClose(RecordCursor* cursor) HOST_ENTRY(CursorClose);

}  // extern "C"
