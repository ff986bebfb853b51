// The programs' first step at start, in a process of its own: the search for DLLs by name
// is changed for the rest of the process's life.
#include "platform/outside_code_win32.h"

#include <gtest/gtest.h>

#include "platform/strings.h"
#include "platform/unique_handle.h"
#include "tests/fixtures/wine_test_support.h"

namespace vorel {
namespace {

TEST(KeepDllsOutOfCurrentFolder, ADllPlantedInTheCurrentFolderIsNoLongerLoadedByName) {
  testing::TempFolder planted;
  ASSERT_TRUE(CopyFileW(ToWide(testing::FixturePath("plugins\\planted\\vtpdep.dll")).c_str(),
                        ToWide(planted.File("vtpdep.dll")).c_str(), FALSE));
  testing::CurrentFolder current(planted.Path());
  {
    const UniqueModule before(LoadLibraryW(L"vtpdep.dll"));
    ASSERT_TRUE(before) << "without the step the planted DLL is within reach";
  }

  KeepDllsOutOfCurrentFolder();

  const UniqueModule after(LoadLibraryW(L"vtpdep.dll"));
  EXPECT_FALSE(after);
  const UniqueModule system(LoadLibraryW(L"comdlg32.dll"));
  EXPECT_TRUE(system) << "the system's DLLs still load by name";
}

}  // namespace
}  // namespace vorel
