// The GV conversion thread: starts GV, has it open a picture over DDE and save it as a BMP
// file at the wallpaper file's path, and quits GV. The loader waits for that file with
// WaitForGvOutput and then reads the outcome mark from the shared GvRequest.
#pragma once

// clang-format off
#include <windows.h>
#include <ddeml.h>
// clang-format on

#include <memory>
#include <mutex>
#include <string>

#include "engine/settings.h"
#include "platform/unique_handle.h"

namespace vorel {

// The text the loader and the thread share: the picture's path when the thread starts,
// "0" once the conversion has failed, "1" after Vorelrun's thread saved the picture.
class GvRequest {
 public:
  explicit GvRequest(std::string text = {}) : text_(std::move(text)) {}
  GvRequest(const GvRequest&) = delete;
  GvRequest& operator=(const GvRequest&) = delete;

  std::string Get() const {
    std::lock_guard lock(mutex_);
    return text_;
  }
  void Set(std::string text) {
    std::lock_guard lock(mutex_);
    text_ = std::move(text);
  }
  bool Failed() const { return Get() == kFailed; }

  static constexpr const char* kFailed = "0";
  static constexpr const char* kSaved = "1";

 private:
  mutable std::mutex mutex_;
  std::string text_;
};

inline constexpr DWORD kGvCommandTimeoutMs = 30000;
// How long a GV that was started may take to be ready for input before the first connection
// is tried, as long as the start by WinExec used to wait.
inline constexpr DWORD kGvStartIdleWaitMs = 30000;
// How long a GV that was started may take to answer a connection. Wine's start-up wait can
// return before the new process has registered its DDE name; a GV that then gets no
// conversation is never told to quit and keeps running.
inline constexpr DWORD kGvConnectWaitMs = 5000;
// How long the loader still waits for an output file it cannot open once the thread has
// ended: long enough for a GV that is still closing the file, short enough not to hang.
inline constexpr DWORD kGvOutputGraceMs = 5000;

struct GvJob {
  std::string gvPath;    // GvPath: GV's program file
  std::string wallFile;  // WallFile: where GV saves the picture
  std::shared_ptr<GvRequest> request;
  ProgramKind program = ProgramKind::kVorelset;
  DWORD commandTimeoutMs = kGvCommandTimeoutMs;
  DWORD connectWaitMs = kGvConnectWaitMs;
};

// What the loader keeps of a started conversion: a signal that the thread has ended.
class GvThreadEnd {
 public:
  GvThreadEnd() = default;  // no thread: counts as ended
  bool Finished() const;
  HANDLE Event() const;  // manual-reset, signalled when the thread has ended

 private:
  friend class TGvThread;
  explicit GvThreadEnd(std::shared_ptr<UniqueKernelHandle> event) : event_(std::move(event)) {}
  std::shared_ptr<UniqueKernelHandle> event_;
};

// One conversion on a thread of its own. The object lives on that thread and is freed
// there when GvConvert returns; the caller keeps only the GvThreadEnd.
class TGvThread {
 public:
  // Starts the conversion at once. Before the call the loader has set job.request to the
  // picture's path and deleted the output file. Throws std::system_error when no thread
  // can be created.
  static GvThreadEnd Start(GvJob job);

  // Only Start creates one; the key keeps the constructor usable by std::make_unique.
  class Key {
    friend class TGvThread;
    Key() = default;
  };
  TGvThread(Key, GvJob job);
  ~TGvThread();
  TGvThread(const TGvThread&) = delete;
  TGvThread& operator=(const TGvThread&) = delete;

 private:
  void GvConvert();
  int Connect();
  bool Command(const std::string& text);
  void Release();
  void Fail();
  bool OutputExists() const;

  GvJob job_;
  bool failed_ = false;
  DWORD instance_ = 0;
  HSZ service_ = nullptr;
  HSZ topic_ = nullptr;
  HCONV conversation_ = nullptr;
};

// Waits on the calling (UI) thread until the output file exists and can be opened for
// reading with no sharing, dispatching window messages meanwhile. Gives up when the thread
// has ended and the file has stayed unopenable for graceMs. Returns whether the file can
// be read. A WM_QUIT met while waiting is posted again when the wait ends.
bool WaitForGvOutput(const std::string& outputPath, const GvThreadEnd& threadEnd, DWORD graceMs = kGvOutputGraceMs);

}  // namespace vorel
