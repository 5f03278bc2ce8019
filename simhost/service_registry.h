// Each service registers itself next to its definition, by ordinal and
// role name, so adding a service touches one file.
#pragma once
#include <cstdint>
#include <map>
#include <type_traits>
#include <string>
#include <vector>

#include "simhost/host.h"

#include "standin/winabi.h"

namespace zalmir {

struct ServiceEntry {
  std::string role;
  void* address;
};

std::map<uint32_t, ServiceEntry>& ServiceRegistry();

struct ServiceRegistration {
  ServiceRegistration(uint32_t ordinal, const char* role, void* address) {
    ServiceRegistry()[ordinal] = {role, address};
  }
};

// Runs one service call: logs it, lets a test's interceptor answer it,
// otherwise runs body(host). The log entry is kept by index, since the body
// may call back into the plugin and log more.
template <typename Body>
uint32_t Serve(const char* role, std::vector<uint32_t> args, Body body) {
  Host& host = Host::Current();
  if (!host.keep_log) {
    ServiceCall call{role, std::move(args), 0};
    const std::optional<uint32_t> answer = host.Intercepted(call);
    call.result = answer ? *answer : static_cast<uint32_t>(body(host));
    if (host.on_call) host.on_call(call);
    return call.result;
  }
  const size_t index = host.log.size();
  host.log.push_back({role, std::move(args), 0});
  const std::optional<uint32_t> answer = host.Intercepted(host.log[index]);
  const uint32_t result = answer ? *answer : static_cast<uint32_t>(body(host));
  host.log[index].result = result;
  if (host.on_call) host.on_call(host.log[index]);
  return result;
}

template <typename T>
uint32_t Word(T value) {
  if constexpr (std::is_pointer_v<T>)
    return reinterpret_cast<uint32_t>(value);
  else
    return static_cast<uint32_t>(value);
}

}  // namespace zalmir

#define ZALMIR_SERVICE(ordinal, role, function) \
  static const ::zalmir::ServiceRegistration registration_##role{ordinal, #role, (void*)&function}
