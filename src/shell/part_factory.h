// The one place where the main window gets its parts. The main window asks for every part once
// the program exists (after the engine and the speech routine, startup step 6), in the order in
// which they need each other, and starts each at its own startup step. This factory builds what
// exists so far and the null parts for the rest; the Windows program and tests derive from it
// to build their own.
#pragma once

#include <memory>

#include "access/aa_enum.h"
#include "access/directui_reader.h"
#include "access/item_list.h"
#include "access/mod_gui_text.h"
#include "access/mod_ie.h"
#include "access/web_reader.h"
#include "aids/app_bar_docking.h"
#include "aids/frame_follower.h"
#include "aids/highlight_frame.h"
#include "aids/info_band.h"
#include "core/program.h"
#include "reader/accessibility_hook.h"
#include "reader/caret_readers.h"
#include "reader/edit_caret_readers.h"
#include "reader/event_hook_library.h"
#include "reader/focus_tracking.h"
#include "reader/keyboard_commands.h"
#include "reader/keyboard_handler.h"
#include "reader/mouse_announcer.h"
#include "shell/automation.h"
#include "shell/settings_dialog.h"
#include "synth/progress_sound.h"
#include "synth/progress_tone.h"

namespace quellon::shell {

class PartFactory {
 public:
  virtual ~PartFactory() = default;

  virtual std::unique_ptr<aids::AppBarDocking> MakeAppBarDocking(const core::Program&) {
    return std::make_unique<aids::NullAppBarDocking>();
  }
  // `frame` follows the items the band's list keys point at.
  virtual std::unique_ptr<aids::InfoBand> MakeInfoBand(const core::Program&, aids::AppBarDocking&,
                                                       aids::FrameFollower& frame) {
    (void)frame;
    return std::make_unique<aids::NullInfoBand>();
  }
  virtual std::unique_ptr<aids::HighlightFrame> MakeHighlightFrame(const core::Program&) {
    return std::make_unique<aids::NullHighlightFrame>();
  }
  virtual std::unique_ptr<ProgressTone> MakeProgressTone(const core::Program& program) {
    return std::make_unique<ProgressSound>(program.state.ProgramFolder, program.ports.waveOut,
                                           program.ports.loop);
  }
  virtual std::unique_ptr<access::ItemList> MakeItemList(const core::Program& program) {
    return std::make_unique<access::clsAAenum>(program);
  }
  virtual std::unique_ptr<access::WebReader> MakeWebReader(const core::Program& program) {
    return std::make_unique<access::modIE>(program.state, program.ports.windows, program.ports.html,
                                           program.output);
  }
  virtual std::unique_ptr<access::DirectUIReader> MakeDirectUIReader(const core::Program& program) {
    return std::make_unique<access::modGUIText>(program.ports.windows, program.ports.access,
                                                reader::WordAt);
  }
  virtual std::unique_ptr<reader::CaretReaders> MakeCaretReaders(const core::Program& program) {
    return std::make_unique<reader::EditCaretReaders>(program.state, program.ports.windows,
                                                      program.ports.clipboard, program.output);
  }
  virtual std::unique_ptr<reader::MouseAnnouncer> MakeMouseAnnouncer(const core::Program& program) {
    return std::make_unique<reader::PointerAnnouncer>(program.ports.windows, program.ports.access,
                                                      program.output);
  }
  virtual std::unique_ptr<reader::FocusAnnouncer> MakeFocusTracking(
      const core::Program& program, const reader::FocusTrackingParts& parts) {
    return std::make_unique<reader::FocusTracking>(program.state, program.ports.windows,
                                                   program.ports.access, program.strings,
                                                   program.output, parts);
  }
  virtual std::unique_ptr<reader::AccessibilityHook> MakeAccessibilityHook(
      const core::Program& program, reader::EventHookLibrary& events,
      reader::FocusAnnouncer& focus) {
    return std::make_unique<reader::EventLibraryHook>(events, program.mainWindow, focus);
  }
  virtual std::unique_ptr<reader::KeyboardHandler> MakeKeyboardHandler(
      const core::Program& program, const reader::KeyboardParts& parts) {
    return std::make_unique<reader::KeyboardCommands>(program, parts);
  }
  virtual std::unique_ptr<SettingsDialog> MakeSettingsDialog(const core::Program& program,
                                                             SapiVoiceSelector selectSapiVoice) {
    // Without a window of its own (MemorySettingsDialogForm).
    return std::make_unique<frmSet>(program, nullptr, std::move(selectSapiVoice));
  }
  virtual std::unique_ptr<Automation> MakeAutomation(const core::Program& program,
                                                     const AutomationParts& parts) {
    return std::make_unique<App>(program, parts);
  }
};

}  // namespace quellon::shell
