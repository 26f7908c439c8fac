// Functions of system libraries loaded on their first use.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/SystemLibrary.h"

namespace {

TEST(SystemLibrary, OnDemandLoadsTheLibraryFromTheSystemFolderAndFindsTheFunction) {
  using CloseEnum = decltype(&::WNetCloseEnum);
  CloseEnum found = loom::OnDemand<CloseEnum>(loom::kNetworkLibrary, "WNetCloseEnum");
  HMODULE loaded = ::GetModuleHandleW(loom::kNetworkLibrary);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(reinterpret_cast<void*>(found), reinterpret_cast<void*>(::GetProcAddress(loaded, "WNetCloseEnum")));
  EXPECT_EQ(loom::OnDemandFunction(loom::kShellLibrary, "NoSuchFunction"), nullptr);
  EXPECT_EQ(loom::OnDemandFunction(L"no-such-library.dll", "WNetCloseEnum"), nullptr);
}

}  // namespace
