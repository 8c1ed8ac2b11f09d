// Loads the library at run time, as a host that picks its context at run time would, and
// unloads it again, a hundred times. This program does not link the library: it reaches it
// through dlopen, its exported constructor and the virtual table alone.

#include <dlfcn.h>

#include <new>
#include <string>

#include <gtest/gtest.h>

#include <vazuvuriz_rix/config_keys.hpp>
#include <vazuvuriz_rix/rix_tester.hpp>
#include <vazuvuriz_rix/stdout_capture.hpp>

#include "test_support.hpp"

namespace {

// The complete-object constructor from options. The Itanium C++ ABI passes the by-value
// record as the address of a copy that the caller owns.
using ConstructFromOptions = void (*)(void* self, VAZUVURIZ_RIX_OPTIONS* given);
constexpr char kConstructorSymbol[] = "_ZN20VAZUVURIZ_RIX_TESTERC1E21VAZUVURIZ_RIX_OPTIONS";
constexpr int kCycles = 100;

VAZUVURIZ_RIX_OPTIONS options_for_cycle(int cycle) {
  VAZUVURIZ_RIX_OPTIONS options;
  for (const VAZUVURIZ_RIX_CONFIG_KEY& entry : VAZUVURIZ_RIX_CONFIG_KEYS) {
    options.*entry.field = std::string(entry.key) + " in cycle " + std::to_string(cycle);
  }
  return options;
}

TEST(LoadUnload, EveryCycleAnswersAndLeavesTheLibraryUnloaded) {
  for (int cycle = 0; cycle < kCycles; ++cycle) {
    void* library = dlopen(RIX_TESTER_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    const auto construct =
        reinterpret_cast<ConstructFromOptions>(dlsym(library, kConstructorSymbol));
    ASSERT_NE(construct, nullptr) << dlerror();

    const VAZUVURIZ_RIX_OPTIONS options = options_for_cycle(cycle);
    VAZUVURIZ_RIX_OPTIONS given = options;
    void* storage = ::operator new(sizeof(VAZUVURIZ_RIX_TESTER));
    {
      VAZUVURIZ_STDOUT_CAPTURE banner;
      construct(storage, &given);
    }
    // The interface is the tester's only base, so it sits at the tester's own address.
    TavreneContext* context = std::launder(static_cast<TavreneContext*>(storage));
    {
      SCOPED_TRACE("cycle " + std::to_string(cycle));
      expect_every_key_answers(*context, options);
    }
    delete context;

    ASSERT_EQ(dlclose(library), 0) << dlerror();
    ASSERT_EQ(dlopen(RIX_TESTER_LIBRARY_PATH, RTLD_NOW | RTLD_NOLOAD), nullptr)
        << "still loaded after cycle " << cycle;
  }
}

}  // namespace
