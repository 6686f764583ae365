// <windows.h> for the Windows implementation of the ports. The port headers come first: the
// system's macros (EM_GETSEL, SND_ASYNC, KEYEVENTF_KEYUP...) would otherwise rewrite the ports'
// own constants of the same names and values. The A/W macros that clash with the ports' method
// names (GetClassName, SendMessage, MessageBox, ...) are undone; code that needs the system
// function calls its W form by name.
//
// Texts: the ports speak UTF-16 and the Windows implementation calls the W functions, so no
// text passes through the ANSI code page except where a call is ANSI by nature (MapVirtualKey
// with MAPVK_VK_TO_CHAR, ToAsciiEx, CF_TEXT on the clipboard), as the ports document.
#pragma once

#include "platform/accessibility.h"
#include "platform/clipboard.h"
#include "platform/event_loop.h"
#include "platform/html_document.h"
#include "platform/keyboard.h"
#include "platform/shell.h"
#include "platform/sound.h"
#include "platform/system_voice.h"
#include "platform/win_types.h"
#include "platform/window_system.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef GetClassName
#undef GetWindowText
#undef GetWindowTextLength
#undef SendMessage
#undef MessageBox
#undef RegisterWindowMessage
#undef GetWindowLong
#undef SetWindowLong
#undef MapVirtualKey
#undef PostMessage
#undef CallWindowProc

#include <cstddef>
#include <cstdint>
#include <string>

namespace quellon::platform::win32 {

// How long a message to another program may take before the call gives up (SendMessageTimeout
// with SMTO_ABORTIFHUNG). Long enough for a busy program to answer a text request, short enough
// that a hung one never freezes the reader.
inline constexpr UINT kSendTimeoutMs = 500;

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16");

inline const wchar_t* Wide(const std::u16string& s) {
  return reinterpret_cast<const wchar_t*>(s.c_str());
}
inline std::u16string FromWide(const wchar_t* s, std::size_t n) {
  return s ? std::u16string(reinterpret_cast<const char16_t*>(s), n) : std::u16string();
}
inline std::u16string FromWide(const wchar_t* s) {
  return s ? std::u16string(reinterpret_cast<const char16_t*>(s)) : std::u16string();
}
inline HWND ToHwnd(Hwnd w) {
  return reinterpret_cast<HWND>(w);
}
inline Hwnd FromHwnd(HWND w) {
  return reinterpret_cast<Hwnd>(w);
}

// SendMessageTimeout with the reader's bound: false when the window did not answer in time (it
// is hung, busy, or gone); `result` is then 0. A window whose thread ran out of time is
// remembered (MarkUnanswering), and later sends to its thread fail at once (see IsHung).
bool SendBounded(HWND w, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR& result,
                 UINT timeoutMs = kSendTimeoutMs);

// Remembers the window's thread as not answering: a bounded message or a cross-process call
// into it ran out of time. Another thread of this program is never remembered.
void MarkUnanswering(HWND w);

// True when the window's program has stopped answering messages (IsHungAppWindow of its
// top-level window), or its thread is remembered as not answering: for a second after each try
// it is refused at once, then one ping of 100 ms decides (a thread that answers is forgotten).
// Such a window is never asked anything that could block.
bool IsHung(HWND w);

}  // namespace quellon::platform::win32
