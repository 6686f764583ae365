// The info band: a strip docked at the top of the screen that repeats what is spoken in large,
// configurable letters. Shown and hidden from the menu; the speech routine writes into it while
// it is shown; the numeric-pad rows of the keyboard handler go through it too. In window reading
// mode its text box shows the window's text and its arrow keys step through the item list.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "access/item_list.h"
#include "aids/app_bar_docking.h"
#include "aids/frame_follower.h"
#include "aids/info_band_form.h"
#include "core/c_setting.h"
#include "core/info_band_output.h"
#include "core/program_state.h"
#include "platform/window_system.h"

namespace quellon::aids {

class InfoBand : public core::InfoBandOutput {
 public:
  // Loads and shows the band, its text box emptied, docked as an application bar.
  virtual void ShowBand() = 0;
  // Hides and unloads it.
  virtual void HideBand() = 0;
  virtual bool BandVisible() const = 0;
  // Shutdown: the band's window goes.
  virtual void UnloadBand() = 0;

  // What window reading mode uses: the text box's window (0 without a band), the band's place
  // in twips as the form keeps it, and giving the keyboard to the text box so that the list keys
  // reach it. The text itself goes in with SetText.
  virtual platform::Hwnd BandTextWindow() const { return 0; }
  virtual std::int32_t BandLeft() const { return 0; }
  virtual std::int32_t BandTop() const { return 0; }
  virtual void FocusBand() {}
};

// No band: never shown, takes no text.
class NullInfoBand final : public InfoBand {
 public:
  bool IsShown() const override { return false; }
  void SetText(const std::u16string&) override {}
  void ShowBand() override {}
  void HideBand() override {}
  bool BandVisible() const override { return false; }
  void UnloadBand() override {}
};

// What the band works with besides its window.
struct InfoBandParts {
  platform::WindowSystem& windows;
  core::cSetting& settings;
  core::ProgramState& state;
  AppBarDocking& docking;
  // The item list of window reading mode (it may be replaced while the band lives).
  std::function<access::ItemList&()> items;
  // Sets the check mark of the main menu's "Show info band" item.
  std::function<void(bool checked)> setMenuChecked;
  // Speaks the item the list keys moved to (the speech routine's Say; empty: nothing spoken).
  std::function<void(const std::u16string&)> say;
  // The highlight frame, put round the item the list keys point at (null: no frame).
  FrameFollower* frame = nullptr;
};

// frmInfo.
class frmInfo final : public InfoBand, private InfoBandEvents {
 public:
  static constexpr char16_t kCaption[] = u"Quellon - Info";
  static constexpr char16_t kInitialText[] = u"Info okno\r\n";

  frmInfo(std::unique_ptr<InfoBandForm> form, InfoBandParts parts);
  ~frmInfo() override;
  frmInfo(const frmInfo&) = delete;
  frmInfo& operator=(const frmInfo&) = delete;

  // InfoBandOutput: the check mark's state, and the text box.
  bool IsShown() const override { return shown_; }
  void SetText(const std::u16string& text) override;
  // InfoBand.
  void ShowBand() override;
  void HideBand() override;
  bool BandVisible() const override;
  void UnloadBand() override;
  platform::Hwnd BandTextWindow() const override;
  std::int32_t BandLeft() const override;
  std::int32_t BandTop() const override;
  void FocusBand() override;

  // The form's own operations.
  // Creates the window and sets it up (Form_Load); nothing when it exists. False when it cannot
  // be made.
  bool Load();
  // Removes the application bar, hides the window and destroys it (Form_Unload).
  void Unload();
  // Docks the band at the top and shows it without activation; checks the menu item.
  void ShowEx(std::int32_t modal);
  // Gives the strip back, hides the band and unchecks the menu item.
  void HideEx();
  // The height in twips the band needs for its font, with a caption and a scroll bar.
  std::int32_t RequiredHeight() const;

  InfoBandForm& Form() { return *form_; }

 private:
  bool Form_KeyDown(std::uint32_t vk) override;
  void Text1_KeyUp(std::uint32_t vk) override;
  // The font size used: the setting, at least 1 and no more than keeps the band on the screen.
  std::int32_t FontSize() const;
  std::int32_t TwipsPerPixelY() const;
  void ShowItem();

  std::unique_ptr<InfoBandForm> form_;
  InfoBandParts parts_;
  bool shown_ = false;
};

}  // namespace quellon::aids
