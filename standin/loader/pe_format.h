// The parts of the PE32 file format the loader reads, laid out as on disk.
#pragma once
#include <cstdint>

namespace win32::pe {

constexpr uint16_t kDosMagic = 0x5A4D;        // "MZ"
constexpr uint32_t kNtSignature = 0x00004550; // "PE\0\0"
constexpr uint16_t kMachineI386 = 0x014C;
constexpr uint16_t kOptionalMagicPe32 = 0x010B;
constexpr uint16_t kFileRelocsStripped = 0x0001;

enum DirectoryIndex : uint32_t { kExportDirectory = 0, kImportDirectory = 1, kBaseRelocDirectory = 5 };

constexpr uint16_t kRelBasedAbsolute = 0;
constexpr uint16_t kRelBasedHighLow = 3;
constexpr uint32_t kImportByOrdinalFlag = 0x80000000;

struct DosHeader {
  uint16_t e_magic;
  uint16_t unused[29];
  int32_t e_lfanew;
};
static_assert(sizeof(DosHeader) == 64);

struct ImageFileHeader {
  uint16_t Machine;
  uint16_t NumberOfSections;
  uint32_t TimeDateStamp;
  uint32_t PointerToSymbolTable;
  uint32_t NumberOfSymbols;
  uint16_t SizeOfOptionalHeader;
  uint16_t Characteristics;
};
static_assert(sizeof(ImageFileHeader) == 20);

struct ImageDataDirectory {
  uint32_t VirtualAddress;
  uint32_t Size;
};

struct OptionalHeader32 {
  uint16_t Magic;
  uint8_t MajorLinkerVersion;
  uint8_t MinorLinkerVersion;
  uint32_t SizeOfCode;
  uint32_t SizeOfInitializedData;
  uint32_t SizeOfUninitializedData;
  uint32_t AddressOfEntryPoint;
  uint32_t BaseOfCode;
  uint32_t BaseOfData;
  uint32_t ImageBase;
  uint32_t SectionAlignment;
  uint32_t FileAlignment;
  uint16_t MajorOperatingSystemVersion;
  uint16_t MinorOperatingSystemVersion;
  uint16_t MajorImageVersion;
  uint16_t MinorImageVersion;
  uint16_t MajorSubsystemVersion;
  uint16_t MinorSubsystemVersion;
  uint32_t Win32VersionValue;
  uint32_t SizeOfImage;
  uint32_t SizeOfHeaders;
  uint32_t CheckSum;
  uint16_t Subsystem;
  uint16_t DllCharacteristics;
  uint32_t SizeOfStackReserve;
  uint32_t SizeOfStackCommit;
  uint32_t SizeOfHeapReserve;
  uint32_t SizeOfHeapCommit;
  uint32_t LoaderFlags;
  uint32_t NumberOfRvaAndSizes;
  ImageDataDirectory DataDirectory[16];
};
static_assert(sizeof(OptionalHeader32) == 224);

struct NtHeaders32 {
  uint32_t Signature;
  ImageFileHeader FileHeader;
  OptionalHeader32 OptionalHeader;
};

struct SectionHeader {
  char Name[8];
  uint32_t VirtualSize;
  uint32_t VirtualAddress;
  uint32_t SizeOfRawData;
  uint32_t PointerToRawData;
  uint32_t PointerToRelocations;
  uint32_t PointerToLinenumbers;
  uint16_t NumberOfRelocations;
  uint16_t NumberOfLinenumbers;
  uint32_t Characteristics;
};
static_assert(sizeof(SectionHeader) == 40);

struct BaseRelocationBlock {
  uint32_t VirtualAddress;
  uint32_t SizeOfBlock;  // including this header and its 16-bit entries
};

struct ImportDescriptor {
  uint32_t OriginalFirstThunk;  // names (lookup table); 0 in some old linkers
  uint32_t TimeDateStamp;
  uint32_t ForwarderChain;
  uint32_t Name;
  uint32_t FirstThunk;          // addresses (written by the loader)
};
static_assert(sizeof(ImportDescriptor) == 20);

struct ExportDirectory {
  uint32_t Characteristics;
  uint32_t TimeDateStamp;
  uint16_t MajorVersion;
  uint16_t MinorVersion;
  uint32_t Name;
  uint32_t Base;
  uint32_t NumberOfFunctions;
  uint32_t NumberOfNames;
  uint32_t AddressOfFunctions;
  uint32_t AddressOfNames;
  uint32_t AddressOfNameOrdinals;
};
static_assert(sizeof(ExportDirectory) == 40);

}  // namespace win32::pe
