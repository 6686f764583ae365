#include "aids/info_band.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace quellon::aids {
namespace {

using platform::SM_CXSCREEN;
using platform::SM_CYBORDER;
using platform::SM_CYCAPTION;
using platform::SM_CYHSCROLL;
using platform::SM_CYSCREEN;

// The largest font size when the screen's height is not known.
constexpr std::int32_t kLargestFontSize = 1000;

std::int32_t ClampToInt32(std::int64_t v) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

frmInfo::frmInfo(std::unique_ptr<InfoBandForm> form, InfoBandParts parts)
    : form_(std::move(form)), parts_(std::move(parts)) {}

frmInfo::~frmInfo() {
  // The strip goes back to the desktop whatever happens to the band; the menu is not touched.
  if (form_->BandLoaded()) {
    parts_.docking.Remove();
    form_->UnloadBandWindow();
  }
}

std::int32_t frmInfo::TwipsPerPixelY() const {
  const std::int32_t twips = form_->TwipsPerPixelY();
  return twips > 0 ? twips : 15;
}

std::int32_t frmInfo::FontSize() const {
  // A band twice the font size high must fit on the screen; a size below 1 shows nothing.
  const std::int32_t screen = parts_.windows.GetSystemMetrics(SM_CYSCREEN);
  const std::int32_t largest = screen > 1 ? screen / 2 : kLargestFontSize;
  return std::clamp(parts_.settings.InfoTextSize(), 1, largest);
}

bool frmInfo::Load() {
  if (form_->BandLoaded()) return true;
  if (!form_->LoadBandWindow(*this)) return false;
  form_->SetBandCaption(kCaption);
  form_->SetBandText(kInitialText);
  const std::int32_t size = FontSize();
  form_->SetBandColors(static_cast<std::uint32_t>(parts_.settings.InfoTextFC()),
                       static_cast<std::uint32_t>(parts_.settings.InfoTextBC()));
  form_->SetBandFontSize(size);
  const std::int32_t height = ClampToInt32(std::int64_t{size} * 2 * TwipsPerPixelY());
  form_->SetBandHeight(height);
  const std::int32_t twipsX = form_->TwipsPerPixelX() > 0 ? form_->TwipsPerPixelX() : 15;
  const std::int32_t width =
      ClampToInt32(std::int64_t{parts_.windows.GetSystemMetrics(SM_CXSCREEN)} * twipsX);
  form_->PlaceBandText(0, 0, width, height);
  return true;
}

void frmInfo::Unload() {
  if (!form_->BandLoaded()) return;
  // The list keys live in the band: window reading mode ends with it, and the frame leaves its
  // item.
  if (parts_.state.ListMode && parts_.frame != nullptr) parts_.frame->Hide();
  parts_.state.ListMode = false;
  HideEx();
  form_->UnloadBandWindow();
}

void frmInfo::ShowEx(std::int32_t /*modal*/) {
  if (!Load()) return;
  // A band the shell does not dock stays shown where it stands.
  parts_.docking.Add(*form_);
  parts_.docking.DockToEdge(AppBarDocking::kTop);
  form_->ShowBandWindow();
  parts_.docking.frm_Resize();
  shown_ = true;
  if (parts_.setMenuChecked) parts_.setMenuChecked(true);
}

void frmInfo::HideEx() {
  parts_.docking.Remove();
  if (form_->BandLoaded()) form_->HideBandWindow();
  shown_ = false;
  if (parts_.setMenuChecked) parts_.setMenuChecked(false);
}

std::int32_t frmInfo::RequiredHeight() const {
  const std::int64_t pixels = std::int64_t{FontSize()} * 2 +
                              parts_.windows.GetSystemMetrics(SM_CYHSCROLL) +
                              2 * std::int64_t{parts_.windows.GetSystemMetrics(SM_CYBORDER)} +
                              parts_.windows.GetSystemMetrics(SM_CYCAPTION);
  return ClampToInt32(pixels * TwipsPerPixelY());
}

void frmInfo::SetText(const std::u16string& text) {
  if (!Load()) return;
  form_->SetBandText(text);
}

void frmInfo::ShowBand() {
  if (!Load()) {
    // The menu item the caller has just checked says no band is there.
    shown_ = false;
    if (parts_.setMenuChecked) parts_.setMenuChecked(false);
    return;
  }
  ShowEx(0);
  form_->SetBandText(u"");
}

void frmInfo::HideBand() {
  if (form_->BandLoaded()) {
    Unload();
  } else {
    shown_ = false;
  }
}

bool frmInfo::BandVisible() const {
  return form_->BandLoaded() && form_->BandWindowVisible();
}

void frmInfo::UnloadBand() {
  Unload();
}

platform::Hwnd frmInfo::BandTextWindow() const {
  return form_->BandLoaded() ? form_->BandTextHandle() : 0;
}

std::int32_t frmInfo::BandLeft() const {
  return form_->BandLoaded() ? form_->BandLeft() : 0;
}

std::int32_t frmInfo::BandTop() const {
  return form_->BandLoaded() ? form_->BandTop() : 0;
}

void frmInfo::FocusBand() {
  if (form_->BandLoaded()) form_->FocusBandText();
}

bool frmInfo::Form_KeyDown(std::uint32_t vk) {
  if (vk != platform::VK_ESCAPE && vk != platform::VK_BACK) return false;
  Unload();
  return true;
}

void frmInfo::ShowItem() {
  access::ItemList& items = parts_.items();
  const std::int32_t index = parts_.state.ListIndex;
  // Indexes start at 1; 0 is the place before the first item and shows nothing (nor is any
  // item framed there).
  if (index < 1 || index > items.Count()) {
    if (parts_.frame != nullptr) parts_.frame->Hide();
    return;
  }
  items.GetItemRole(index);
  const std::u16string text = items.GetItem(index);
  form_->SetBandText(text);
  items.Target(index);
  // Its place is asked for only when the frame is wanted: the item belongs to another program.
  if (parts_.frame != nullptr && parts_.frame->Active()) {
    parts_.frame->Follow(items.ItemLocation(index));
  }
  // The item moved to is heard (the keyboard handler leaves the band's lines to the band).
  if (parts_.say) parts_.say(text);
}

void frmInfo::Text1_KeyUp(std::uint32_t vk) {
  core::ProgramState& state = parts_.state;
  if (!state.ListMode) return;
  if (vk == platform::VK_DOWN) {
    const std::int32_t count = std::max(0, parts_.items().Count());
    state.ListIndex = state.ListIndex >= count ? count : state.ListIndex + 1;
    ShowItem();
  } else if (vk == platform::VK_UP) {
    state.ListIndex = state.ListIndex > 0 ? state.ListIndex - 1 : 0;
    ShowItem();
  } else if (vk == platform::VK_RETURN) {
    access::ItemList& items = parts_.items();
    const std::int32_t index = state.ListIndex;
    if (index >= 1 && index <= items.Count()) items.DoAction(index);
    if (parts_.frame != nullptr) parts_.frame->Hide();
    state.ListMode = false;
    Unload();
  }
}

}  // namespace quellon::aids
