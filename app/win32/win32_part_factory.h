// The Windows program's parts: the portable part factory with the application bar, the info band
// and the highlight frame built on their Windows forms.
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

namespace quellon::app {

// The item list the main window holds, shared with the info band: the band is made before the
// list and lives past the main window's release of it, so both hold the list.
struct SharedItemListSlot {
  std::shared_ptr<access::ItemList> list;
  access::NullItemList none;
  access::ItemList& Get() { return list ? *list : none; }
};

class SharedItemList final : public access::ItemList {
 public:
  explicit SharedItemList(std::shared_ptr<access::ItemList> list) : list_(std::move(list)) {}
  void CreateItemList() override { list_->CreateItemList(); }
  void ReleaseItemList() override { list_->ReleaseItemList(); }
  void ToggleWindowReadingMode() override { list_->ToggleWindowReadingMode(); }
  std::u16string GetDetails(std::int32_t index) override { return list_->GetDetails(index); }
  std::int32_t Count() override { return list_->Count(); }
  std::int32_t GetItemRole(std::int32_t index) override { return list_->GetItemRole(index); }
  std::u16string GetItem(std::int32_t index) override { return list_->GetItem(index); }
  void Target(std::int32_t index) override { list_->Target(index); }
  void DoAction(std::int32_t index) override { list_->DoAction(index); }

 private:
  std::shared_ptr<access::ItemList> list_;
};

class Win32PartFactory : public shell::PartFactory {
 public:
  Win32PartFactory(HINSTANCE instance, Win32MainForm& mainForm)
      : instance_(instance), mainForm_(mainForm), items_(std::make_shared<SharedItemListSlot>()) {}

  std::unique_ptr<aids::AppBarDocking> MakeAppBarDocking(const core::Program& program) override {
    return std::make_unique<aids::cAppDesktopToolbar>(shell_, program.ports.windows);
  }
  std::unique_ptr<aids::InfoBand> MakeInfoBand(const core::Program& program,
                                               aids::AppBarDocking& docking) override {
    Win32MainForm& form = mainForm_;
    return std::make_unique<aids::frmInfo>(
        std::make_unique<Win32InfoBandForm>(instance_),
        aids::InfoBandParts{
            program.ports.windows, program.settings, program.state, docking,
            [slot = items_]() -> access::ItemList& { return slot->Get(); },
            [&form](bool checked) { form.SetMenuChecked(u"mnuShowInfo", checked); }});
  }
  std::unique_ptr<aids::HighlightFrame> MakeHighlightFrame(const core::Program& program) override {
    return std::make_unique<aids::frmFrameHi>(std::make_unique<Win32HighlightFrameForm>(instance_),
                                              program.ports.windows, program.mainWindow);
  }
  std::unique_ptr<access::ItemList> MakeItemList(const core::Program& program) override {
    items_->list = std::shared_ptr<access::ItemList>(shell::PartFactory::MakeItemList(program));
    if (!items_->list) return nullptr;
    return std::make_unique<SharedItemList>(items_->list);
  }

 private:
  HINSTANCE instance_;
  Win32MainForm& mainForm_;
  platform::Win32Shell shell_;
  std::shared_ptr<SharedItemListSlot> items_;
};

}  // namespace quellon::app
