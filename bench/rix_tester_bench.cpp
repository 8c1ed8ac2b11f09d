// Every operation of the tester beside what a user would write instead, "<operation>:<baseline>"
// (bench/README.md). Standard output goes to /dev/null, as a host's console output would cost
// nothing to display; the report to standard error. `--iterations=N` runs each exactly N times.

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
#include <type_traits>
#include <unordered_map>
#include <utility>

#include <benchmark/benchmark.h>
#include <gtest/gtest.h>

#include <vazuvuriz_rix/rix_tester.hpp>
#include <vazuvuriz_rix/stdout_capture.hpp>

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
void operator delete(void* block, std::size_t /*size*/) noexcept { std::free(block); }

namespace {

// Runs the timed loop, `call` once per iteration, and reports the heap allocations per call as
// the counter "allocs".
template <typename Call>
void run_loop(benchmark::State& state, Call&& call) {
  const std::uint64_t before = allocations.load(std::memory_order_relaxed);
  for (auto _ : state) {
    call();
  }
  const auto made = allocations.load(std::memory_order_relaxed) - before;
  state.counters["allocs"] =
      benchmark::Counter(static_cast<double>(made), benchmark::Counter::kAvgIterations);
}

// Hides the dynamic type from the optimiser, so that every call is the virtual call a host
// makes through the interface.
TavreneContext& through_interface(TavreneContext& context) {
  TavreneContext* opaque = &context;
  benchmark::DoNotOptimize(opaque);
  return *opaque;
}

struct Sized {
  const char* name;
  std::string text;
};
const Sized kValueSizes[] = {
    {"short", "value-of-field"},  // fits the small-string buffer
    {"4KiB", std::string(4096, 'v')},
};
const Sized kMessages[] = {
    {"16B", "session opened 7"},
    {"1KiB", std::string(1024, 'm')},
};
const Sized kKeys[] = {
    {"first_key", RIX_KEY_CFG_ID},
    {"last_key", RIX_KEY_PROXY_PASSWORD},
    {"near_miss", "rix_proxy_passwor"},  // one byte short of the last key
    {"unknown_key", "rix_timeout"},
};
struct Level {
  LogLevel_t level;
  const char* name;
  const char* label;
};
const Level kLevels[] = {
    {LOG_DEBUG, "debug", "RIX PLUGIN DEBUG: "},
    {LOG_INFO, "info", "RIX PLUGIN INFO: "},
    {LOG_WARNING, "warning", "RIX PLUGIN WARNING: "},
    {LOG_ERROR, "error", "RIX PLUGIN ERROR: "},
};

VAZUVURIZ_RIX_OPTIONS options_holding(const std::string& value) {
  VAZUVURIZ_RIX_OPTIONS options;
  for (const VAZUVURIZ_RIX_CONFIG_KEY& entry : VAZUVURIZ_RIX_CONFIG_KEYS) {
    options.*entry.field = value;
  }
  options.aux = value;
  return options;
}

VAZUVURIZ_RIX_TESTER tester_holding(const std::string& value) {
  return VAZUVURIZ_RIX_TESTER(options_holding(value));
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

// Every benchmark's iteration count when set by --iterations=N; the library chooses when 0.
benchmark::IterationCount fixed_iterations = 0;

// Registers `name`, whose body makes what it needs from `setup()` and then calls `call` on it
// in the timed loop. A call that takes a `TavreneContext&` is given the context made, reached
// through the interface as a host reaches it.
template <typename Setup, typename Call>
void add(const std::string& name, Setup setup, Call call) {
  benchmark::internal::Benchmark* registered =
      benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) {
        auto made = setup();
        if constexpr (std::is_invocable_v<Call, TavreneContext&>) {
          TavreneContext& context = through_interface(made);
          run_loop(state, [&] { call(context); });
        } else {
          run_loop(state, [&] { call(made); });
        }
      });
  if (fixed_iterations > 0) {
    registered->Iterations(fixed_iterations);
  }
}

template <typename Context>
void add_get_config(const std::string& name, const std::string& key, const std::string& value) {
  add(
      name, [value] { return Context(options_holding(value)); },
      [key](TavreneContext& context) {
        std::string result = context.get_config(key);
        benchmark::DoNotOptimize(result);
      });
}

template <typename Context>
void add_send_packet(const std::string& name, std::uint64_t length) {
  add(
      name, [] { return Context(VAZUVURIZ_RIX_OPTIONS{}); },
      [length](TavreneContext& context) {
        // Static, so that the loop spends nothing on them.
        static const std::uint32_t words[] = {0x52495801u, 2, 3, 4};
        static std::uint32_t* response = nullptr;
        static std::uint64_t response_length = 0;
        Status_t status = context.send_packet(words, length, &response, response_length);
        benchmark::DoNotOptimize(status);
        benchmark::DoNotOptimize(response);
        benchmark::DoNotOptimize(response_length);
      });
}

void print_banner() {
  std::printf("\n");
  std::printf("------------------------------------\n");
  std::printf("Programmer RIX Plugin Tester\n");
  std::printf("------------------------------------\n");
}

// construct<suffix>, and the same record copied beside the banner printed, as a user would.
void add_construct(const std::string& suffix,
                   const std::function<VAZUVURIZ_RIX_OPTIONS()>& options) {
  add("construct" + suffix, options, [](const VAZUVURIZ_RIX_OPTIONS& source) {
    VAZUVURIZ_RIX_TESTER made(source);
    benchmark::DoNotOptimize(made);
  });
  add("construct" + suffix + ":options_copy_and_banner", options,
      [](const VAZUVURIZ_RIX_OPTIONS& source) {
        print_banner();
        VAZUVURIZ_RIX_OPTIONS copy(source);
        benchmark::DoNotOptimize(copy);
      });
}

// A capture of what `write` prints, and GoogleTest's, which a user would take instead.
void add_capture(const std::string& name, const std::function<void(TavreneContext&)>& write) {
  add(
      "capture/" + name, [] { return tester_holding(""); },
      [write](TavreneContext& context) {
        std::string text = captured_stdout([&] { write(context); });
        benchmark::DoNotOptimize(text);
      });
  add(
      "capture/" + name + ":gtest", [] { return tester_holding(""); },
      [write](TavreneContext& context) {
        testing::internal::CaptureStdout();
        write(context);
        std::string text = testing::internal::GetCapturedStdout();
        benchmark::DoNotOptimize(text);
      });
}

void register_benchmarks() {
  add_capture("log_line", [](TavreneContext& context) { context.log(LOG_INFO, "ready"); });
  add_capture("1MiB", [](TavreneContext& /*context*/) {
    static const std::string megabyte(1 << 20, 'm');
    std::fwrite(megabyte.data(), 1, megabyte.size(), stdout);
  });
  for (const Sized& size : kValueSizes) {
    for (const Sized& key : kKeys) {
      const std::string name = std::string("get_config/") + key.name + "/" + size.name;
      add_get_config<VAZUVURIZ_RIX_TESTER>(name, key.text, size.text);
      add_get_config<HashMapContext>(name + ":hash_map", key.text, size.text);
    }
  }
  for (const Sized& message : kMessages) {
    for (const Level& level : kLevels) {
      const std::string name = std::string("log/") + level.name + "/" + message.name;
      add(
          name, [] { return tester_holding(""); },
          [level = level.level, text = message.text](TavreneContext& context) {
            context.log(level, text);
          });
      // The same finished line, printed as a user would print it.
      const std::string line = level.label + message.text + "\n";
      add(
          name + ":printf", [] { return 0; },
          [line](int /*nothing*/) { std::printf("%s", line.c_str()); });
    }
  }
  for (const auto& [name, length] : {std::pair{"accepted", 4}, std::pair{"refused", 0}}) {
    const std::string full_name = std::string("send_packet/") + name;
    add_send_packet<VAZUVURIZ_RIX_TESTER>(full_name, static_cast<std::uint64_t>(length));
    add_send_packet<HashMapContext>(full_name + ":clear_only", static_cast<std::uint64_t>(length));
  }
  // Two long values among short ones, as certificates and keys held inline are.
  add_construct("/mixed", [] {
    VAZUVURIZ_RIX_OPTIONS options = options_holding("value-of-field");
    options.tls_prog_cert = std::string(4096, 'c');
    options.tls_prog_key = std::string(4096, 'k');
    return options;
  });
  for (const Sized& size : kValueSizes) {
    const std::string suffix = std::string("/") + size.name;
    const auto options = [value = size.text] { return options_holding(value); };
    const auto tester = [value = size.text] { return tester_holding(value); };
    add_construct(suffix, options);
    add("copy" + suffix, tester, [](const VAZUVURIZ_RIX_TESTER& source) {
      VAZUVURIZ_RIX_TESTER copy(source);
      benchmark::DoNotOptimize(copy);
    });
    add("copy" + suffix + ":options_copy", options, [](const VAZUVURIZ_RIX_OPTIONS& source) {
      VAZUVURIZ_RIX_OPTIONS copy(source);
      benchmark::DoNotOptimize(copy);
    });
    // Assigns the same source to the same target every iteration.
    add(
        "assign" + suffix, [tester] { return std::pair(tester(), tester_holding("")); },
        [](std::pair<VAZUVURIZ_RIX_TESTER, VAZUVURIZ_RIX_TESTER>& testers) {
          testers.second = testers.first;
          benchmark::DoNotOptimize(testers.second);
        });
    add(
        "assign" + suffix + ":options_assign",
        [options] { return std::pair(options(), VAZUVURIZ_RIX_OPTIONS{}); },
        [](std::pair<VAZUVURIZ_RIX_OPTIONS, VAZUVURIZ_RIX_OPTIONS>& records) {
          records.second = records.first;
          benchmark::DoNotOptimize(records.second);
        });
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
  // stdio allocates stdout's buffer at the first write. Made now, it lies below every block that
  // a benchmark allocates, for the tester and its baseline alike, as a host's would.
  std::printf("\n");

  // --iterations=N, first if at all, is this program's own: the benchmark library rejects it.
  const std::string flag = "--iterations=";
  if (argc > 1 && std::string(argv[1]).rfind(flag, 0) == 0) {
    fixed_iterations = std::atoll(argv[1] + flag.size());
    if (fixed_iterations <= 0) {
      std::fprintf(stderr, "%s: want a positive count\n", argv[1]);
      return 1;
    }
    argv[1] = argv[0];
    --argc;
    ++argv;
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
