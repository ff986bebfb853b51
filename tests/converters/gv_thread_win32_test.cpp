// The GV conversion thread against the stand-in viewer Gv.exe (tests/fixtures/fake_gv),
// which the thread starts itself through GvPath; the viewer's options reach it through the
// environment.
#include "converters/gv_thread_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <sstream>
#include <vector>

#include "converters/dib.h"
#include "platform/strings.h"
#include "platform/unique_handle.h"
#include "tests/fixtures/test_picture_format.h"
#include "tests/fixtures/wine_test_support.h"

namespace vorel {
namespace {

using testing::EncodeTestPicture;
using testing::EndFakeGvs;
using testing::FakeGvExe;
using testing::FileExists;
using testing::MakeTestPicture;
using testing::ReadFileBytes;
using testing::TempFolder;
using testing::TestPicture;
using testing::WriteFileBytes;

// Short enough that the cases where GV never answers end quickly.
constexpr DWORD kShortTimeoutMs = 3000;

void PumpUntilEnded(const GvThreadEnd& end) {
  const DWORD start = GetTickCount();
  while (!end.Finished() && GetTickCount() - start < 120000) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

// The saved picture, or an empty one when the output is not a bitmap.
Picture ReadBmp(const std::string& bytes) { return DecodeBmpFile(bytes.data(), bytes.size()).value_or(Picture{}); }

class GvThreadTest : public ::testing::Test {
 protected:
  void SetUp() override { EndFakeGvs(); }
  void TearDown() override {
    EndFakeGvs();
    testing::UseFakeGvOptions("");
  }

  void SetGvOptions(const std::string& options = {}) const {
    testing::UseFakeGvOptions("--log=\"" + LogPath() + "\"" + (options.empty() ? "" : " " + options));
  }
  std::string FakeGv(const std::string& options = {}) const {
    SetGvOptions(options);
    return FakeGvExe();
  }
  std::string LogPath() const { return folder_.File("gv.log"); }

  std::vector<std::string> Log() const {
    std::vector<std::string> lines;
    std::istringstream in(ReadFileBytes(LogPath()));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  std::string WritePicture(const std::string& name, uint32_t seed = 7) {
    const std::string path = folder_.File(name);
    EXPECT_TRUE(WriteFileBytes(path, EncodeTestPicture(MakeTestPicture(13, 9, seed))));
    return path;
  }

  // Converts as the loader does and reads the output when the wait ends, as the loader
  // does; returns whether the wait saw the file.
  bool Convert(const std::string& picture, const std::string& gvPath, ProgramKind program,
               DWORD timeoutMs = kShortTimeoutMs) {
    request_ = std::make_shared<GvRequest>(picture);
    GvThreadEnd end = TGvThread::Start(GvJob{gvPath, output_, request_, program, timeoutMs});
    const bool appeared = WaitForGvOutput(output_, end);
    outputAtWaitEnd_ = ReadFileBytes(output_);
    PumpUntilEnded(end);
    EXPECT_TRUE(end.Finished()) << "the thread must end";
    return appeared;
  }

  TempFolder folder_;
  std::string output_ = folder_.File("WallPaper.bmp");
  std::shared_ptr<GvRequest> request_;
  std::string outputAtWaitEnd_;
};

struct ProgramCase {
  ProgramKind program;
  const char* markAfterSuccess;  // empty: the picture's path
};

class GvThreadSuccessTest : public GvThreadTest, public ::testing::WithParamInterface<ProgramCase> {};

TEST_P(GvThreadSuccessTest, GvSavesThePictureAsBmpAtTheOutputPath) {
  // ".pi" in lower case is handed to GV like ".PI".
  for (const char* name : {"picture.mag", "picture.pi"}) {
    SCOPED_TRACE(name);
    DeleteFileW(ToWide(LogPath()).c_str());
    const std::string picture = WritePicture(name, 11);
    ASSERT_TRUE(Convert(picture, FakeGv(), GetParam().program));
    EXPECT_EQ(request_->Get(), *GetParam().markAfterSuccess ? GetParam().markAfterSuccess : picture);
    const Picture saved = ReadBmp(outputAtWaitEnd_);
    const TestPicture expected = MakeTestPicture(13, 9, 11);
    EXPECT_EQ(saved.width, expected.width);
    EXPECT_EQ(saved.height, expected.height);
    EXPECT_EQ(saved.pixels, expected.pixels);
    EXPECT_EQ(Log(), (std::vector<std::string>{"ShowGV(ON)", "FileOpen(" + picture + ")",
                                               "FileSaveEx(" + output_ + ",ON,ON)", "ExitGV()"}));
    DeleteFileW(ToWide(output_).c_str());
    EndFakeGvs();
  }
}

INSTANTIATE_TEST_SUITE_P(Programs, GvThreadSuccessTest,
                         ::testing::Values(ProgramCase{ProgramKind::kVorelset, ""},
                                           ProgramCase{ProgramKind::kVorelrun, "1"}));

struct FailureCase {
  const char* name;
  const char* options;
  const char* pictureName;
  ProgramKind program;
  bool outputBefore;             // a file is at the output path before the thread starts
  bool failed;                   // the mark "0" is expected; otherwise the request is untouched
  std::vector<const char*> log;  // "open"/"save" stand for the commands with their paths
};

TEST_F(GvThreadTest, FailuresLeaveTheMarkAndAnOpenableFile) {
  const FailureCase cases[] = {
      {"refused open",
       "--refuse-open",
       "p.jpg",
       ProgramKind::kVorelset,
       false,
       true,
       {"ShowGV(ON)", "open", "ExitGV()"}},
      {"refused open, Vorelrun",
       "--refuse-open",
       "p.jpg",
       ProgramKind::kVorelrun,
       false,
       true,
       {"ShowGV(ON)", "open", "ExitGV()"}},
      {"refused open, file there",
       "--refuse-open",
       "p.jpg",
       ProgramKind::kVorelset,
       true,
       false,
       {"ShowGV(ON)", "open", "ExitGV()"}},
      {"refused open, file there, Vorelrun",
       "--refuse-open",
       "p.jpg",
       ProgramKind::kVorelrun,
       true,
       true,
       {"ShowGV(ON)", "open", "ExitGV()"}},
      {"undecodable picture",
       "",
       "not_a_picture.gif",
       ProgramKind::kVorelset,
       false,
       true,
       {"ShowGV(ON)", "open", "ExitGV()"}},
      {"refused save",
       "--refuse-save",
       "p.jpg",
       ProgramKind::kVorelset,
       false,
       true,
       {"ShowGV(ON)", "open", "save", "ExitGV()"}},
      {"save writes nothing",
       "--save-nothing",
       "p.jpg",
       ProgramKind::kVorelset,
       false,
       true,
       {"ShowGV(ON)", "open", "save", "ExitGV()"}},
      {"save writes nothing, Vorelrun",
       "--save-nothing",
       "p.jpg",
       ProgramKind::kVorelrun,
       false,
       true,
       {"ShowGV(ON)", "open", "save", "ExitGV()"}},
      {"GV dies on save",
       "--die-on-save",
       "p.jpg",
       ProgramKind::kVorelset,
       false,
       true,
       {"ShowGV(ON)", "open", "save"}},
      {"extension outside the list", "", "p.png", ProgramKind::kVorelset, false, true, {"ShowGV(ON)", "ExitGV()"}},
      {"no extension", "", "p", ProgramKind::kVorelset, false, true, {"ShowGV(ON)", "ExitGV()"}},
  };
  const std::string before = "an earlier wallpaper";
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.name);
    DeleteFileW(ToWide(LogPath()).c_str());
    DeleteFileW(ToWide(output_).c_str());
    std::string picture = WritePicture(c.pictureName);
    if (std::string(c.pictureName) == "not_a_picture.gif") {
      ASSERT_TRUE(WriteFileBytes(picture, "GIF89a"));
    }
    if (c.outputBefore) {
      ASSERT_TRUE(WriteFileBytes(output_, before));
    }

    EXPECT_TRUE(Convert(picture, FakeGv(c.options), c.program));

    EXPECT_EQ(request_->Get(), c.failed ? "0" : picture);
    EXPECT_EQ(outputAtWaitEnd_, c.outputBefore ? before : "");
    std::vector<std::string> expectedLog;
    for (std::string entry : c.log) {
      if (entry == "open") entry = "FileOpen(" + picture + ")";
      if (entry == "save") entry = "FileSaveEx(" + output_ + ",ON,ON)";
      expectedLog.push_back(entry);
    }
    EXPECT_EQ(Log(), expectedLog);
    EndFakeGvs();
  }
}

TEST_F(GvThreadTest, WithoutGvTheConversionFailsAtOnce) {
  const std::string picture = WritePicture("p.jpg");
  for (const std::string& gvPath : {std::string(), folder_.File("NoSuchGv.exe"), picture}) {
    SCOPED_TRACE(gvPath);
    DeleteFileW(ToWide(output_).c_str());
    // The full command timeout: were a command sent and left unanswered, this would show.
    EXPECT_TRUE(Convert(picture, gvPath, ProgramKind::kVorelrun, kGvCommandTimeoutMs));
    EXPECT_EQ(request_->Get(), "0");
    EXPECT_TRUE(FileExists(output_));
    EXPECT_EQ(outputAtWaitEnd_, "");
  }
}

TEST_F(GvThreadTest, JapanesePathsReachGvIntact) {
  const std::wstring pictures = ToWide(folder_.File("写真"));
  const std::wstring wallpaper = ToWide(folder_.File("壁紙"));
  ASSERT_TRUE(CreateDirectoryW(pictures.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(wallpaper.c_str(), nullptr));
  const std::string picture = WritePicture("写真\\猫の絵.MAKI", 3);
  output_ = folder_.File("壁紙\\ソ連の表示.bmp");  // "ソ" and "表" have a backslash byte in Shift-JIS

  ASSERT_TRUE(Convert(picture, FakeGv(), ProgramKind::kVorelset));

  EXPECT_EQ(request_->Get(), picture);
  EXPECT_EQ(ReadBmp(outputAtWaitEnd_).pixels, MakeTestPicture(13, 9, 3).pixels);
  EXPECT_EQ(Log(), (std::vector<std::string>{"ShowGV(ON)", "FileOpen(" + picture + ")",
                                             "FileSaveEx(" + output_ + ",ON,ON)", "ExitGV()"}));
}

TEST_F(GvThreadTest, GvIsStartedByItsWholePathWhereverItLives) {
  // A start by command line would first try the path up to its first blank as a program:
  // a program planted there must never run.
  const struct {
    const char* what;
    const char* gvFolder;
    const char* planted;
    bool quoted;
  } cases[] = {
      {"a blank in the folder's name", "My GV", "My.exe", false},
      {"the path stored in quotes", "Program Files\\GV", "Program.exe", true},
      {"names code page 932 cannot spell", "GV 그림 🖼", "GV.exe", false},
  };
  ASSERT_TRUE(CreateDirectoryW(ToWide(folder_.File("Program Files")).c_str(), nullptr));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    DeleteFileW(ToWide(output_).c_str());
    DeleteFileW(ToWide(LogPath()).c_str());
    const std::string gv = folder_.File(std::string(c.gvFolder) + "\\Gv.exe");
    const std::string planted = folder_.File(c.planted);
    ASSERT_TRUE(CreateDirectoryW(ToWide(folder_.File(c.gvFolder)).c_str(), nullptr));
    ASSERT_TRUE(CopyFileW(ToWide(FakeGvExe()).c_str(), ToWide(gv).c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(ToWide(testing::PlantedProgramExe()).c_str(), ToWide(planted).c_str(), FALSE));
    const std::string picture = WritePicture("p.mag", 4);
    SetGvOptions();

    ASSERT_TRUE(Convert(picture, c.quoted ? "\"" + gv + "\"" : gv, ProgramKind::kVorelset));

    EXPECT_EQ(request_->Get(), picture);
    EXPECT_EQ(ReadBmp(outputAtWaitEnd_).pixels, MakeTestPicture(13, 9, 4).pixels);
    EXPECT_EQ(Log(), (std::vector<std::string>{"ShowGV(ON)", "FileOpen(" + picture + ")",
                                               "FileSaveEx(" + output_ + ",ON,ON)", "ExitGV()"}));
    EXPECT_FALSE(FileExists(planted + ".ran")) << ReadFileBytes(planted + ".ran");
    EndFakeGvs();
  }
}

TEST_F(GvThreadTest, AGvSlowToAnswerTheConnectionIsWaitedForWithinABound) {
  const struct {
    const char* options;
    DWORD connectWaitMs;
    bool converted;
  } cases[] = {
      {"--dde-delay=1000", 10000, true},
      {"--no-dde --lifetime=1500", 500, false},  // started, never answers: no command reaches it
  };
  const std::string picture = WritePicture("p.jpg", 2);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.options);
    DeleteFileW(ToWide(output_).c_str());
    DeleteFileW(ToWide(LogPath()).c_str());
    request_ = std::make_shared<GvRequest>(picture);
    GvThreadEnd end = TGvThread::Start(
        GvJob{FakeGv(c.options), output_, request_, ProgramKind::kVorelset, kShortTimeoutMs, c.connectWaitMs});
    EXPECT_TRUE(WaitForGvOutput(output_, end));
    outputAtWaitEnd_ = ReadFileBytes(output_);
    PumpUntilEnded(end);
    if (c.converted) {
      EXPECT_EQ(request_->Get(), picture);
      EXPECT_EQ(ReadBmp(outputAtWaitEnd_).pixels, MakeTestPicture(13, 9, 2).pixels);
      EXPECT_EQ(Log().size(), 4u);
    } else {
      EXPECT_EQ(request_->Get(), "0");
      EXPECT_EQ(outputAtWaitEnd_, "");
      EXPECT_TRUE(Log().empty());
    }
    EndFakeGvs();
  }
}

int g_ticks = 0;
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++g_ticks; }

TEST_F(GvThreadTest, TheWaitOutlastsASlowGvAndKeepsMessagesFlowing) {
  const std::string picture = WritePicture("p.gif", 5);
  g_ticks = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, CountTick);
  PostQuitMessage(7);

  // GV takes its time before saving and then holds the half-written file open.
  request_ = std::make_shared<GvRequest>(picture);
  GvThreadEnd end = TGvThread::Start(
      GvJob{FakeGv("--save-delay=1000 --hold-file=1500"), output_, request_, ProgramKind::kVorelset, 10000});
  const bool appeared = WaitForGvOutput(output_, end);
  outputAtWaitEnd_ = ReadFileBytes(output_);
  KillTimer(nullptr, timer);
  MSG msg;
  const bool quitKept = PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  PumpUntilEnded(end);

  ASSERT_TRUE(appeared);

  EXPECT_EQ(request_->Get(), picture);
  EXPECT_EQ(ReadBmp(outputAtWaitEnd_).pixels, MakeTestPicture(13, 9, 5).pixels)
      << "the wait must not end while GV still writes the file";
  EXPECT_GE(g_ticks, 10) << "window messages must be dispatched while waiting";
  ASSERT_TRUE(quitKept) << "a quit request must survive the wait";
  EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(GvThreadTest, TheWaitEndsWhenTheThreadHasEndedAndTheFileStaysLocked) {
  // Something else holds the output file: the thread fails but cannot replace it.
  UniqueFile holder(
      CreateFileW(ToWide(output_).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(holder);
  request_ = std::make_shared<GvRequest>(WritePicture("p.jpg"));
  GvThreadEnd end = TGvThread::Start(GvJob{"", output_, request_, ProgramKind::kVorelset, kShortTimeoutMs});

  EXPECT_FALSE(WaitForGvOutput(output_, end, 300));
  EXPECT_TRUE(end.Finished());
  EXPECT_EQ(request_->Get(), "0");
}

TEST(GvThreadEndTest, WithoutAThreadTheWaitEndsAfterTheGrace) {
  TempFolder folder;
  EXPECT_FALSE(WaitForGvOutput(folder.File("never.bmp"), GvThreadEnd(), 100));
  ASSERT_TRUE(WriteFileBytes(folder.File("there.bmp"), "x"));
  EXPECT_TRUE(WaitForGvOutput(folder.File("there.bmp"), GvThreadEnd(), 100));
}

}  // namespace
}  // namespace vorel
