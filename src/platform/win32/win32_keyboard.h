// The keyboard port on user32. Each SetLowLevelHook call gets a LowLevelKeyHook: a thread of its
// own that holds a WH_KEYBOARD_LL hook and takes its messages, and a message-only window on the
// installing thread through which the keys are delivered.
//
// Windows calls a low-level hook on the thread that installed it, while every key of the desktop
// waits, and silently removes a hook that takes longer than its timeout. The installing thread
// of the program is its main thread, which makes slow calls into other programs; so the hook
// sits on a thread that does nothing else, decides with the gate alone, and hands the key over
// through a queue and one posted message.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/keyboard.h"

namespace quellon::platform {

class LowLevelKeyHook : public std::enable_shared_from_this<LowLevelKeyHook> {
 public:
  // How long Start waits for the hook thread to say whether the hook is in.
  static constexpr std::uint32_t kStartWaitMs = 5000;

  // Owned through a shared pointer: a delivery in progress keeps its hook alive when the
  // delivered callback unhooks it, and a hook thread that never answered keeps its own.
  static std::shared_ptr<LowLevelKeyHook> Create(KeyGateProc gate, KeyDeliveryProc deliver);
  ~LowLevelKeyHook();
  LowLevelKeyHook(const LowLevelKeyHook&) = delete;
  LowLevelKeyHook& operator=(const LowLevelKeyHook&) = delete;

  // Creates the delivery window on the calling thread, which must take its messages. Enough to
  // call OnKey directly, without a hook thread.
  bool OpenDelivery();
  // OpenDelivery, then the hook thread; waits at most kStartWaitMs for it to install the system
  // hook. False (and nothing left running) when the hook is not in.
  bool Start();
  // Ends the hook thread (the system hook goes with it) and destroys the delivery window; no key
  // is delivered after it, not even from a delivery in progress. On the installing thread.
  void Stop();

  // The hook callback's body for one key (HC_ACTION): the moment with the Ctrl, Shift and lock
  // states, the gate's verdict, the key queued for delivery with one posted message, and for
  // kPassAfterHandled the wait (at most kHandledWaitMs) until it has been delivered. True when
  // the key is swallowed. The system calls it on the hook thread; the lock tracker belongs to the
  // one thread that calls it.
  bool OnKey(const KeyEvent& key);

  // The delivery window's work: every queued key to `deliver`, in order; then the waiting hook
  // thread is woken. On the installing thread.
  void DeliverQueued();

 private:
  struct Queued {
    KeyMoment moment;
    KeyVerdict verdict = KeyVerdict::kPass;
    std::uint64_t sequence = 0;
  };
  enum class StartState { kStarting, kRunning, kFailed, kAbandoned };

  LowLevelKeyHook(KeyGateProc gate, KeyDeliveryProc deliver);
  void Run(std::shared_ptr<LowLevelKeyHook> self);  // the hook thread
  void SeedLocks();
  bool LockOn(std::uint32_t vk) const;
  void TrackKey(const KeyEvent& key, bool swallowed);
  void Post();

  const KeyGateProc gate_;
  const KeyDeliveryProc deliver_;

  // The hook thread's own: the lock states (Caps Lock, Num Lock, Scroll Lock) and the keys down,
  // both from the hook's own events after one seeding.
  std::array<bool, 3> locks_{};
  std::array<bool, 256> down_{};
  std::uint64_t queuedSequence_ = 0;

  // Shared by both threads.
  std::mutex queueMutex_;
  std::vector<Queued> queue_;           // filled by the hook thread
  std::atomic<bool> posted_{false};     // a delivery message is on its way
  std::atomic<bool> stopped_{false};    // Stop has begun: nothing more is delivered
  std::atomic<void*> window_{nullptr};  // HWND of the delivery window
  std::mutex deliveredMutex_;
  std::condition_variable deliveredChanged_;
  std::uint64_t delivered_ = 0;  // the sequence number of the last key delivered

  // Start's handshake with the hook thread.
  std::mutex startMutex_;
  std::condition_variable started_;
  StartState startState_ = StartState::kStarting;

  // The installing thread's own.
  std::vector<Queued> delivering_;
  bool inDelivery_ = false;
  std::thread thread_;
  std::uint32_t threadId_ = 0;
};

class Win32Keyboard : public Keyboard {
 public:
  Win32Keyboard();
  ~Win32Keyboard() override;
  Win32Keyboard(const Win32Keyboard&) = delete;
  Win32Keyboard& operator=(const Win32Keyboard&) = delete;

  // Call it on a thread that takes its messages: the keys are delivered through them.
  KeyboardHook SetLowLevelHook(KeyGateProc gate, KeyDeliveryProc deliver) override;
  // True: SetLowLevelHook fails as when the system refuses the hook (to run the program on its
  // fallback keyboard path).
  void RefuseLowLevelHooks(bool refuse) { refuseHooks_ = refuse; }
  bool Unhook(KeyboardHook hook) override;
  std::uint32_t SendInput(const std::vector<Input>& inputs) override;
  std::int16_t GetAsyncKeyState(std::uint32_t vk) override;
  std::int16_t GetKeyState(std::uint32_t vk) override;
  bool GetKeyboardState(KeyboardState& state) override;
  std::uint32_t MapVirtualKey(std::uint32_t code, std::uint32_t mapType) override;
  std::int32_t ToAsciiEx(std::uint32_t vk, std::uint32_t scan, const KeyboardState& state,
                         std::uint16_t& ch, std::uint32_t flags, KeyboardLayout layout) override;
  KeyboardLayout GetKeyboardLayout(ThreadId thread) override;
  bool AttachThreadInput(ThreadId attach, ThreadId attachTo, bool attachIt) override;
  bool GetMouseParams(MouseParams& params) override;
  bool SetMouseParams(const MouseParams& params) override;

 private:
  struct Installed {
    KeyboardHook id = 0;
    std::shared_ptr<LowLevelKeyHook> hook;
  };
  std::vector<Installed> hooks_;  // oldest first
  KeyboardHook nextId_ = 1;
  bool refuseHooks_ = false;
};

}  // namespace quellon::platform
