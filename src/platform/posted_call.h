// A call run on the event loop's thread as soon as the thread is free: it goes out as a message
// to a hidden window of its own, so it runs after everything that is already waiting in the
// queue (input, the accessibility events of one burst, the device's notices) and ahead of the
// next timer step. Posting again while the call still waits posts nothing more: however many
// requests come in before the loop gets to it, the call runs once.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/event_loop.h"

namespace quellon::platform {

class PostedCall {
 public:
  // The window is made at once; without one (the loop cannot make windows) Post always fails.
  PostedCall(EventLoop& loop, std::function<void()> call);
  // A call still waiting does not run any more.
  ~PostedCall();
  PostedCall(const PostedCall&) = delete;
  PostedCall& operator=(const PostedCall&) = delete;

  // Asks for one run of the call. From the loop's thread only. The call may post itself again
  // while it runs (it then runs once more, after what has been queued meanwhile), but must not
  // destroy its PostedCall; an exception it throws ends that run quietly. True when the call waits
  // now; false when it could not be posted.
  bool Post();
  // The waiting call is dropped; a later Post asks for a new run.
  void Cancel() { waiting_ = false; }
  bool Waiting() const { return waiting_; }
  // How often the call has run.
  std::uint64_t Runs() const { return runs_; }

 private:
  LResult OnMessage(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam);

  EventLoop& loop_;
  std::function<void()> call_;
  Hwnd window_ = 0;
  WindowProc previous_;
  bool waiting_ = false;
  // The number of the last posting: a message of an earlier, cancelled one is passed over.
  WParam posting_ = 0;
  std::uint64_t runs_ = 0;
};

}  // namespace quellon::platform
