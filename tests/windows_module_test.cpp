// What only the Windows build has, read from the DLL as the loader mapped it.

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <vazuvuriz_rix/rix_tester.hpp>

#include "test_support.hpp"

namespace {

// The DLL as the loader mapped it, so every RVA below is an offset from its base. Creating a
// tester keeps the import, and so the DLL, in this program.
HMODULE tester_module() {
  quiet_tester(VAZUVURIZ_RIX_OPTIONS{});
  return GetModuleHandleA(RIX_TESTER_DLL_NAME);
}

template <typename T>
const T* at_rva(HMODULE module, DWORD rva) {
  return reinterpret_cast<const T*>(reinterpret_cast<const BYTE*>(module) + rva);
}

const IMAGE_DATA_DIRECTORY& data_directory(HMODULE module, int entry) {
  const auto* dos = at_rva<IMAGE_DOS_HEADER>(module, 0);
  const auto* nt = at_rva<IMAGE_NT_HEADERS64>(module, static_cast<DWORD>(dos->e_lfanew));
  return nt->OptionalHeader.DataDirectory[entry];
}

std::set<std::string> exported_names(HMODULE module) {
  const auto* exports = at_rva<IMAGE_EXPORT_DIRECTORY>(
      module, data_directory(module, IMAGE_DIRECTORY_ENTRY_EXPORT).VirtualAddress);
  const auto* names = at_rva<DWORD>(module, exports->AddressOfNames);
  std::set<std::string> result;
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
    result.insert(at_rva<char>(module, names[i]));
  }
  return result;
}

std::vector<std::string> imported_names(HMODULE module, const char* dll_name) {
  std::vector<std::string> result;
  for (const auto* import = at_rva<IMAGE_IMPORT_DESCRIPTOR>(
           module, data_directory(module, IMAGE_DIRECTORY_ENTRY_IMPORT).VirtualAddress);
       import->Name != 0; ++import) {
    if (_stricmp(at_rva<char>(module, import->Name), dll_name) != 0) {
      continue;
    }
    // The lookup table keeps the names; the address table was overwritten at load.
    for (const auto* thunk = at_rva<IMAGE_THUNK_DATA64>(module, import->OriginalFirstThunk);
         thunk->u1.AddressOfData != 0; ++thunk) {
      if (!IMAGE_SNAP_BY_ORDINAL64(thunk->u1.Ordinal)) {
        // CHAR in the Windows SDK's header, BYTE in others'.
        result.emplace_back(reinterpret_cast<const char*>(
            at_rva<IMAGE_IMPORT_BY_NAME>(module, static_cast<DWORD>(thunk->u1.AddressOfData))
                ->Name));
      }
    }
  }
  return result;
}

TEST(WindowsModule, CarriesALongPathAwareManifestAsResourceTwo) {
  const HMODULE module = tester_module();
  ASSERT_NE(module, nullptr);
  const HRSRC resource = FindResourceA(module, ISOLATIONAWARE_MANIFEST_RESOURCE_ID, RT_MANIFEST);
  ASSERT_NE(resource, nullptr);
  const auto* text = static_cast<const char*>(LockResource(LoadResource(module, resource)));
  const std::string manifest(text, SizeofResource(module, resource));
  EXPECT_NE(manifest.find("<longPathAware "
                          "xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
                          "true</longPathAware>"),
            std::string::npos)
      << manifest;
}

// MinGW's runtime falls back to a stub that does nothing when it finds no C-linkage DllMain;
// only the library's own entry point calls this.
TEST(WindowsModule, OwnEntryPointTurnsOffThreadNotifications) {
  const HMODULE module = tester_module();
  ASSERT_NE(module, nullptr);
  const std::vector<std::string> kernel_imports = imported_names(module, "KERNEL32.dll");
  EXPECT_NE(std::find(kernel_imports.begin(), kernel_imports.end(), "DisableThreadLibraryCalls"),
            kernel_imports.end());
}

TEST(WindowsModule, ExportsExactlyTheExportList) {
  const std::set<std::string> expected = {
#include "expected_exports.inc"
  };
  const HMODULE module = tester_module();
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(exported_names(module), expected);
}

}  // namespace
