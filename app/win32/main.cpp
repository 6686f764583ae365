// Quellon.exe: the screen reader. Wires the Windows ports to the main window, loads it (the
// startup sequence), serves the automation class "Quellon.App", runs the message loop until the
// main window has unloaded. "/regserver" or "/unregserver" (with "/allusers": for every user)
// only registers or removes the automation class and ends.
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/time_and_date.h"
#include "engine/vaza_vorod.h"
#include "platform/win32/win32_accessibility.h"
#include "platform/win32/win32_clipboard.h"
#include "platform/win32/win32_event_loop.h"
#include "platform/win32/win32_html_document.h"
#include "platform/win32/win32_keyboard.h"
#include "platform/win32/win32_profile.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_window_system.h"
#include "platform/win32/winmm_wave_out.h"
#include "text/text.h"

// The system headers after the ports: their macros would rewrite the ports' constants.
#include "about_form.h"
#include "automation_server.h"
#include "main_form.h"
#include "say_log.h"
#include "win32_part_factory.h"
// After <windows.h>, which the forms bring.
#include <shellapi.h>

namespace {

std::filesystem::path ExecutableFolder() {
  wchar_t buffer[MAX_PATH * 4] = {};
  const DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH * 4);
  if (n == 0 || n >= MAX_PATH * 4) return std::filesystem::current_path();
  return std::filesystem::path(buffer).parent_path();
}

std::wstring ExecutableFile() {
  wchar_t buffer[MAX_PATH * 4] = {};
  const DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH * 4);
  if (n == 0 || n >= MAX_PATH * 4) return {};
  return buffer;
}

std::vector<std::wstring> Arguments() {
  std::vector<std::wstring> arguments;
  int count = 0;
  if (LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count)) {
    for (int i = 1; i < count; ++i) arguments.emplace_back(argv[i]);
    LocalFree(argv);
  }
  return arguments;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  using namespace quellon;
  const app::ServerSwitches switches = app::ParseServerSwitches(Arguments());
  if (switches.command == app::ServerSwitches::Command::kRegister) {
    return app::RegisterAutomationServer(ExecutableFile(), switches.allUsers) == 0 ? 0 : 1;
  }
  if (switches.command == app::ServerSwitches::Command::kUnregister) {
    return app::UnregisterAutomationServer(ExecutableFile(), switches.allUsers) == 0 ? 0 : 1;
  }
  platform::Win32EventLoop loop;
  platform::Win32WindowSystem windows;
  platform::Win32Accessibility access;
  platform::Win32Keyboard keyboard;
  // QUELLON_REFUSE_KEYBOARD_HOOK=1 runs the keyboard on the fallback path, as on a system that
  // refuses the low-level hook.
  if (const char* refuse = std::getenv("QUELLON_REFUSE_KEYBOARD_HOOK");
      refuse != nullptr && std::string_view(refuse) == "1") {
    keyboard.RefuseLowLevelHooks(true);
  }
  platform::Win32Profile profile;
  platform::Win32SoundPlayer sound;
  platform::Win32SystemVoiceFactory voices;
  platform::WinmmWaveOut waveOut;
  platform::Win32HtmlPlatform html;
  platform::Win32Clipboard clipboard;
  core::SystemLocalClock clock;

  app::Win32MainForm form;
  if (!form.Create(instance)) return 1;
  if (const char* busy = std::getenv("QUELLON_TEST_BUSY");
      busy != nullptr && std::string_view(busy) == "1") {
    form.EnableTestBusy();
  }
  app::Win32AboutForm about(form);

  shell::EngineFactory engineFactory = [&](const std::filesystem::path& folder) {
    VazaVorodOptions options;
    options.Output.ShowError = [&form](const std::string& message) {
      const std::u16string text = text::Utf8ToUtf16(message);
      MessageBoxW(platform::win32::ToHwnd(form.Handle()), platform::win32::Wide(text), L"Quellon",
                  MB_OK | MB_ICONERROR);
    };
    std::unique_ptr<BuiltInEngine> engine =
        std::make_unique<VazaVorod>(folder, loop, waveOut, std::move(options));
    if (const char* log = std::getenv("QUELLON_TEST_SAY_LOG"); log != nullptr && *log != '\0') {
      engine = std::make_unique<app::SayLogEngine>(std::move(engine), log);
    }
    return engine;
  };
  shell::frmMain main(core::Ports{windows, access, keyboard, loop, profile, sound, voices, clock,
                                  waveOut, html, clipboard},
                      form, about, engineFactory,
                      std::make_unique<app::Win32PartFactory>(instance, form));
  form.Attach(&main);
  main.Load(ExecutableFolder());
  // Scripts reach the running program from here on (a failure leaves the program running
  // without its automation class).
  app::AutomationServer automation(
      ExecutableFile(), [&main]() -> shell::Automation& { return main.AutomationObject(); });
  automation.Start();

  loop.RunUntil([] { return false; });  // ends with WM_QUIT, posted when the window is destroyed
  automation.Stop();
  main.Unload();  // nothing left to do when the window already unloaded
  form.Attach(nullptr);
  return 0;
}
