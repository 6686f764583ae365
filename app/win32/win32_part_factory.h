// The Windows program's parts: the portable part factory with the application bar, the info band,
// the highlight frame and the settings dialog built on their Windows forms.
#pragma once

#include <memory>
#include <utility>

#include "aids/app_bar_docking.h"
#include "aids/highlight_frame.h"
#include "aids/info_band.h"
#include "platform/win32/win32_shell.h"
#include "shell/part_factory.h"
// The system headers after the ports.
#include "highlight_frame_form.h"
#include "info_band_form.h"
#include "main_form.h"
#include "settings_dialog_form.h"

namespace quellon::app {

// The item list the main window holds, as the info band reaches it: the band is made before the
// list. The main window releases the list at shutdown, after ShuttingDown is set, so from then on
// the band gets no list.
struct ItemListSlot {
  access::ItemList* list = nullptr;
  access::NullItemList none;
  access::ItemList& Get(const core::ProgramState& state) {
    return list != nullptr && !state.ShuttingDown ? *list : none;
  }
};

class Win32PartFactory : public shell::PartFactory {
 public:
  Win32PartFactory(HINSTANCE instance, Win32MainForm& mainForm)
      : instance_(instance), mainForm_(mainForm), items_(std::make_shared<ItemListSlot>()) {}

  std::unique_ptr<aids::AppBarDocking> MakeAppBarDocking(const core::Program& program) override {
    return std::make_unique<aids::cAppDesktopToolbar>(shell_, program.ports.windows);
  }
  std::unique_ptr<aids::InfoBand> MakeInfoBand(const core::Program& program,
                                               aids::AppBarDocking& docking,
                                               aids::FrameFollower& frame) override {
    Win32MainForm& form = mainForm_;
    return std::make_unique<aids::frmInfo>(
        std::make_unique<Win32InfoBandForm>(instance_),
        aids::InfoBandParts{
            program.ports.windows, program.settings, program.state, docking,
            [slot = items_, &state = program.state]() -> access::ItemList& {
              return slot->Get(state);
            },
            [&form](bool checked) { form.SetMenuChecked(u"mnuShowInfo", checked); },
            [&output = program.output](const std::u16string& text) { output.Say(text); }, &frame});
  }
  std::unique_ptr<aids::HighlightFrame> MakeHighlightFrame(const core::Program& program) override {
    return std::make_unique<aids::frmFrameHi>(std::make_unique<Win32HighlightFrameForm>(instance_),
                                              program.ports.windows, program.mainWindow);
  }
  std::unique_ptr<shell::SettingsDialog> MakeSettingsDialog(
      const core::Program& program, shell::SapiVoiceSelector selectSapiVoice) override {
    return std::make_unique<shell::frmSet>(
        program, std::make_unique<Win32SettingsDialogForm>(instance_), std::move(selectSapiVoice));
  }
  std::unique_ptr<access::ItemList> MakeItemList(const core::Program& program) override {
    std::unique_ptr<access::ItemList> list = shell::PartFactory::MakeItemList(program);
    items_->list = list.get();
    return list;
  }

 private:
  HINSTANCE instance_;
  Win32MainForm& mainForm_;
  platform::Win32Shell shell_;
  std::shared_ptr<ItemListSlot> items_;
};

}  // namespace quellon::app
