// The smaller ports on Windows together: the clipboard (user32), application bars (shell32),
// sounds (winmm PlaySound) and the system voice (SAPI 5 through COM). Each has its own header.
#pragma once

#include "platform/win32/win32_clipboard.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_sound.h"
#include "platform/win32/win32_system_voice.h"
