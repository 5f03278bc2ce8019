// Input the simulator refuses before the host starts: one line on stderr,
// exit status 2, and the warehouse exactly as it was.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "sim_runner.h"

namespace zalmir_sim_test {
namespace {

namespace fs = std::filesystem;

std::string Le16(uint16_t value) { return std::string{static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)}; }
std::string Le32(uint32_t value) { return Le16(value & 0xFFFF) + Le16(value >> 16); }

// The headers of a PE image with no sections, for the given machine and
// optional-header magic.
std::string PeHeaders(uint16_t machine, uint16_t magic, uint16_t characteristics = 0x2102) {
  std::string image(0x40, '\0');
  image[0] = 'M';
  image[1] = 'Z';
  image.replace(0x3C, 4, Le32(0x40));
  image += std::string("PE\0\0", 4) + Le16(machine) + Le16(0) + Le32(0) + Le32(0) + Le32(0) + Le16(224) +
           Le16(characteristics);
  std::string optional(224, '\0');
  optional.replace(0, 2, Le16(magic));
  return image + optional;
}

struct Given {
  fs::path dll;        // the DLL to give; empty: the real one
  fs::path warehouse;  // the directory to give
};

struct BadInput {
  const char* name;
  // Prepares the case in a fresh directory holding the sample warehouse.
  std::function<Given(const fs::path& scratch, const fs::path& sample)> prepare;
  const char* says;  // a piece of the one line on stderr
  std::vector<std::string> extra_args = {"--yes"};
};

std::string RealDll() { return ReadFile(DllPath()); }

const BadInput kCases[] = {
    {"MissingDll", [](auto& scratch, auto& sample) { return Given{scratch / "Zefirnik.dll", sample}; }, "no such DLL"},
    {"EmptyDll",
     [](auto& scratch, auto& sample) {
       WriteFile(scratch / "Zefirnik.dll", "");
       return Given{scratch / "Zefirnik.dll", sample};
     },
     "empty file"},
    {"DllCutInHalf",
     [](auto& scratch, auto& sample) {
       const std::string dll = RealDll();
       WriteFile(scratch / "Zefirnik.dll", dll.substr(0, dll.size() / 2));
       return Given{scratch / "Zefirnik.dll", sample};
     },
     "truncated"},
    {"DllCutInItsCode",
     [](auto& scratch, auto& sample) {
       WriteFile(scratch / "Zefirnik.dll", RealDll().substr(0, 0x1000));
       return Given{scratch / "Zefirnik.dll", sample};
     },
     "truncated: section .text"},
    {"DllCutInItsHeaders",
     [](auto& scratch, auto& sample) {
       WriteFile(scratch / "Zefirnik.dll", RealDll().substr(0, 300));
       return Given{scratch / "Zefirnik.dll", sample};
     },
     "truncated"},
    {"SixtyFourBitDll",
     [](auto& scratch, auto& sample) {
       WriteFile(scratch / "Zefirnik.dll", PeHeaders(0x8664, 0x20B));
       return Given{scratch / "Zefirnik.dll", sample};
     },
     "64-bit"},
    {"ProgramNotDll",
     [](auto& scratch, auto& sample) {
       WriteFile(scratch / "Zefirnik.dll", PeHeaders(0x14C, 0x10B, 0x0102));
       return Given{scratch / "Zefirnik.dll", sample};
     },
     "a program, not a DLL"},
    {"LinuxProgram",
     [](auto& scratch, auto& sample) {
       WriteFile(scratch / "Zefirnik.dll", std::string("\x7F" "ELF\x01\x01\x01", 7) + std::string(60, '\0'));
       return Given{scratch / "Zefirnik.dll", sample};
     },
     "no MZ header"},
    {"MzWithoutPe",
     [](auto& scratch, auto& sample) {
       std::string dos = PeHeaders(0x14C, 0x10B);
       dos.replace(0x40, 4, "NE\0\0");
       WriteFile(scratch / "Zefirnik.dll", dos);
       return Given{scratch / "Zefirnik.dll", sample};
     },
     "not a PE file"},
    {"DllWithoutEntryPoints",
     [](auto& scratch, auto& sample) {
       WriteFile(scratch / "Zefirnik.dll", PeHeaders(0x14C, 0x10B));
       return Given{scratch / "Zefirnik.dll", sample};
     },
     "exports nothing"},
    {"GoodsFileNotWholeRecords",
     [](auto&, auto& sample) {
       WriteFile(sample / "goods.k9", ReadFile(sample / "goods.k9") + "x");
       return Given{{}, sample};
     },
     "goods.k9: 16385 bytes is not a whole number of 1024-byte goods records"},
    {"StockCardNotWholeEntries",
     [](auto&, auto& sample) {
       WriteFile(sample / "MMM1-109.KAR", ReadFile(sample / "MMM1-109.KAR").substr(0, 1000));
       return Given{{}, sample};
     },
     "MMM1-109.KAR: 1000 bytes is not a whole number of 435-byte stock-card entries"},
    {"NoGoodsFile",
     [](auto&, auto& sample) {
       fs::remove(sample / "goods.k9");
       return Given{{}, sample};
     },
     "no goods file"},
    {"NameWithoutItsEnd",
     [](auto&, auto& sample) {
       std::string goods = ReadFile(sample / "goods.k9");
       goods.replace(1024, 64, std::string(64, 'A'));
       WriteFile(sample / "goods.k9", goods);
       return Given{{}, sample};
     },
     "goods.k9: record 2: the name is not terminated"},
    {"CardOfTwoItems",
     [](auto&, auto& sample) {
       std::string goods = ReadFile(sample / "goods.k9");
       goods.replace(2 * 1024 + 1022, 2, goods.substr(1022, 2));
       WriteFile(sample / "goods.k9", goods);
       return Given{{}, sample};
     },
     "goods.k9: record 3: card number 101 already belongs to record 1"},
    {"EntryWithAMonth13",
     [](auto&, auto& sample) {
       std::string card = ReadFile(sample / "MMM1-110.KAR");
       card[435 + 137] = 13;
       WriteFile(sample / "MMM1-110.KAR", card);
       return Given{{}, sample};
     },
     "MMM1-110.KAR: entry 2: 01.13.2025 is not a date"},
    {"NoSuchDirectory", [](auto& scratch, auto&) { return Given{{}, scratch / "nowhere"}; }, "no such warehouse directory"},
    {"DirectoryIsAFile",
     [](auto&, auto& sample) { return Given{{}, sample / "goods.k9"}; }, "not a directory"},
    {"NoAnswerWithoutATerminal", [](auto&, auto& sample) { return Given{{}, sample}; }, "give --yes or --no", {}},
    {"UnknownOption", [](auto&, auto& sample) { return Given{{}, sample}; }, "unknown option --jes", {"--jes"}},
};

class BadInputTest : public ::testing::TestWithParam<BadInput> {};

TEST_P(BadInputTest, OneLineStatusTwoNothingWritten) {
  const BadInput& bad = GetParam();
  const TempDir scratch, sample;
  ASSERT_EQ(RunSim({"--write-sample", sample.path().string()}).status, 0);
  const Given given = bad.prepare(scratch.path(), sample.path());
  const Snapshot before = TakeSnapshot(sample.path());

  std::vector<std::string> args = bad.extra_args;
  if (!given.dll.empty()) args.insert(args.end(), {"--dll", given.dll.string()});
  args.push_back(given.warehouse.string());
  const SimRun run = RunSim(args);

  EXPECT_EQ(run.status, 2) << run.out << run.err;
  ASSERT_EQ(run.ErrLines().size(), 1u) << run.err;
  EXPECT_EQ(run.err.rfind("zalmir-sim: ", 0), 0u) << run.err;
  EXPECT_NE(run.err.find(bad.says), std::string::npos) << "wanted: " << bad.says << "\ngot: " << run.err;
  EXPECT_EQ(TakeSnapshot(sample.path()), before);
}

INSTANTIATE_TEST_SUITE_P(Cases, BadInputTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BadInputTest, ANewWarehouseNeverGoesOverAnother) {
  const TempDir sample;
  ASSERT_EQ(RunSim({"--write-sample", sample.path().string()}).status, 0);
  const Snapshot before = TakeSnapshot(sample.path());
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--write-sample", sample.path().string()},
        std::vector<std::string>{"--generate", "5", sample.path().string()}}) {
    const SimRun run = RunSim(args);
    EXPECT_EQ(run.status, 2) << args[0];
    EXPECT_NE(run.err.find("not empty"), std::string::npos) << run.err;
  }
  EXPECT_EQ(TakeSnapshot(sample.path()), before);
}

}  // namespace
}  // namespace zalmir_sim_test
