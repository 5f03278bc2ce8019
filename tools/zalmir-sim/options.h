// The command line of zalmir-sim.
#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "generator.h"

namespace zalmir_sim {

enum class Mode { Run, WriteSample, Generate, Bench, Help };
enum class Answer { Ask, Yes, No };

struct HostRecordSize {
  int32_t table;  // 49 (k9) or 51 (k11)
  int16_t size;
};

struct Options {
  Mode mode = Mode::Run;
  std::filesystem::path dll;
  std::optional<std::filesystem::path> warehouse;  // Run: none = the sample
  std::filesystem::path target;                    // WriteSample, Generate
  Answer answer = Answer::Ask;
  bool trace = false;
  std::optional<uint32_t> break_after;  // goods records visited before the user breaks off
  bool notice_again = false;            // the notice window leaves its flag at 0
  int16_t context_number = 1;
  GeneratorSettings generator;
  // What the simulated host is made to differ in.
  std::optional<int32_t> host_version;
  std::optional<std::string> host_refusal;
  std::vector<HostRecordSize> host_record_sizes;
  std::vector<uint32_t> host_lacks;
};

// Throws InputError on a bad command line.
Options ParseOptions(int argc, char** argv, const std::filesystem::path& default_dll);
std::string Usage();

}  // namespace zalmir_sim
