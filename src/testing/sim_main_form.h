// The main window and the about box on the simulated desktop: a hidden program window that
// records its captions, menu check marks, status text, window state, the messages that reach its
// own procedure, how often the about box was shown and whether the program closed it.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/sim_desktop.h"
#include "shell/about_form.h"
#include "shell/main_form.h"

namespace quellon::testing {

class SimMainForm : public shell::MainForm, public shell::AboutForm {
 public:
  explicit SimMainForm(platform::SimDesktop& desk) : desk_(desk) {
    hwnd_ = desk.Loop().CreateHiddenWindow();
    desk.AdoptProgramWindow(hwnd_, u"ThunderRT6FormDC", u"Quellon");
    desk.Loop().SetWindowProc(hwnd_,
                              [this](platform::Hwnd, std::uint32_t message, platform::WParam,
                                     platform::LParam) -> platform::LResult {
                                formMessages.push_back(message);
                                return 0;
                              });
  }
  platform::Hwnd Handle() const override { return hwnd_; }
  void SetCaption(std::u16string_view control, std::u16string_view caption) override {
    captions[std::u16string(control)] = std::u16string(caption);
  }
  void SetWindowState(std::int32_t state) override {
    windowState = state;
    if (state == 1) desk_.Find(hwnd_)->iconic = true;
  }
  void SetStatusCaption(std::u16string_view caption) override { status = caption; }
  bool MenuChecked(std::u16string_view item) const override {
    auto it = checks.find(std::u16string(item));
    return it != checks.end() && it->second;
  }
  void SetMenuChecked(std::u16string_view item, bool checked) override {
    checks[std::u16string(item)] = checked;
  }
  platform::WindowProc ReplaceWindowProc(platform::WindowProc proc) override {
    return desk_.Loop().SetWindowProc(hwnd_, std::move(proc));
  }
  void ShowAbout() override { ++aboutShown; }
  void Close() override { closed = true; }
  shell::ProgramVersion Version() const override { return {1, 2, 345}; }

  std::map<std::u16string, std::u16string> captions;
  std::map<std::u16string, bool> checks;
  std::u16string status;
  std::int32_t windowState = 0;
  int aboutShown = 0;
  bool closed = false;
  std::vector<std::uint32_t> formMessages;

 private:
  platform::SimDesktop& desk_;
  platform::Hwnd hwnd_ = 0;
};

}  // namespace quellon::testing
