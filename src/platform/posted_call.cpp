#include "platform/posted_call.h"

#include <utility>

#include "platform/win_types.h"

namespace quellon::platform {

PostedCall::PostedCall(EventLoop& loop, std::function<void()> call)
    : loop_(loop), call_(std::move(call)) {
  window_ = loop_.CreateHiddenWindow();
  if (window_ == 0) return;
  previous_ = loop_.SetWindowProc(window_, [this](Hwnd w, std::uint32_t m, WParam wp, LParam lp) {
    return OnMessage(w, m, wp, lp);
  });
}

PostedCall::~PostedCall() {
  waiting_ = false;
  if (window_ == 0) return;
  // A message still in the queue finds no window and is dropped by the loop.
  loop_.SetWindowProc(window_, std::move(previous_));
  loop_.DestroyWindow(window_);
}

bool PostedCall::Post() {
  if (waiting_) return true;
  if (window_ == 0 || !call_) return false;
  const WParam posting = posting_ + 1;
  if (!loop_.PostMessage(window_, MSG_POSTED_CALL, posting, 0)) return false;
  posting_ = posting;
  waiting_ = true;
  return true;
}

LResult PostedCall::OnMessage(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam) {
  if (message != MSG_POSTED_CALL) return CallWindowProc(previous_, window, message, wParam, lParam);
  if (!waiting_ || wParam != posting_) return 0;  // cancelled, or an older posting
  // Cleared first, so that the call can ask for its next run.
  waiting_ = false;
  ++runs_;
  try {
    call_();
  } catch (...) {
    // Nothing may leave a window procedure; the owner's own retries (its timer) go on.
  }
  return 0;
}

}  // namespace quellon::platform
