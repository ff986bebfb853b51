// Vorelrun against a hostile machine: a wallpaper file that cannot be replaced, pictures that
// vanish or lie, plug-ins and a viewer that misbehave, a settings key it may not read. Every
// case must leave the previous wallpaper file byte for byte, the stored settings as they
// were and the program ending normally (after the user has answered any error it reports).
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, whose types it uses.
#include <aclapi.h>

#include <cstdlib>

#include "engine/bmp_file.h"
#include "engine/settings_store.h"
#include "platform/strings.h"
#include "platform/unique_handle.h"
#include "platform/win32_registry.h"
#include "tests/fixtures/test_picture_format.h"
#include "tests/fixtures/program_pictures.h"
#include "tests/fixtures/wine_test_support.h"

namespace vorel {
namespace {

using testing::SeededPicture;

struct AnsweredRun {
  bool finished = false;
  DWORD exitCode = 0;
  std::vector<std::string> errors;  // texts of the message boxes the program showed
};

struct WindowsOf {
  DWORD pid;
  std::vector<HWND> boxes;
  std::vector<HWND> others;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM param) {
  auto* found = reinterpret_cast<WindowsOf*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != found->pid || !IsWindowVisible(hwnd)) return TRUE;
  wchar_t cls[32] = {};
  GetClassNameW(hwnd, cls, 32);
  (std::wstring_view(cls) == L"#32770" ? found->boxes : found->others).push_back(hwnd);
  return TRUE;
}

// Runs the program as a user at the desk would: every message box it shows is read and
// answered with OK, and a window left open after an error report is closed.
AnsweredRun RunAnswering(const std::string& commandLine, DWORD timeoutMs = 90000) {
  AnsweredRun run;
  std::wstring line = ToWide(commandLine);
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return run;
  const UniqueKernelHandle process(pi.hProcess);
  const UniqueKernelHandle thread(pi.hThread);
  const DWORD start = GetTickCount();
  while (WaitForSingleObject(pi.hProcess, 200) == WAIT_TIMEOUT) {
    if (GetTickCount() - start > timeoutMs) {
      TerminateProcess(pi.hProcess, 99);
      WaitForSingleObject(pi.hProcess, 5000);
      return run;
    }
    WindowsOf found{pi.dwProcessId, {}, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&found));
    for (HWND box : found.boxes) {
      wchar_t text[512] = {};
      GetDlgItemTextW(box, 0xFFFF, text, 512);
      run.errors.push_back(ToUtf8(text));
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    if (found.boxes.empty() && !run.errors.empty()) {
      for (HWND w : found.others) PostMessageW(w, WM_CLOSE, 0, 0);
    }
  }
  run.finished = true;
  GetExitCodeProcess(pi.hProcess, &run.exitCode);
  return run;
}

std::string PluginFolder(const std::string& name) { return testing::ExeFolder() + "..\\fixtures\\plugins\\" + name; }

class VorelrunFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::DeleteUserKey(kSettingsKeyPath);
    testing::SetDesktopValue("Wallpaper", "C:\\earlier.bmp");
    settings_ = Settings::VorelrunDefaults();
    settings_.tile = false;
    settings_.vorelrun = false;
    settings_.calender = false;
    settings_.wallFile = folder_.File("WallPaper.bmp");
    settings_.current = {"C:\\earlier.bmp", kStandard, kStandard, kStandard};
    picture_ = pictureFolder_.File("絵.bmp");
    ASSERT_TRUE(testing::WriteFileBytes(picture_, EncodeBmp24(SeededPicture(320, 200, 5))));
    settings_.folders = {FolderEntry{.path = pictureFolder_.Path()}};
  }
  void TearDown() override {
    testing::EndFakeGvs();
    testing::UseFakeGvOptions("");
    testing::DeleteUserKey(kSettingsKeyPath);
  }

  void Store() {
    Win32Registry registry;
    ASSERT_TRUE(SaveSettings(settings_, registry));
    ASSERT_TRUE(testing::WriteFileBytes(settings_.wallFile, before_));
    stored_ = Loaded();
  }
  Settings Loaded() {
    Win32Registry registry;
    return LoadSettings(ProgramKind::kVorelrun, registry, {"C:\\", 1024, 768});
  }
  AnsweredRun Run(const std::string& arguments = "") {
    const std::string exe = testing::ExeFolder() + "..\\..\\Vorelrun.exe";
    return RunAnswering("\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments));
  }
  // The promises every case keeps.
  void ExpectNothingLost(const AnsweredRun& run, const std::string& what) {
    EXPECT_TRUE(run.finished) << what;
    EXPECT_EQ(run.exitCode, 0u) << what;
    EXPECT_TRUE(testing::ReadFileBytes(settings_.wallFile) == before_) << what;
    EXPECT_EQ(Loaded(), stored_) << what;
    EXPECT_EQ(testing::DesktopValue("Wallpaper"), "C:\\earlier.bmp") << what;
  }

  testing::TempFolder folder_;
  testing::TempFolder pictureFolder_;
  Settings settings_;
  Settings stored_;
  std::string picture_;
  const std::string before_ = EncodeBmp24(SeededPicture(64, 48, 3));
};

TEST_F(VorelrunFaults, WallpaperFileThatCannotBeReplacedIsReportedAndKept) {
  Store();
  {
    SCOPED_TRACE("locked by another process");
    AnsweredRun run;
    {
      const UniqueFile lock(CreateFileW(ToWide(settings_.wallFile).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
      ASSERT_TRUE(lock);
      run = Run();
    }
    EXPECT_FALSE(run.errors.empty()) << "a failed write must not pass for a change";
    ExpectNothingLost(run, "locked");
  }
  {
    SCOPED_TRACE("read-only");
    ASSERT_TRUE(SetFileAttributesW(ToWide(settings_.wallFile).c_str(), FILE_ATTRIBUTE_READONLY));
    const AnsweredRun run = Run();
    EXPECT_FALSE(run.errors.empty());
    ExpectNothingLost(run, "read-only");
    SetFileAttributesW(ToWide(settings_.wallFile).c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

// The drive is a small size-limited file system prepared by the test's wrapper script
// (tests/oneshot/run_fault_tests.sh); its free space holds the old file but not a new one.
TEST_F(VorelrunFaults, WallpaperFileOnAFullDiskIsKept) {
  const char* drive = std::getenv("VOREL_FULL_DRIVE");
  if (!drive || !*drive) GTEST_SKIP() << "no size-limited drive (VOREL_FULL_DRIVE) was prepared";
  settings_.wallFile = std::string(drive) + "\\WallPaper.bmp";
  Store();
  const AnsweredRun run = Run();
  EXPECT_FALSE(run.errors.empty());
  ExpectNothingLost(run, "full disk");
  // Nothing half-written is left beside it to fill the disk for good.
  WIN32_FIND_DATAW data;
  const UniqueFind find(FindFirstFileW(ToWide(std::string(drive) + "\\*").c_str(), &data));
  int files = 0;
  if (find) {
    do {
      files += (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : 1;
    } while (FindNextFileW(find.Get(), &data));
  }
  EXPECT_EQ(files, 1);
  DeleteFileW(ToWide(settings_.wallFile).c_str());
}

TEST_F(VorelrunFaults, WallpaperFolderThatDisappearedChangesNothing) {
  testing::TempFolder gone;
  settings_.wallFile = gone.File("sub\\WallPaper.bmp");
  Win32Registry registry;
  ASSERT_TRUE(SaveSettings(settings_, registry));
  stored_ = Loaded();
  const AnsweredRun run = Run();
  EXPECT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_FALSE(testing::FileExists(settings_.wallFile));
  EXPECT_EQ(Loaded(), stored_);
  EXPECT_EQ(testing::DesktopValue("Wallpaper"), "C:\\earlier.bmp");
}

// A listed picture is a candidate without being looked at: one deleted after it was
// listed reaches the load as a path that is gone.
TEST_F(VorelrunFaults, PictureGoneBeforeTheLoadLeavesTheOldWallpaper) {
  settings_.folders.clear();
  settings_.pictures = {PictureEntry{.path = picture_}};
  Store();
  ASSERT_TRUE(DeleteFileW(ToWide(picture_).c_str()));
  ExpectNothingLost(Run(), "picture gone");
}

TEST_F(VorelrunFaults, HostilePlugInsNeitherCrashNorChangeAnything) {
  settings_.susiePath = PluginFolder("malformed");
  Store();
  const testing::TestPicture source = testing::MakeTestPicture(6, 5, 2);
  // Faults inside the plug-in, and DIBs whose sizes lie.
  for (const char kind : {'V', 'Z', 'R', 'S', 'N', 'G', 'A', 'P', 'B', 'H'}) {
    const std::string path = folder_.File(std::string(1, kind) + ".vtp");
    ASSERT_TRUE(testing::WriteFileBytes(path, testing::EncodeTestPicture(source) + kind));
    ExpectNothingLost(Run("\"" + path + "\""), std::string("malformed ") + kind);
  }
}

TEST_F(VorelrunFaults, PlugInFaultingInItsInfoLeavesTheBmpChangeWorking) {
  settings_.susiePath = PluginFolder("crash_info");
  Store();
  const AnsweredRun run = Run();
  EXPECT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_TRUE(run.errors.empty());
  Win32Registry registry;
  EXPECT_EQ(registry.Open(kSettingsKeyPath, true)->ReadText("OldFile").text, picture_);
  const Picture installed = testing::ReadBmpFile(settings_.wallFile);
  EXPECT_EQ(installed.width, 1024);
  EXPECT_EQ(installed.height, 768);
}

TEST_F(VorelrunFaults, ViewerThatNeverAnswersOrDiesChangesNothing) {
  const std::string path = folder_.File("秋.pi");
  ASSERT_TRUE(testing::WriteFileBytes(path, testing::EncodeTestPicture(testing::MakeTestPicture(8, 6, 1))));
  for (const char* option : {"--no-dde --lifetime=20000", "--die-on-save", "--save-nothing"}) {
    settings_.gvPath = testing::FakeGvExe();
    testing::UseFakeGvOptions(option);
    Store();
    ExpectNothingLost(Run("\"" + path + "\""), option);
    testing::EndFakeGvs();
  }
}

// Deny every access to the settings key for the current user, as a broken policy or a
// hand-edited permission can.
class KeyLock {
 public:
  explicit KeyLock(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, ToWide(path.substr(1)).c_str(), 0, READ_CONTROL | WRITE_DAC, &key) !=
        ERROR_SUCCESS)
      return;
    key_.Reset(key);
    PSECURITY_DESCRIPTOR original = nullptr;
    PACL dacl = nullptr;
    if (GetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr, &original) ==
        ERROR_SUCCESS) {
      original_.Reset(original);
      originalDacl_ = dacl;
    }
    ACL empty;
    InitializeAcl(&empty, sizeof(empty), ACL_REVISION);
    locked_ = SetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, &empty, nullptr) == ERROR_SUCCESS;
  }
  ~KeyLock() {
    if (locked_)
      SetSecurityInfo(key_.Get(), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, originalDacl_, nullptr);
  }
  KeyLock(const KeyLock&) = delete;
  KeyLock& operator=(const KeyLock&) = delete;
  bool Locked() const { return locked_; }

 private:
  UniqueKey key_;
  UniqueLocal original_;
  PACL originalDacl_ = nullptr;
  bool locked_ = false;
};

TEST_F(VorelrunFaults, UnreadableSettingsKeyChangesNothing) {
  settings_.pictures = {PictureEntry{.path = picture_}};
  Store();
  {
    KeyLock lock(kSettingsKeyPath);
    ASSERT_TRUE(lock.Locked());
    HKEY probe = nullptr;
    const LONG opened =
        RegOpenKeyExW(HKEY_CURRENT_USER, ToWide(std::string(kSettingsKeyPath).substr(1)).c_str(), 0, KEY_READ, &probe);
    if (opened == ERROR_SUCCESS) {
      RegCloseKey(probe);
      GTEST_SKIP() << "this Wine does not enforce registry key permissions";
    }
    // Without its settings Vorelrun has no candidates and its own wallpaper file is elsewhere.
    const AnsweredRun run = Run();
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(testing::ReadFileBytes(settings_.wallFile) == before_);
  }
  EXPECT_EQ(Loaded(), stored_);
}

}  // namespace
}  // namespace vorel
