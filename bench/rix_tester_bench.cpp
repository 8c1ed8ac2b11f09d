// Every operation of the tester beside what a user would write instead, in one binary so that
// both sides run on the same machine in the same state. A baseline is named after the
// operation it is measured against: "<operation>:<baseline>". `bench/compare` pairs them.
//
// Standard output goes to /dev/null, as a host's console output would cost nothing to display;
// the report goes to standard error (and to --benchmark_out).

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <new>
#include <string>
#include <unordered_map>
#include <utility>

#include <benchmark/benchmark.h>

#include <vazuvuriz_rix/rix_tester.hpp>

namespace {

// Every heap allocation in the process, the library's included: the executable's operator new
// takes the place of the standard library's in every module.
std::atomic<std::uint64_t> allocations{0};

}  // namespace

void* operator new(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* block = std::malloc(size == 0 ? 1 : size)) {
    return block;
  }
  throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

namespace {

// Reports the heap allocations made while it lives, per iteration, as the counter "allocs".
class AllocationCount {
 public:
  explicit AllocationCount(benchmark::State& state)
      : state_(state), start_(allocations.load(std::memory_order_relaxed)) {}
  AllocationCount(const AllocationCount&) = delete;
  AllocationCount& operator=(const AllocationCount&) = delete;
  ~AllocationCount() {
    const auto made = allocations.load(std::memory_order_relaxed) - start_;
    state_.counters["allocs"] =
        benchmark::Counter(static_cast<double>(made), benchmark::Counter::kAvgIterations);
  }

 private:
  benchmark::State& state_;
  std::uint64_t start_;
};

// Hides the dynamic type from the optimiser, so that every call is the virtual call a host
// makes through the interface.
TavreneContext& through_interface(TavreneContext& context) {
  TavreneContext* opaque = &context;
  benchmark::DoNotOptimize(opaque);
  return *opaque;
}

struct ValueSize {
  const char* name;
  std::string value;
};
const ValueSize kValueSizes[] = {
    {"short", "value-of-field"},  // fits the small-string buffer
    {"4KiB", std::string(4096, 'v')},
};

VAZUVURIZ_RIX_OPTIONS options_holding(const std::string& value) {
  VAZUVURIZ_RIX_OPTIONS options;
  for (const VAZUVURIZ_RIX_CONFIG_KEY& entry : VAZUVURIZ_RIX_CONFIG_KEYS) {
    options.*entry.field = value;
  }
  options.aux = value;
  return options;
}

// --- get_config -------------------------------------------------------------------------

struct KeyCase {
  const char* name;
  std::string key;
  bool found;
};
const KeyCase kKeyCases[] = {
    {"first_key", RIX_KEY_CFG_ID, true},
    {"last_key", RIX_KEY_PROXY_PASSWORD, true},
    {"near_miss", "rix_proxy_passwor", false},  // one byte short of the last key
    {"unknown_key", "rix_timeout", false},
};

void tester_get_config(benchmark::State& state, const std::string& key, const std::string& value) {
  VAZUVURIZ_RIX_TESTER tester(options_holding(value));
  TavreneContext& context = through_interface(tester);
  AllocationCount count(state);
  for (auto _ : state) {
    std::string result = context.get_config(key);
    benchmark::DoNotOptimize(result);
  }
}

// What a user would write instead: the ten pairs in a hash map, the value copied out.
void hash_map_lookup(benchmark::State& state, const std::string& key, const std::string& value) {
  const VAZUVURIZ_RIX_OPTIONS options = options_holding(value);
  std::unordered_map<std::string, std::string> map;
  for (const VAZUVURIZ_RIX_CONFIG_KEY& entry : VAZUVURIZ_RIX_CONFIG_KEYS) {
    map.emplace(entry.key, options.*entry.field);
  }
  AllocationCount count(state);
  for (auto _ : state) {
    const auto found = map.find(key);
    std::string result = found == map.end() ? std::string() : found->second;
    benchmark::DoNotOptimize(result);
  }
}

// The floor: the copy that any lookup returning a value must make.
void value_copy(benchmark::State& state, const std::string& value) {
  AllocationCount count(state);
  for (auto _ : state) {
    std::string result = value;
    benchmark::DoNotOptimize(result);
  }
}

// --- log --------------------------------------------------------------------------------

struct LevelCase {
  const char* name;
  LogLevel_t level;
  const char* label;
};
const LevelCase kLevels[] = {
    {"debug", LOG_DEBUG, "RIX PLUGIN DEBUG: "},
    {"info", LOG_INFO, "RIX PLUGIN INFO: "},
    {"warning", LOG_WARNING, "RIX PLUGIN WARNING: "},
    {"error", LOG_ERROR, "RIX PLUGIN ERROR: "},
};
const ValueSize kMessages[] = {
    {"short", "session opened"},
    {"1KiB", std::string(1024, 'm')},
};

void tester_log(benchmark::State& state, LogLevel_t level, const std::string& message) {
  VAZUVURIZ_RIX_TESTER tester(VAZUVURIZ_RIX_OPTIONS{});
  TavreneContext& context = through_interface(tester);
  AllocationCount count(state);
  for (auto _ : state) {
    context.log(level, message);
  }
}

// The same finished line, printed bare.
void bare_printf(benchmark::State& state, const std::string& line) {
  AllocationCount count(state);
  for (auto _ : state) {
    std::printf("%s", line.c_str());
  }
}

// --- send_packet ------------------------------------------------------------------------

// The least any implementation can do: clear the out-parameters.
class ClearingContext final : public TavreneContext {
 public:
  void log(LogLevel_t, const std::string&) override {}
  Status_t send_packet(const std::uint32_t*, std::uint64_t, std::uint32_t** response,
                       std::uint64_t& response_length) override {
    *response = nullptr;
    response_length = 0;
    return STATUS_SUCCESS;
  }
  std::string get_config(const std::string&) override { return {}; }
};

void send_packet_to(benchmark::State& state, TavreneContext& target, std::uint64_t length) {
  TavreneContext& context = through_interface(target);
  const std::uint32_t words[] = {0x52495801u, 2, 3, 4};
  std::uint32_t* response = nullptr;
  std::uint64_t response_length = 0;
  AllocationCount count(state);
  for (auto _ : state) {
    Status_t status = context.send_packet(words, length, &response, response_length);
    benchmark::DoNotOptimize(status);
    benchmark::DoNotOptimize(response);
    benchmark::DoNotOptimize(response_length);
  }
}

// --- construction, copy, assignment -----------------------------------------------------

// Makes a T from `source` every iteration: a tester from options, or a copy.
template <typename T, typename Source>
void construct_from(benchmark::State& state, const Source& source) {
  AllocationCount count(state);
  for (auto _ : state) {
    T made(source);
    benchmark::DoNotOptimize(made);
  }
}

void options_copy_and_banner(benchmark::State& state, const VAZUVURIZ_RIX_OPTIONS& options) {
  AllocationCount count(state);
  for (auto _ : state) {
    std::printf("\n");
    std::printf("------------------------------------\n");
    std::printf("Programmer RIX Plugin Tester\n");
    std::printf("------------------------------------\n");
    VAZUVURIZ_RIX_OPTIONS copy(options);
    benchmark::DoNotOptimize(copy);
  }
}

// Assigns `source` to the same target every iteration.
template <typename T>
void assign_from(benchmark::State& state, const T& source, T target) {
  AllocationCount count(state);
  for (auto _ : state) {
    target = source;
    benchmark::DoNotOptimize(target);
  }
}

template <typename Function, typename... Arguments>
void add(const std::string& name, Function function, const Arguments&... arguments) {
  benchmark::RegisterBenchmark(name.c_str(),
                               [=](benchmark::State& state) { function(state, arguments...); });
}

void register_benchmarks() {
  for (const ValueSize& size : kValueSizes) {
    for (const KeyCase& key : kKeyCases) {
      const std::string name = std::string("get_config/") + key.name + "/" + size.name;
      add(name, tester_get_config, key.key, size.value);
      add(name + ":hash_map", hash_map_lookup, key.key, size.value);
      add(name + ":value_copy", value_copy, key.found ? size.value : std::string());
    }
  }
  for (const ValueSize& message : kMessages) {
    for (const LevelCase& level : kLevels) {
      const std::string name = std::string("log/") + level.name + "/" + message.name;
      add(name, tester_log, level.level, message.value);
      add(name + ":printf", bare_printf, level.label + message.value + "\n");
    }
  }
  static VAZUVURIZ_RIX_TESTER tester(VAZUVURIZ_RIX_OPTIONS{});
  static ClearingContext clearing;
  for (const auto& [name, length] : {std::pair{"accepted", 4}, std::pair{"refused", 0}}) {
    const std::string full_name = std::string("send_packet/") + name;
    add(full_name, send_packet_to, std::ref<TavreneContext>(tester), std::uint64_t(length));
    add(full_name + ":clear_only", send_packet_to, std::ref<TavreneContext>(clearing),
        std::uint64_t(length));
  }
  for (const ValueSize& size : kValueSizes) {
    const VAZUVURIZ_RIX_OPTIONS options = options_holding(size.value);
    const VAZUVURIZ_RIX_TESTER source(options);
    const std::string suffix = std::string("/") + size.name;
    add("construct" + suffix, construct_from<VAZUVURIZ_RIX_TESTER, VAZUVURIZ_RIX_OPTIONS>, options);
    add("construct" + suffix + ":options_copy_and_banner", options_copy_and_banner, options);
    add("copy" + suffix, construct_from<VAZUVURIZ_RIX_TESTER, VAZUVURIZ_RIX_TESTER>, source);
    add("copy" + suffix + ":options_copy",
        construct_from<VAZUVURIZ_RIX_OPTIONS, VAZUVURIZ_RIX_OPTIONS>, options);
    add("assign" + suffix, assign_from<VAZUVURIZ_RIX_TESTER>, source,
        VAZUVURIZ_RIX_TESTER(VAZUVURIZ_RIX_OPTIONS{}));
    add("assign" + suffix + ":options_assign", assign_from<VAZUVURIZ_RIX_OPTIONS>, options,
        VAZUVURIZ_RIX_OPTIONS{});
  }
}

}  // namespace

int main(int argc, char** argv) {
  // Before stdio first touches stdout, so that it buffers as it would for any file.
  const int dev_null = open("/dev/null", O_WRONLY);
  if (dev_null < 0 || dup2(dev_null, STDOUT_FILENO) < 0) {
    std::perror("cannot send standard output to /dev/null");
    return 1;
  }
  close(dev_null);

  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  register_benchmarks();
  benchmark::ConsoleReporter report;
  report.SetOutputStream(&std::cerr);
  report.SetErrorStream(&std::cerr);
  benchmark::RunSpecifiedBenchmarks(&report);
  benchmark::Shutdown();
  return 0;
}
