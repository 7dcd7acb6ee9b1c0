#include "platform/win32/BrowserThread.h"

#include <new>
#include <optional>
#include <string>
#include <utility>

#include "platform/win32/Automation.h"
#include "platform/win32/Com.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Text.h"

// The thread is never waited for but for a moment at the program's end: a
// browser that stops answering may keep it inside a call for as long as it
// likes, and the program goes on, and ends, without it. So the thread touches
// nothing of the program but the block it shares with it (below), uses no
// function-local statics (the program is built without their locks) and loads
// the COM libraries for itself.

namespace tamberlinox::platform::win32 {

using CallState = WebBrowser::CallState;
using Outcome = WebBrowser::Outcome;

namespace {

enum class Call { None, Open, ReadReadyState, Show };

class Lock {
 public:
  explicit Lock(CRITICAL_SECTION& section) : section_(section) { ::EnterCriticalSection(&section_); }
  ~Lock() { ::LeaveCriticalSection(&section_); }
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

 private:
  CRITICAL_SECTION& section_;
};

}  // namespace

// What the program and the browser's thread share. Each holds a reference and
// the last one to let go frees it, so a call that returns long after the
// program let go (or never) finds it still there.
class BrowserCalls {
 public:
  BrowserCalls() : wake_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) { ::InitializeCriticalSection(&lock_); }
  ~BrowserCalls() { ::DeleteCriticalSection(&lock_); }
  BrowserCalls(const BrowserCalls&) = delete;
  BrowserCalls& operator=(const BrowserCalls&) = delete;

  bool Usable() const { return static_cast<bool>(wake_); }
  void AddReference() { ::InterlockedIncrement(&references_); }
  void Release() {
    if (::InterlockedDecrement(&references_) == 0) delete this;
  }

  // ---- The program's side.
  bool Begin(Call call, std::wstring address) {
    {
      Lock lock(lock_);
      if (outcome_.state == CallState::Pending) return false;
      call_ = call;
      address_ = std::move(address);
      outcome_ = Outcome{CallState::Pending, 0};
    }
    ::SetEvent(wake_.Get());
    return true;
  }
  Outcome LastCall() {
    Lock lock(lock_);
    return outcome_;
  }
  // The program's last word: the thread ends once it has no call to make.
  void LetGo() {
    {
      Lock lock(lock_);
      letGo_ = true;
      letGoTick_ = ::GetTickCount();
    }
    ::SetEvent(wake_.Get());
    Release();
  }
  // When the program let go; nothing while it holds the browser.
  std::optional<DWORD> LetGoTick() {
    Lock lock(lock_);
    return letGo_ ? std::optional<DWORD>(letGoTick_) : std::nullopt;
  }

  // ---- The thread's side.
  // Waits for the next call; false once the program has let go and every
  // call it gave has been made.
  bool Next(Call& call, std::wstring& address) {
    for (;;) {
      {
        Lock lock(lock_);
        if (call_ != Call::None) {
          call = std::exchange(call_, Call::None);
          address = std::move(address_);
          return true;
        }
        if (letGo_) return false;
      }
      WaitServingMessages();
    }
  }
  void Finish(Outcome outcome) {
    Lock lock(lock_);
    outcome_ = outcome;
  }

 private:
  // An apartment's thread serves its window messages while it waits.
  void WaitServingMessages() {
    HANDLE wake = wake_.Get();
    for (;;) {
      const DWORD woken = ::MsgWaitForMultipleObjects(1, &wake, FALSE, INFINITE, QS_ALLINPUT);
      if (woken == WAIT_OBJECT_0) return;
      if (woken != WAIT_OBJECT_0 + 1) {
        ::WaitForSingleObject(wake, INFINITE);
        return;
      }
      MSG message;
      while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
      }
    }
  }

  CRITICAL_SECTION lock_;
  KernelHandle wake_;  // auto-reset: a call, or the program letting go
  LONG references_ = 1;
  Call call_ = Call::None;  // given by the program, not yet taken by the thread
  std::wstring address_;
  Outcome outcome_;
  bool letGo_ = false;
  DWORD letGoTick_ = 0;
};

namespace {

Outcome Make(Com& com, std::unique_ptr<BrowserAutomation>& browser, Call call, const std::wstring& address) {
  Outcome failed{CallState::Failed, 0};
  switch (call) {
    case Call::Open:
      browser = BrowserAutomation::Create(com);
      if (!browser || !browser->Navigate(address)) return failed;
      return Outcome{CallState::Done, 0};
    case Call::ReadReadyState:
      if (browser) {
        if (const std::optional<std::int32_t> state = browser->ReadyState()) return Outcome{CallState::Done, *state};
      }
      return failed;
    case Call::Show:
      if (browser && browser->SetVisible(true)) return Outcome{CallState::Done, 0};
      return failed;
    case Call::None:
      break;
  }
  return failed;
}

DWORD WINAPI BrowserThread(void* parameter) {
  BrowserCalls* shared = static_cast<BrowserCalls*>(parameter);
  try {
    Com com;  // this thread's own apartment, and its own hold on the libraries
    std::unique_ptr<BrowserAutomation> browser;
    bool shown = false;
    Call call = Call::None;
    std::wstring address;
    while (shared->Next(call, address)) {
      const Outcome outcome = Make(com, browser, call, address);
      shown = shown || (call == Call::Show && outcome.state == CallState::Done);
      shared->Finish(outcome);
    }
    // The program has let go. A browser the user has seen is the user's; one
    // never shown would run on unseen, so it is told to quit. Then it is
    // released and the apartment left.
    if (browser && !shown) browser->Quit();
  } catch (...) {
    // Out of memory: the thread ends; the program then sees its call fail.
    shared->Finish(Outcome{CallState::Failed, 0});
  }
  shared->Release();
  return 0;
}

// The program's handle on the thread.
class ThreadedBrowser final : public WebBrowser {
 public:
  explicit ThreadedBrowser(BrowserCalls* shared) : shared_(shared) {}
  ~ThreadedBrowser() override { shared_->LetGo(); }
  ThreadedBrowser(const ThreadedBrowser&) = delete;
  ThreadedBrowser& operator=(const ThreadedBrowser&) = delete;

  bool Open(const std::string& address) override { return shared_->Begin(Call::Open, Widen(address)); }
  bool ReadReadyState() override { return shared_->Begin(Call::ReadReadyState, {}); }
  bool Show() override { return shared_->Begin(Call::Show, {}); }
  Outcome LastCall() override { return shared_->LastCall(); }

 private:
  BrowserCalls* shared_;
};

}  // namespace

std::unique_ptr<WebBrowser> BrowserThreads::Start() {
  // The threads that have ended are forgotten.
  std::erase_if(started_, [](Started& started) {
    if (::WaitForSingleObject(started.thread.Get(), 0) != WAIT_OBJECT_0) return false;
    started.calls->Release();
    return true;
  });
  BrowserCalls* shared = new (std::nothrow) BrowserCalls;
  if (shared == nullptr) return nullptr;
  auto browser = std::make_unique<ThreadedBrowser>(shared);  // lets go of shared when it goes
  if (!shared->Usable()) return nullptr;
  shared->AddReference();  // the thread's
  KernelHandle thread(::CreateThread(nullptr, 0, BrowserThread, shared, 0, nullptr));
  if (!thread) {
    shared->Release();
    return nullptr;
  }
  try {
    shared->AddReference();  // this list's
    started_.push_back(Started{shared, std::move(thread)});
  } catch (...) {
    shared->Release();  // the thread runs on unwatched
  }
  return browser;
}

// A thread still inside a call long after the program let go is held by a
// browser that does not answer: the program ends without it.
BrowserThreads::~BrowserThreads() {
  for (Started& started : started_) {
    if (const std::optional<DWORD> letGo = started.calls->LetGoTick()) {
      const DWORD since = ::GetTickCount() - *letGo;
      if (since < kQuitPatienceMs) ::WaitForSingleObject(started.thread.Get(), kQuitPatienceMs - since);
    }
    started.calls->Release();
  }
}

}  // namespace tamberlinox::platform::win32
