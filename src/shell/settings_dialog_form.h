// The settings dialog's window (frmSet) as the program sees it: the voice list List1, the
// sliders HSVolume, HSTempo and HSPitch (0..100) with their value labels lbVolume, lbTempo and
// lbPitch, and the buttons OK, Cancel and Test. Captions arrive by control name. The window tells
// the dialog what the user did through SettingsDialogEvents; what the program sets itself (a list
// index, a slider position) raises no event.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "strings/string_table.h"

namespace quellon::shell {

inline constexpr std::u16string_view kVolumeSlider = u"HSVolume";
inline constexpr std::u16string_view kTempoSlider = u"HSTempo";
inline constexpr std::u16string_view kPitchSlider = u"HSPitch";
inline constexpr std::int32_t kSliderMax = 100;

// What the user did in the window.
class SettingsDialogEvents {
 public:
  virtual ~SettingsDialogEvents() = default;
  // A slider the user moved (its new position is already the slider's).
  virtual void OnSliderChange(std::u16string_view slider) = 0;
  virtual void OnSliderGotFocus(std::u16string_view slider) = 0;
  // The user selected an entry of List1.
  virtual void OnListClick() = 0;
  virtual void OnTestClick() = 0;
  // OK, also Enter.
  virtual void OnOKClick() = 0;
  // Cancel, also Escape and the window's close box.
  virtual void OnCancelClick() = 0;
};

class SettingsDialogForm : public strings::CaptionTarget {
 public:
  std::u16string_view FormName() const override { return u"frmSet"; }
  virtual void SetEvents(SettingsDialogEvents* events) = 0;
  // Shows the window modeless, or brings it to the front when it is shown already.
  virtual void ShowDialogWindow() = 0;
  virtual void HideDialogWindow() = 0;
  virtual bool DialogVisible() const = 0;
  // Destroys the window (the program ends).
  virtual void DestroyDialogWindow() = 0;

  // List1.
  virtual void AddVoice(const std::u16string& name) = 0;
  virtual std::int32_t ListCount() const = 0;
  virtual std::u16string ListEntry(std::int32_t index) const = 0;
  // -1: nothing selected.
  virtual std::int32_t ListIndex() const = 0;
  virtual void SetListIndex(std::int32_t index) = 0;

  // HSVolume, HSTempo, HSPitch.
  virtual std::int32_t Slider(std::u16string_view slider) const = 0;
  virtual void SetSlider(std::u16string_view slider, std::int32_t value) = 0;
  // lbVolume, lbTempo, lbPitch: the label beside `slider`.
  virtual void SetValueLabel(std::u16string_view slider, const std::u16string& text) = 0;
  virtual std::u16string ValueLabel(std::u16string_view slider) const = 0;
};

// The dialog without a window: what it holds is kept in memory and "shown" is a flag. The
// program uses it where there is no window system of its own (the simulated desktop, a build
// without forms); tests play the user through Events().
class MemorySettingsDialogForm : public SettingsDialogForm {
 public:
  void SetCaption(std::u16string_view control, std::u16string_view caption) override {
    captions[std::u16string(control)] = std::u16string(caption);
  }
  void SetEvents(SettingsDialogEvents* events) override { events_ = events; }
  SettingsDialogEvents* Events() const { return events_; }
  void ShowDialogWindow() override {
    visible_ = true;
    ++showCount;
  }
  void HideDialogWindow() override { visible_ = false; }
  bool DialogVisible() const override { return visible_; }
  void DestroyDialogWindow() override {
    visible_ = false;
    destroyed = true;
  }
  void AddVoice(const std::u16string& name) override { list_.push_back(name); }
  std::int32_t ListCount() const override { return static_cast<std::int32_t>(list_.size()); }
  std::u16string ListEntry(std::int32_t index) const override {
    return index >= 0 && index < ListCount() ? list_[static_cast<std::size_t>(index)]
                                             : std::u16string();
  }
  std::int32_t ListIndex() const override { return index_; }
  void SetListIndex(std::int32_t index) override {
    index_ = index >= 0 && index < ListCount() ? index : -1;
  }
  std::int32_t Slider(std::u16string_view slider) const override {
    auto it = sliders_.find(std::u16string(slider));
    return it == sliders_.end() ? 0 : it->second;
  }
  void SetSlider(std::u16string_view slider, std::int32_t value) override {
    sliders_[std::u16string(slider)] = value;
  }
  void SetValueLabel(std::u16string_view slider, const std::u16string& text) override {
    labels_[std::u16string(slider)] = text;
  }
  std::u16string ValueLabel(std::u16string_view slider) const override {
    auto it = labels_.find(std::u16string(slider));
    return it == labels_.end() ? std::u16string() : it->second;
  }

  std::unordered_map<std::u16string, std::u16string> captions;
  int showCount = 0;
  bool destroyed = false;

 private:
  SettingsDialogEvents* events_ = nullptr;
  bool visible_ = false;
  std::vector<std::u16string> list_;
  std::int32_t index_ = -1;
  std::unordered_map<std::u16string, std::int32_t> sliders_;
  std::unordered_map<std::u16string, std::u16string> labels_;
};

}  // namespace quellon::shell
