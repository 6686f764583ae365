// The keyboard handler: the low-level keyboard hook with the command keys and the typed-character
// echo, or the fallback hook library's key messages when the hook cannot be installed.
//
// The hook is split in two. A gate, which runs for every key of the desktop while the whole
// keyboard waits for it, only decides whether the key is swallowed, from a snapshot of what that
// decision reads (the key, Ctrl and Shift at that moment, whether the focus is in text, whether
// it is a web page's view, navigation mode). Everything the key then makes happen (the echo, the
// commands, the caret reading) runs on the main thread, key after key in the order they came.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "access/directui_reader.h"
#include "access/item_list.h"
#include "access/web_reader.h"
#include "aids/info_band.h"
#include "platform/event_loop.h"
#include "platform/keyboard.h"
#include "reader/caret_readers.h"
#include "reader/focus_tracking.h"
#include "reader/modifier_code.h"

namespace quellon::reader {

class KeyboardHandler {
 public:
  virtual ~KeyboardHandler() = default;
  virtual void HookKeyboard() = 0;
  virtual void UnhookKeyboard() = 0;
  // True while the low-level hook (not the fallback) is installed.
  virtual bool IsKeyboardHooked() const = 0;
  // Private messages of the main window: MSG_KEY_RELEASED and MSG_KEY_PRESSED (fallback hook),
  // MSG_CARET_KEY and MSG_NAVIGATE_KEY (posted by the command keys).
  virtual void OnKeyMessage(std::uint32_t message, platform::WParam wParam,
                            platform::LParam lParam) = 0;
  // The focus record changed: the gate's snapshot is taken again.
  virtual void FocusStateChanged() = 0;
};

// No hook: no command key works and nothing is echoed.
class NullKeyboardHandler final : public KeyboardHandler {
 public:
  void HookKeyboard() override {}
  void UnhookKeyboard() override {}
  bool IsKeyboardHooked() const override { return false; }
  void OnKeyMessage(std::uint32_t, platform::WParam, platform::LParam) override {}
  void FocusStateChanged() override {}
};

// What the gate reads, written by the main thread (the focus) and by the gate itself (navigation
// mode flips the moment Ctrl+Shift+F7 goes up, so the arrows right after it are decided by the
// new mode even before the main thread has caught up).
struct KeyGateState {
  std::atomic<bool> textRole{false};  // the focus role is editable text or a pane
  std::atomic<bool> webView{false};   // the focused window is a browser's HTML view
  std::atomic<bool> navigationMode{false};
};

// The swallow rules: Ctrl+Shift with F2, F5, F7, F8, F9 and F12 on the press, and on the release
// (F8 only in text); Up, Down, Page Up and Page Down both ways in navigation mode. Delete and
// Backspace in a text field that is not a web page pass only after the main thread has read what
// they are about to delete. Never waits, allocates or calls out.
platform::KeyVerdict DecideKey(const platform::KeyMoment& moment, KeyGateState& gate);

// What the command keys reach.
struct KeyboardParts {
  FocusAnnouncer& focus;
  CaretReaders& caret;
  access::ItemList& itemList;
  access::WebReader& web;
  access::DirectUIReader& directUI;
  aids::InfoBand& infoBand;
  // Continuous reading (the main window's ReadTimer): start, stop, whether it runs.
  std::function<void()> startReading;
  std::function<void()> stopReading;
  std::function<bool()> reading;
  // The check mark of the "Navigate" menu item.
  std::function<void(bool)> setNavigationCheck;
};

}  // namespace quellon::reader
