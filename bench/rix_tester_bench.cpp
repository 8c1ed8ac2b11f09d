// Every operation of the tester beside what a user would write instead, in one binary so that
// both sides run on the same machine in the same state. A baseline is named after the
// operation it is measured against: "<operation>:<baseline>". `bench/compare` pairs them.
//
// Standard output goes to /dev/null, as a host's console output would cost nothing to display;
// the report goes to standard error (and to --benchmark_out).
//
// Under callgrind, each benchmark's timed loop is also counted in instructions: the counts are
// zeroed when the loop starts and dumped, under the benchmark's name, when it ends.
// `--iterations=N` runs every benchmark exactly N times, so that such a run is short and the
// same every time.

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

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_ZERO_STATS
#define CALLGRIND_DUMP_STATS_AT(name)
#endif

#include <vazuvuriz_rix/rix_tester.hpp>

namespace {

// Every heap allocation in the process, the library's included: the executable's operator new
// takes the place of the standard library's in every module.
std::atomic<std::uint64_t> allocations{0};

// Blocks freed with their size, kept for the next request of the same size. A loop that
// allocates and frees then costs the same on both sides of a comparison, as glibc's per-thread
// cache makes it for blocks up to 1 KiB; for larger blocks glibc's cost depends on the layout
// that earlier benchmarks left (a 4 KiB copy took from 100 to 360 instructions in malloc), which
// would decide a ratio instead of the code under test.
class RecycledBlocks {
 public:
  void* take(std::size_t size) {
    for (Shelf& shelf : shelves_) {
      if (shelf.size == size && shelf.count > 0) {
        return shelf.blocks[--shelf.count];
      }
    }
    return nullptr;
  }

  // Returns false when the block is not kept, and must be released.
  bool keep(void* block, std::size_t size) {
    Shelf* unused = nullptr;
    for (Shelf& shelf : shelves_) {
      if (shelf.size == size) {
        if (shelf.count == kBlocksPerShelf) {
          return false;
        }
        shelf.blocks[shelf.count++] = block;
        return true;
      }
      if (shelf.count == 0 && unused == nullptr) {
        unused = &shelf;
      }
    }
    if (unused == nullptr) {
      return false;
    }
    unused->size = size;
    unused->blocks[0] = block;
    unused->count = 1;
    return true;
  }

 private:
  static constexpr int kBlocksPerShelf = 16;
  struct Shelf {
    std::size_t size = 0;
    int count = 0;
    void* blocks[kBlocksPerShelf] = {};
  };
  Shelf shelves_[8];
};
thread_local RecycledBlocks recycled_blocks;

}  // namespace

void* operator new(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* block = recycled_blocks.take(size)) {
    return block;
  }
  if (void* block = std::malloc(size == 0 ? 1 : size)) {
    return block;
  }
  throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t size) noexcept {
  if (block != nullptr && !recycled_blocks.keep(block, size)) {
    std::free(block);
  }
}

namespace {

// The name of the benchmark that runs now, for callgrind's dumps.
std::string running_benchmark;

// Measures the timed loop, which it must enclose tightly: reports the heap allocations made
// while it lives, per iteration, as the counter "allocs", and under callgrind dumps the
// instructions executed meanwhile under the benchmark's name.
class Measurement {
 public:
  explicit Measurement(benchmark::State& state)
      : state_(state), start_(allocations.load(std::memory_order_relaxed)) {
    CALLGRIND_ZERO_STATS;
  }
  Measurement(const Measurement&) = delete;
  Measurement& operator=(const Measurement&) = delete;
  ~Measurement() {
    CALLGRIND_DUMP_STATS_AT(running_benchmark.c_str());
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

// What a user would write instead of the tester: a context of their own, reached through the
// interface as the tester is. It keeps the ten pairs in a hash map and copies the value out, and
// does the least any context can do with a packet: clear the out-parameters.
class HashMapContext final : public TavreneContext {
 public:
  explicit HashMapContext(const VAZUVURIZ_RIX_OPTIONS& options) {
    for (const VAZUVURIZ_RIX_CONFIG_KEY& entry : VAZUVURIZ_RIX_CONFIG_KEYS) {
      values_.emplace(entry.key, options.*entry.field);
    }
  }
  void log(LogLevel_t /*level*/, const std::string& /*message*/) override {}
  Status_t send_packet(const std::uint32_t* /*request*/, std::uint64_t /*request_length*/,
                       std::uint32_t** response, std::uint64_t& response_length) override {
    *response = nullptr;
    response_length = 0;
    return STATUS_SUCCESS;
  }
  std::string get_config(const std::string& key) override {
    const auto found = values_.find(key);
    return found == values_.end() ? std::string() : found->second;
  }

 private:
  std::unordered_map<std::string, std::string> values_;
};

// --- get_config -------------------------------------------------------------------------

struct KeyCase {
  const char* name;
  std::string key;
};
const KeyCase kKeyCases[] = {
    {"first_key", RIX_KEY_CFG_ID},
    {"last_key", RIX_KEY_PROXY_PASSWORD},
    {"near_miss", "rix_proxy_passwor"},  // one byte short of the last key
    {"unknown_key", "rix_timeout"},
};

// Looks `key` up, every iteration, in a `Context` made from options holding `value` in every
// field.
template <typename Context>
void get_config_from(benchmark::State& state, const std::string& key, const std::string& value) {
  Context made(options_holding(value));
  TavreneContext& context = through_interface(made);
  Measurement measurement(state);
  for (auto _ : state) {
    std::string result = context.get_config(key);
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
    {"16B", "session opened 7"},
    {"1KiB", std::string(1024, 'm')},
};

void tester_log(benchmark::State& state, LogLevel_t level, const std::string& message) {
  VAZUVURIZ_RIX_TESTER tester(VAZUVURIZ_RIX_OPTIONS{});
  TavreneContext& context = through_interface(tester);
  Measurement measurement(state);
  for (auto _ : state) {
    context.log(level, message);
  }
}

// The same finished line, printed bare.
void bare_printf(benchmark::State& state, const std::string& line) {
  Measurement measurement(state);
  for (auto _ : state) {
    std::printf("%s", line.c_str());
  }
}

// --- send_packet ------------------------------------------------------------------------

void send_packet_to(benchmark::State& state, TavreneContext& target, std::uint64_t length) {
  TavreneContext& context = through_interface(target);
  const std::uint32_t words[] = {0x52495801u, 2, 3, 4};
  std::uint32_t* response = nullptr;
  std::uint64_t response_length = 0;
  Measurement measurement(state);
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
  Measurement measurement(state);
  for (auto _ : state) {
    T made(source);
    benchmark::DoNotOptimize(made);
  }
}

void options_copy_and_banner(benchmark::State& state, const VAZUVURIZ_RIX_OPTIONS& options) {
  Measurement measurement(state);
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
  Measurement measurement(state);
  for (auto _ : state) {
    target = source;
    benchmark::DoNotOptimize(target);
  }
}

// Every benchmark's iteration count when set by --iterations=N; the library chooses when 0.
benchmark::IterationCount fixed_iterations = 0;

template <typename Function, typename... Arguments>
void add(const std::string& name, Function function, const Arguments&... arguments) {
  benchmark::internal::Benchmark* registered =
      benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) {
        running_benchmark = name;
        function(state, arguments...);
      });
  if (fixed_iterations > 0) {
    registered->Iterations(fixed_iterations);
  }
}

// Takes --iterations=N out of the arguments, which the benchmark library would reject.
bool take_iterations_flag(int& argc, char** argv) {
  const std::string flag = "--iterations=";
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument.rfind(flag, 0) != 0) {
      argv[kept++] = argv[i];
      continue;
    }
    char* end = nullptr;
    fixed_iterations = std::strtoll(argument.c_str() + flag.size(), &end, 10);
    if (*end != '\0' || fixed_iterations <= 0) {
      std::fprintf(stderr, "%s: want a positive count\n", argv[i]);
      return false;
    }
  }
  argc = kept;
  argv[argc] = nullptr;
  return true;
}

void register_benchmarks() {
  for (const ValueSize& size : kValueSizes) {
    for (const KeyCase& key : kKeyCases) {
      const std::string name = std::string("get_config/") + key.name + "/" + size.name;
      add(name, get_config_from<VAZUVURIZ_RIX_TESTER>, key.key, size.value);
      add(name + ":hash_map", get_config_from<HashMapContext>, key.key, size.value);
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
  static HashMapContext users_own(VAZUVURIZ_RIX_OPTIONS{});
  for (const auto& [name, length] : {std::pair{"accepted", 4}, std::pair{"refused", 0}}) {
    const std::string full_name = std::string("send_packet/") + name;
    add(full_name, send_packet_to, std::ref<TavreneContext>(tester), std::uint64_t(length));
    add(full_name + ":clear_only", send_packet_to, std::ref<TavreneContext>(users_own),
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

  if (!take_iterations_flag(argc, argv)) {
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  register_benchmarks();
  benchmark::ConsoleReporter report(isatty(STDERR_FILENO) != 0
                                        ? benchmark::ConsoleReporter::OO_ColorTabular
                                        : benchmark::ConsoleReporter::OO_Tabular);
  report.SetOutputStream(&std::cerr);
  report.SetErrorStream(&std::cerr);
  benchmark::RunSpecifiedBenchmarks(&report);
  benchmark::Shutdown();
  return 0;
}
