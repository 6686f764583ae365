#include "reader/key_echo.h"

#include "text/text.h"

namespace quellon::reader {
namespace {

// The spoken text of one Windows-1250 code.
std::u16string CodeText(std::uint32_t code) {
  return std::u16string(1, text::Cp1250ToChar(static_cast<std::uint8_t>(code & 0xFF)));
}

// The upper-case form of a Windows-1250 code (the code itself when it has none).
std::uint32_t UpperCode(std::uint32_t code) {
  if (code > 255) return code;
  const auto upper =
      text::CharToCp1250(text::ToUpper(text::Cp1250ToChar(static_cast<std::uint8_t>(code))));
  return upper ? *upper : code;
}

bool IsTextRole(std::int32_t role) {
  return role == platform::ROLE_SYSTEM_TEXT || role == platform::ROLE_SYSTEM_PANE;
}

bool IsToggleButtonRole(std::int32_t role) {
  return role == platform::ROLE_SYSTEM_RADIOBUTTON || role == platform::ROLE_SYSTEM_CHECKBUTTON;
}

void SetDown(platform::KeyboardState& state, std::uint32_t vk, bool down) {
  state[vk] = static_cast<std::uint8_t>(down ? (state[vk] | 0x80) : (state[vk] & 0x7F));
}

}  // namespace

std::uint32_t DeadKeyCode(std::int32_t deadKey, std::uint32_t vk) {
  if (deadKey == kAcute) {
    switch (vk) {
      case 'A':
        return vk + 160;  // á
      case 'E':
      case 'I':
      case 'O':
      case 'Y':
        return vk + 164;  // é í ó ý
      case 'U':
        return vk + 165;  // ú
      default:
        return vk;
    }
  }
  if (deadKey == kCaron) {
    switch (vk) {
      case 'C':
        return vk + 165;  // č
      case 'D':
        return vk + 171;  // ď
      case 'E':
        return vk + 167;  // ě
      case 'N':
        return vk + 164;  // ň
      case 'R':
        return vk + 166;  // ř
      case 'S':
        return vk + 71;  // š
      case 'T':
        return vk + 73;  // ť
      case 'Z':
        return vk + 68;  // ž
      default:
        return vk;
    }
  }
  return vk;
}

bool EchoSilentRole(std::int32_t role) {
  return role == platform::ROLE_SYSTEM_COMBOBOX || role == platform::ROLE_SYSTEM_LIST ||
         role == platform::ROLE_SYSTEM_LISTITEM;
}

std::u16string KeyEcho::Translate(std::uint32_t vk, std::uint32_t scan, bool shift, bool ctrl) {
  const platform::Hwnd focus = state_.Focus.FocusHwnd;
  const platform::ThreadId thread = windows_.GetWindowThreadProcessId(focus);
  const bool attached =
      thread != 0 && mainThread_ != 0 && keyboard_.AttachThreadInput(thread, mainThread_, true);
  platform::KeyboardState keys{};
  std::int32_t n = 0;
  std::uint16_t ch = 0;
  try {
    if (keyboard_.GetKeyboardState(keys)) {
      // The modifiers as they were when the key went up: by now the user may have let go of
      // Shift or Ctrl, or pressed them for the next key.
      SetDown(keys, platform::VK_SHIFT, shift);
      SetDown(keys, platform::VK_LSHIFT, shift && (keys[platform::VK_RSHIFT] & 0x80) == 0);
      if (!shift) SetDown(keys, platform::VK_RSHIFT, false);
      SetDown(keys, platform::VK_CONTROL, ctrl);
      if (!ctrl) {
        SetDown(keys, platform::VK_LCONTROL, false);
        SetDown(keys, platform::VK_RCONTROL, false);
      }
      if (capsLock_) {
        keys[platform::VK_CAPITAL] =
            static_cast<std::uint8_t>((keys[platform::VK_CAPITAL] & 0xFE) | (*capsLock_ ? 1 : 0));
      }
      n = keyboard_.ToAsciiEx(vk, scan, keys, ch, 0, keyboard_.GetKeyboardLayout(thread));
    }
  } catch (...) {
    n = 0;
  }
  if (attached) keyboard_.AttachThreadInput(thread, mainThread_, false);
  if (n == 1 && ch > 31 && ch <= 255) return CodeText(ch);
  return {};
}

void KeyEcho::SayCode(std::uint32_t code) {
  if (code > 31 && code <= 255) output_.Say(CodeText(code));
}

void KeyEcho::EchoKey(const platform::KeyMoment& moment, std::uint32_t modifierCode) {
  const std::uint32_t vk = moment.key.vkCode;
  const auto c = static_cast<std::int32_t>(keyboard_.MapVirtualKey(vk, platform::MAPVK_VK_TO_CHAR));
  if (c >= 255 || c <= 0) {
    // A dead key (negative) or a key without a character: only the dead key is remembered.
    // Shift, which the hook reports as the left or right key, keeps a pending accent: Shift is
    // let go between the caron and its letter.
    if (moment.key.scanCode == kDeadKeyScan && vk == kDeadKeyVk) {
      deadKey_ = moment.shift ? kCaron : kAcute;
    } else if (vk != platform::VK_SHIFT && vk != platform::VK_LSHIFT && vk != platform::VK_RSHIFT) {
      deadKey_ = kNoDeadKey;
    }
    return;
  }
  std::u16string said;
  std::uint32_t key = vk;
  if (deadKey_ == kNoDeadKey) {
    said = Translate(vk, moment.key.scanCode, moment.shift, moment.ctrl);
  } else {
    const std::int32_t pending = deadKey_;
    key = DeadKeyCode(pending, vk);
    if (moment.shift) key = UpperCode(key);
    // A pending acute survives a key whose code is 16 (Shift itself); the caron does not.
    if (pending == kCaron || key > 16) deadKey_ = kNoDeadKey;
    if (key > 31 && key <= 255) said = CodeText(key);
  }
  if (key != platform::VK_SHIFT) deadKey_ = kNoDeadKey;
  if (key == platform::VK_SPACE) {
    const std::int32_t role = state_.Focus.FocusRole;
    if (IsTextRole(role)) {
      said = u" ";
    } else if (IsToggleButtonRole(role)) {
      said.clear();
      loop_.PostMessage(mainWindow_, platform::MSG_TOGGLE_KEY, platform::VK_SPACE, modifierCode);
    }
  }
  if (!said.empty()) output_.Say(said);
}

void KeyEcho::AnnounceLockKey(const std::u16string& name, bool toggledBefore) {
  // The press is seen before the system applies it: a lock that was on is about to go off.
  const int word = toggledBefore ? strings::StringTable::kTextOff : strings::StringTable::kTextOn;
  output_.Say(name + u" " + strings_.GetString(word));
}

void KeyEcho::AnnounceLockKeyFromState(const std::u16string& name, std::uint32_t vk) {
  const platform::ThreadId focusThread = windows_.GetWindowThreadProcessId(state_.Focus.FocusHwnd);
  const platform::ThreadId own = windows_.GetWindowThreadProcessId(mainWindow_);
  const bool attached =
      focusThread != 0 && own != 0 && keyboard_.AttachThreadInput(focusThread, own, true);
  bool toggled = false;
  try {
    toggled = (keyboard_.GetKeyState(vk) & 0x0001) != 0;
  } catch (...) {
    toggled = false;
  }
  if (attached) keyboard_.AttachThreadInput(focusThread, own, false);
  AnnounceLockKey(name, toggled);
}

void KeyEcho::EchoFallbackKey(std::uint32_t vk, std::uint32_t modifierCode,
                              const std::function<std::u16string()>& checkStateText) {
  const bool shift = modifierCode == 4;
  const auto c = static_cast<std::int32_t>(keyboard_.MapVirtualKey(vk, platform::MAPVK_VK_TO_CHAR));
  if (c < 1 || c > 254) {
    // Only a dead key makes an accent pending (Shift for the caron); a key with no character at
    // all, such as an arrow, clears it.
    if (c < 0) {
      if (modifierCode == 4) state_.FallbackDeadKey = kCaron;
      if (modifierCode == 6) state_.FallbackDeadKey = kAcute;
    } else {
      state_.FallbackDeadKey = kNoDeadKey;
    }
    return;
  }
  if (state_.FallbackDeadKey != kNoDeadKey) {
    std::uint32_t code = DeadKeyCode(state_.FallbackDeadKey, vk);
    if (shift) code = UpperCode(code);
    state_.FallbackDeadKey = kNoDeadKey;
    SayCode(code);
    return;
  }
  platform::KeyboardState keys{};
  std::uint16_t ch = 0;
  if (keyboard_.GetKeyboardState(keys)) {
    if (shift) keys[platform::VK_SHIFT] = 0x80;
    const platform::ThreadId thread = windows_.GetWindowThreadProcessId(state_.Focus.FocusHwnd);
    keyboard_.ToAsciiEx(vk, modifierCode, keys, ch, 0, keyboard_.GetKeyboardLayout(thread));
  }
  std::uint32_t code = ch > 255 ? (ch & 0xFFu) : ch;
  if (shift) code = UpperCode(code);
  SayCode(code);
  if (code == platform::VK_SPACE) {
    const std::int32_t role = state_.Focus.FocusRole;
    if (IsTextRole(role)) {
      output_.Say(u" ");
    } else if (IsToggleButtonRole(role) && checkStateText) {
      output_.Say(checkStateText());
    }
  }
  state_.FallbackDeadKey = kNoDeadKey;
}

}  // namespace quellon::reader
