// The settings dialog's window on Windows: a modeless dialog (made from an empty template, its
// controls created in code) with the voice list, three trackbars from 0 to 100 with their labels
// and value labels in frames, and OK, Cancel and Test. Tab goes list -> sliders -> buttons, Enter
// is OK, Escape and the close box are Cancel. Each label comes just before its control, and each
// slider also carries its label as its own text, so accessibility clients name the controls by
// their labels.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "shell/settings_dialog_form.h"
// The system headers after the ports.
#include "platform/win32/win32_windows.h"

namespace quellon::app {

class Win32SettingsDialogForm : public shell::SettingsDialogForm {
 public:
  // Arrow keys move a slider by kSmallStep, Page Up and Page Down by kLargeStep.
  static constexpr int kSmallStep = 5;
  static constexpr int kLargeStep = 20;

  explicit Win32SettingsDialogForm(HINSTANCE instance);
  ~Win32SettingsDialogForm() override;
  Win32SettingsDialogForm(const Win32SettingsDialogForm&) = delete;
  Win32SettingsDialogForm& operator=(const Win32SettingsDialogForm&) = delete;

  void SetCaption(std::u16string_view control, std::u16string_view caption) override;
  void SetEvents(shell::SettingsDialogEvents* events) override { events_ = events; }
  void ShowDialogWindow() override;
  void HideDialogWindow() override;
  bool DialogVisible() const override;
  void DestroyDialogWindow() override;
  void AddVoice(const std::u16string& name) override;
  std::int32_t ListCount() const override;
  std::u16string ListEntry(std::int32_t index) const override;
  std::int32_t ListIndex() const override;
  void SetListIndex(std::int32_t index) override;
  std::int32_t Slider(std::u16string_view slider) const override;
  void SetSlider(std::u16string_view slider, std::int32_t value) override;
  void SetValueLabel(std::u16string_view slider, const std::u16string& text) override;
  std::u16string ValueLabel(std::u16string_view slider) const override;

  INT_PTR DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT SliderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  struct SliderRow {
    std::u16string_view name;  // HSVolume ...
    HWND trackbar = nullptr;
    HWND valueLabel = nullptr;
    int known = 0;  // the position the last Change reported
  };

  void CreateControls(HWND dialog);
  SliderRow* RowOf(std::u16string_view slider);
  const SliderRow* RowOf(std::u16string_view slider) const;
  SliderRow* RowOf(HWND trackbar);
  HWND Control(std::u16string_view name) const;

  HWND dialog_ = nullptr;
  HWND list_ = nullptr;
  // The frames, labels and buttons by control name (what captions are set on).
  std::vector<std::pair<std::u16string_view, HWND>> named_;
  bool shownOnce_ = false;
  std::array<SliderRow, 3> rows_;
  WNDPROC trackbarProc_ = nullptr;
  shell::SettingsDialogEvents* events_ = nullptr;
};

}  // namespace quellon::app
