#include "options.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "input_error.h"

namespace zalmir_sim {

namespace {

long long Integer(const std::string& option, const std::string& text, long long low, long long high) {
  errno = 0;
  char* end = nullptr;
  const long long value = std::strtoll(text.c_str(), &end, 0);
  if (text.empty() || *end || errno || value < low || value > high)
    throw InputError(option + " wants a number from " + std::to_string(low) + " to " + std::to_string(high) +
                     ", not '" + text + "'");
  return value;
}

HostRecordSize RecordSize(const std::string& text) {
  const size_t equals = text.find('=');
  const std::string table = text.substr(0, equals);
  if (equals == std::string::npos || (table != "k9" && table != "k11"))
    throw InputError("--host-record-size wants k9=SIZE or k11=SIZE, not '" + text + "'");
  return {table == "k9" ? 49 : 51,
          static_cast<int16_t>(Integer("--host-record-size", text.substr(equals + 1), -32768, 32767))};
}

}  // namespace

std::string Usage() {
  return R"(usage:
  zalmir-sim [OPTIONS] [WAREHOUSE]   run the host's whole sequence with Zefirnik.dll
                                     over WAREHOUSE (default: the built-in sample,
                                     written to a temporary directory)
  zalmir-sim --write-sample DIR      write the sample warehouse into DIR
  zalmir-sim --generate N [--entries M] [--seed S] DIR
                                     write a warehouse of N goods, M entries each
  zalmir-sim --bench [--goods N] [--entries M] [--seed S]
                                     Ctrl+9 over a generated warehouse, measured

options of a run:
  --dll PATH                the DLL to load (default: the build's Zefirnik.dll)
  --yes, --no               answer the plugin's question (asked on a terminal otherwise)
  --trace                   every host service call, one line each, on stderr
  --break-after K           the user breaks the walk off after K goods records
  --notice-again            the notice window leaves "Pytaj" at 0 (default: 1)
  --context N               the host's context number (default 1)
  --host-version N          the host's interface revision (default 112)
  --host-refuses TEXT       the host rejects the plugin, giving TEXT as its reason
  --host-record-size k9=N   the host's record size of table k9 or k11
  --host-lacks ORDINAL      the host does not export this service

exit status: 0 done, 2 bad input (nothing written), 3 the plugin was refused
(load, attach or start), 1 the plugin damaged a call.
)";
}

Options ParseOptions(int argc, char** argv, const std::filesystem::path& default_dll) {
  Options options;
  options.dll = default_dll;
  std::vector<std::string> positional;
  bool goods_given = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) throw InputError(arg + " wants a value");
      return argv[++i];
    };
    if (arg == "--help" || arg == "-h") options.mode = Mode::Help;
    else if (arg == "--dll") options.dll = value();
    else if (arg == "--yes") options.answer = Answer::Yes;
    else if (arg == "--no") options.answer = Answer::No;
    else if (arg == "--trace") options.trace = true;
    else if (arg == "--break-after") options.break_after = Integer(arg, value(), 0, INT_MAX);
    else if (arg == "--notice-again") options.notice_again = true;
    else if (arg == "--context") options.context_number = static_cast<int16_t>(Integer(arg, value(), -32768, 32767));
    else if (arg == "--host-version") options.host_version = Integer(arg, value(), INT_MIN, INT_MAX);
    else if (arg == "--host-refuses") options.host_refusal = value();
    else if (arg == "--host-record-size") options.host_record_sizes.push_back(RecordSize(value()));
    else if (arg == "--host-lacks") options.host_lacks.push_back(static_cast<uint32_t>(Integer(arg, value(), 1, 65535)));
    else if (arg == "--write-sample") options.mode = Mode::WriteSample;
    else if (arg == "--generate") {
      options.mode = Mode::Generate;
      options.generator.goods = static_cast<uint32_t>(Integer(arg, value(), 1, 32767));
    } else if (arg == "--bench") options.mode = Mode::Bench;
    else if (arg == "--goods") {
      options.generator.goods = static_cast<uint32_t>(Integer(arg, value(), 1, 32767));
      goods_given = true;
    } else if (arg == "--entries") options.generator.entries = static_cast<uint32_t>(Integer(arg, value(), 0, 100000));
    else if (arg == "--seed") options.generator.seed = static_cast<uint32_t>(Integer(arg, value(), 0, UINT_MAX));
    else if (!arg.empty() && arg[0] == '-') throw InputError("unknown option " + arg + " (--help lists them)");
    else positional.push_back(arg);
  }
  if (goods_given && options.mode != Mode::Bench) throw InputError("--goods belongs to --bench");
  const bool needs_directory = options.mode == Mode::WriteSample || options.mode == Mode::Generate;
  if (positional.size() > 1) throw InputError("one warehouse directory at most, not " + std::to_string(positional.size()));
  if (needs_directory) {
    if (positional.empty()) throw InputError("which directory should the warehouse be written to?");
    options.target = positional[0];
  } else if (!positional.empty()) {
    if (options.mode == Mode::Bench) throw InputError("--bench generates its own warehouse");
    options.warehouse = positional[0];
  }
  return options;
}

}  // namespace zalmir_sim
