// The GV conversion over DDE, and the loader's wait for its output file.
#include "converters/gv_thread_win32.h"

#include <system_error>
#include <thread>

#include "converters/gv_commands.h"
#include "platform/outside_code_win32.h"
#include "platform/strings.h"

namespace vorel {
namespace {

// A client-only instance gets no transactions worth answering.
HDDEDATA CALLBACK ClientCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) { return nullptr; }

bool PathExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Succeeds only once nobody has the file open, so a file GV is still writing does not count.
bool CanOpenExclusively(const std::wstring& path) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return static_cast<bool>(file);
}

}  // namespace

bool GvThreadEnd::Finished() const { return !event_ || WaitForSingleObject(event_->Get(), 0) == WAIT_OBJECT_0; }

HANDLE GvThreadEnd::Event() const { return event_ ? event_->Get() : nullptr; }

GvThreadEnd TGvThread::Start(GvJob job) {
  auto event = std::make_shared<UniqueKernelHandle>(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!*event) throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), "CreateEvent");
  auto self = std::make_unique<TGvThread>(Key{}, std::move(job));
  std::thread([self = std::move(self), event]() mutable {
    try {
      self->GvConvert();
    } catch (...) {
      // Out of memory at worst; the loader must still see an outcome.
      try {
        self->Fail();
      } catch (...) {
      }
    }
    self.reset();
    SetEvent(event->Get());
  }).detach();
  return GvThreadEnd(std::move(event));
}

TGvThread::TGvThread(Key, GvJob job) : job_(std::move(job)) {}

TGvThread::~TGvThread() { Release(); }

void TGvThread::GvConvert() {
  const std::string picture = job_.request->Get();
  const std::string extension = RequestExtension(picture);
  const int connection = Connect();
  if (connection == 0) {
    Command(GvShowCommand());
    if (IsGvExtension(extension)) {
      if (!Command(GvOpenCommand(picture))) {
        if (job_.program == ProgramKind::kVorelrun || !OutputExists()) Fail();
      } else {
        if (!Command(GvSaveCommand(job_.wallFile)) && !OutputExists()) Fail();
        if (job_.program == ProgramKind::kVorelrun && !failed_) job_.request->Set(GvRequest::kSaved);
      }
    } else {
      Fail();
    }
    Command(GvExitCommand());
    Release();
  } else if (connection == -2) {
    Command(GvExitCommand());
    Release();
    Fail();
  } else {
    Release();
    Fail();
  }
  // GV may accept the save and write nothing, or die while saving; without a file the
  // loader would wait for ever, so every run ends with something at the output path.
  if (!failed_ && !OutputExists()) Fail();
}

int TGvThread::Connect() {
  const bool started = StartProgram(GvProgramFile(job_.gvPath), "/DDE", SW_SHOWMINNOACTIVE, kGvStartIdleWaitMs);
  if (DdeInitializeA(&instance_, ClientCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) {
    instance_ = 0;
    return -1;
  }
  service_ = DdeCreateStringHandleA(instance_, "GV", CP_WINANSI);
  topic_ = DdeCreateStringHandleA(instance_, "System", CP_WINANSI);
  conversation_ = DdeConnect(instance_, service_, topic_, nullptr);
  // A GV that was already running answers here too.
  if (DdeGetLastError(instance_) == DMLERR_NO_ERROR && conversation_) return 0;
  if (!started) return -1;
  const DWORD retryStart = GetTickCount();
  for (;;) {
    conversation_ = DdeConnect(instance_, service_, topic_, nullptr);
    if (DdeGetLastError(instance_) == DMLERR_NO_ERROR && conversation_) return 0;
    if (GetTickCount() - retryStart >= job_.connectWaitMs) return -2;
    Sleep(50);
  }
}

bool TGvThread::Command(const std::string& text) {
  if (instance_ == 0) return false;
  std::string bytes = Utf8ToAnsi(text);
  HDDEDATA result = DdeClientTransaction(reinterpret_cast<LPBYTE>(bytes.data()), static_cast<DWORD>(bytes.size() + 1),
                                         conversation_, nullptr, 0, XTYP_EXECUTE, job_.commandTimeoutMs, nullptr);
  if (result == nullptr) return DdeGetLastError(instance_) == DMLERR_NO_ERROR;
  DdeFreeDataHandle(result);
  return true;
}

void TGvThread::Release() {
  if (conversation_) DdeDisconnect(conversation_);
  if (service_) DdeFreeStringHandle(instance_, service_);
  if (topic_) DdeFreeStringHandle(instance_, topic_);
  if (instance_) DdeUninitialize(instance_);
  conversation_ = nullptr;
  service_ = nullptr;
  topic_ = nullptr;
  instance_ = 0;
}

// The mark goes first: the loader reads it as soon as the file can be opened.
void TGvThread::Fail() {
  failed_ = true;
  job_.request->Set(GvRequest::kFailed);
  UniqueFile file(CreateFileW(ToWide(job_.wallFile).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool TGvThread::OutputExists() const { return PathExists(ToWide(job_.wallFile)); }

bool WaitForGvOutput(const std::string& outputPath, const GvThreadEnd& threadEnd, DWORD graceMs) {
  const std::wstring path = ToWide(outputPath);
  const HANDLE ended = threadEnd.Event();
  bool quit = false;
  WPARAM quitCode = 0;
  bool endSeen = false;
  DWORD endSeenAt = 0;
  bool opened = false;
  for (;;) {
    if (CanOpenExclusively(path)) {
      opened = true;
      break;
    }
    if (!endSeen && threadEnd.Finished()) {
      endSeen = true;
      endSeenAt = GetTickCount();
    } else if (endSeen && GetTickCount() - endSeenAt >= graceMs) {
      break;
    }
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        // Leaving the program is the caller's business once the conversion is over.
        quit = true;
        quitCode = msg.wParam;
        continue;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    // Wakes for new messages and for the thread's end; the short timeout is the poll.
    if (endSeen || !ended) {
      MsgWaitForMultipleObjectsEx(0, nullptr, 2, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    } else {
      MsgWaitForMultipleObjectsEx(1, &ended, 2, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
  }
  if (quit) PostQuitMessage(static_cast<int>(quitCode));
  return opened;
}

}  // namespace vorel
