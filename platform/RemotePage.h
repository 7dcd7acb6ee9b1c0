// A page of memory kept in another program's process for the records that
// messages sent to its windows point at (a list view's hit test): the question
// is written there, the message sent with a time-out, the answer read back.
//
// A message whose sender gave up waiting is still handled later, and its
// answer written then: a page given back meanwhile would be written into after
// its release (an access violation in the other program, or its memory quietly
// damaged). So one page is kept per process and used for every message, and is
// dropped with the process, whose memory goes with it. Using it again is safe:
// a thread handles the messages sent to it in the order they came, so a late
// answer is written before the next question is handled, and what is read
// after an answer in time is that question's answer.
//
// Memory is the system's side, in the shape of:
//   using Process = ...;                   // an opened process; Process{} is none
//   Process Open(std::uint32_t processId);
//   bool Ended(Process);
//   void* Allocate(Process);               // nullptr when it cannot
//   void Free(Process, void* page);
//   void Close(Process);
#pragma once

#include <cstdint>
#include <utility>

namespace tamberlinox::platform {

template <class Memory>
class RemotePage {
 public:
  using Process = typename Memory::Process;

  explicit RemotePage(Memory memory = {}) : memory_(std::move(memory)) {}
  // At the program's end the page is given back only when every message that
  // pointed at it was answered in time; otherwise it is left to the process,
  // which may still write into it, and goes when the process ends.
  ~RemotePage() { Drop(); }
  RemotePage(const RemotePage&) = delete;
  RemotePage& operator=(const RemotePage&) = delete;

  // The page in the process of this id, which is open as Owner() while the
  // page is kept; nullptr when it cannot be had. A process that has ended or
  // is not the one asked for is let go first.
  void* In(std::uint32_t processId) {
    if (page_ != nullptr && processId_ == processId && !memory_.Ended(process_)) return page_;
    Drop();
    process_ = memory_.Open(processId);
    if (process_ == Process{}) return nullptr;
    page_ = memory_.Allocate(process_);
    if (page_ == nullptr) Drop();
    else processId_ = processId;
    return page_;
  }
  Process Owner() const { return process_; }
  // A message pointing at the page was sent: answered in time, or not (the
  // process may still write its answer any time later).
  void Sent(bool answered) { unanswered_ = unanswered_ || !answered; }

 private:
  // Closes the process, giving the page back where that is safe.
  void Drop() {
    if (process_ == Process{}) return;
    if (page_ != nullptr && !unanswered_ && !memory_.Ended(process_)) memory_.Free(process_, page_);
    memory_.Close(std::exchange(process_, Process{}));
    page_ = nullptr;
    processId_ = 0;
    unanswered_ = false;
  }

  Memory memory_;
  Process process_{};
  std::uint32_t processId_ = 0;
  void* page_ = nullptr;
  bool unanswered_ = false;  // a message pointing at the page may still be handled
};

}  // namespace tamberlinox::platform
