#include "settings_dialog_form.h"

#include <commctrl.h>

#include <vector>

#include "platform/win32/win32_event_loop.h"

namespace quellon::app {
namespace {

using platform::win32::FromWide;
using platform::win32::Wide;

constexpr int kListId = 1001;
constexpr int kTestId = 1002;
constexpr int kFirstSliderId = 1010;  // + row
constexpr int kFirstValueId = 1020;   // + row

// A control's place in dialog units (scaled by the dialog's font).
struct Place {
  int x, y, cx, cy;
};

// Dialog units: 280 x 170 in all.
constexpr Place kDialogSize{0, 0, 280, 170};
constexpr Place kVoicesFrame{7, 7, 130, 135};
constexpr Place kVoicesLabel{14, 19, 116, 10};
constexpr Place kVoiceList{14, 31, 116, 106};
constexpr int kRowTop = 7, kRowHeight = 45;
constexpr Place kButtons[] = {{7, 149, 50, 14}, {61, 149, 50, 14}, {115, 149, 50, 14}};

// One frame, label and value label name of each slider row.
struct RowNames {
  std::u16string_view slider, frame, label;
};
constexpr RowNames kRows[] = {
    {shell::kVolumeSlider, u"frmVolume", u"lblVolume"},
    {shell::kTempoSlider, u"frmTempo", u"lblTempo"},
    {shell::kPitchSlider, u"frmPitch", u"lblPitch"},
};

// An empty dialog template: the caption and the font; the controls are made in WM_INITDIALOG.
std::vector<WORD> EmptyTemplate() {
  std::vector<WORD> t(sizeof(DLGTEMPLATE) / sizeof(WORD) + 1, 0);
  auto* head = reinterpret_cast<DLGTEMPLATE*>(t.data());
  head->style = DS_SETFONT | DS_MODALFRAME | DS_3DLOOK | WS_POPUP | WS_CAPTION | WS_SYSMENU;
  head->dwExtendedStyle = WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;
  head->cdit = 0;
  head->cx = static_cast<short>(kDialogSize.cx);
  head->cy = static_cast<short>(kDialogSize.cy);
  t.resize(sizeof(DLGTEMPLATE) / sizeof(WORD));
  t.push_back(0);  // no menu
  t.push_back(0);  // the standard dialog class
  t.push_back(0);  // no caption yet
  t.push_back(8);  // the font's size in points
  for (const wchar_t* f = L"MS Shell Dlg"; *f != 0; ++f) t.push_back(static_cast<WORD>(*f));
  t.push_back(0);
  return t;
}

INT_PTR CALLBACK DialogThunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
  auto* form = reinterpret_cast<Win32SettingsDialogForm*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  return form != nullptr ? form->DialogProc(hwnd, message, wParam, lParam) : FALSE;
}

LRESULT CALLBACK SliderThunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* form = reinterpret_cast<Win32SettingsDialogForm*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  return form != nullptr ? form->SliderProc(hwnd, message, wParam, lParam)
                         : DefWindowProcW(hwnd, message, wParam, lParam);
}

std::u16string TextOf(HWND hwnd) {
  const int n = GetWindowTextLengthW(hwnd);
  if (n <= 0) return {};
  std::vector<wchar_t> buffer(static_cast<std::size_t>(n) + 1);
  const int got = GetWindowTextW(hwnd, buffer.data(), n + 1);
  return FromWide(buffer.data(), static_cast<std::size_t>(got > 0 ? got : 0));
}

}  // namespace

Win32SettingsDialogForm::Win32SettingsDialogForm(HINSTANCE instance) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  for (std::size_t i = 0; i < rows_.size(); ++i) rows_[i].name = kRows[i].slider;
  std::vector<WORD> t = EmptyTemplate();
  dialog_ = CreateDialogIndirectParamW(instance, reinterpret_cast<const DLGTEMPLATE*>(t.data()),
                                       nullptr, DialogThunk, reinterpret_cast<LPARAM>(this));
  if (dialog_ != nullptr) {
    platform::Win32EventLoop::AddModelessDialog(platform::win32::FromHwnd(dialog_));
  }
}

Win32SettingsDialogForm::~Win32SettingsDialogForm() {
  DestroyDialogWindow();
}

void Win32SettingsDialogForm::CreateControls(HWND dialog) {
  const HFONT font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
  auto make = [&](const wchar_t* cls, const wchar_t* text, DWORD style, Place p, int id,
                  DWORD exStyle = 0) {
    RECT r{p.x, p.y, p.x + p.cx, p.y + p.cy};
    MapDialogRect(dialog, &r);
    HWND h = CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                             r.right - r.left, r.bottom - r.top, dialog,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (h != nullptr && font != nullptr) SendMessageW(h, WM_SETFONT, WPARAM(font), FALSE);
    return h;
  };
  // Creation order is the tab order, and each label comes just before its control.
  named_.push_back({u"frmVoices", make(L"BUTTON", L"", BS_GROUPBOX, kVoicesFrame, -1)});
  named_.push_back({u"lblVoices", make(L"STATIC", L"", SS_LEFT, kVoicesLabel, -1)});
  list_ = make(L"LISTBOX", L"", LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP | WS_GROUP, kVoiceList,
               kListId, WS_EX_CLIENTEDGE);
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const int top = kRowTop + static_cast<int>(i) * kRowHeight;
    const int id = static_cast<int>(i);
    named_.push_back({kRows[i].frame, make(L"BUTTON", L"", BS_GROUPBOX, {144, top, 129, 42}, -1)});
    named_.push_back({kRows[i].label, make(L"STATIC", L"", SS_LEFT, {151, top + 12, 70, 10}, -1)});
    HWND tb = make(TRACKBAR_CLASSW, L"", TBS_HORZ | TBS_NOTICKS | WS_TABSTOP | WS_GROUP,
                   {151, top + 23, 115, 16}, kFirstSliderId + id);
    SendMessageW(tb, TBM_SETRANGEMIN, FALSE, 0);
    SendMessageW(tb, TBM_SETRANGEMAX, FALSE, shell::kSliderMax);
    SendMessageW(tb, TBM_SETLINESIZE, 0, kSmallStep);
    SendMessageW(tb, TBM_SETPAGESIZE, 0, kLargeStep);
    SetWindowLongPtrW(tb, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    const WNDPROC previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(tb, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SliderThunk)));
    if (trackbarProc_ == nullptr) trackbarProc_ = previous;
    rows_[i].trackbar = tb;
    rows_[i].valueLabel =
        make(L"STATIC", L"0", SS_RIGHT, {225, top + 12, 40, 10}, kFirstValueId + id);
  }
  named_.push_back({u"cmdOK", make(L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP,
                                   kButtons[0], IDOK)});
  named_.push_back({u"cmdCancel",
                    make(L"BUTTON", L"Storno", BS_PUSHBUTTON | WS_TABSTOP, kButtons[1], IDCANCEL)});
  named_.push_back(
      {u"cmdTest", make(L"BUTTON", L"Test", BS_PUSHBUTTON | WS_TABSTOP, kButtons[2], kTestId)});
  // The dialog's own size and a place in the middle of the screen.
  RECT r{0, 0, kDialogSize.cx, kDialogSize.cy};
  MapDialogRect(dialog, &r);
  AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
  const int w = r.right - r.left, h = r.bottom - r.top;
  SetWindowPos(dialog, nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND Win32SettingsDialogForm::Control(std::u16string_view name) const {
  for (const auto& [n, h] : named_) {
    if (n == name) return h;
  }
  return nullptr;
}

Win32SettingsDialogForm::SliderRow* Win32SettingsDialogForm::RowOf(std::u16string_view slider) {
  for (SliderRow& row : rows_) {
    if (row.name == slider) return &row;
  }
  return nullptr;
}

const Win32SettingsDialogForm::SliderRow* Win32SettingsDialogForm::RowOf(
    std::u16string_view slider) const {
  for (const SliderRow& row : rows_) {
    if (row.name == slider) return &row;
  }
  return nullptr;
}

Win32SettingsDialogForm::SliderRow* Win32SettingsDialogForm::RowOf(HWND trackbar) {
  for (SliderRow& row : rows_) {
    if (row.trackbar == trackbar && trackbar != nullptr) return &row;
  }
  return nullptr;
}

INT_PTR Win32SettingsDialogForm::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      CreateControls(hwnd);
      return FALSE;  // the focus is placed when the dialog is first shown
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const int code = HIWORD(wParam);
      if (events_ == nullptr) return TRUE;
      if (id == kListId) {
        if (code == LBN_SELCHANGE) events_->OnListClick();
      } else if (code == BN_CLICKED) {
        if (id == IDOK) events_->OnOKClick();
        if (id == IDCANCEL) events_->OnCancelClick();
        if (id == kTestId) events_->OnTestClick();
      }
      return TRUE;
    }
    case WM_HSCROLL: {
      SliderRow* row = RowOf(reinterpret_cast<HWND>(lParam));
      if (row == nullptr) return FALSE;
      const int pos = static_cast<int>(SendMessageW(row->trackbar, TBM_GETPOS, 0, 0));
      // A move is reported once, however many notices it raised (TB_ENDTRACK follows each key).
      if (pos != row->known) {
        row->known = pos;
        if (events_ != nullptr) events_->OnSliderChange(row->name);
      }
      return TRUE;
    }
    case WM_CLOSE:
      if (events_ != nullptr) {
        events_->OnCancelClick();
      } else {
        ShowWindow(hwnd, SW_HIDE);
      }
      return TRUE;
    default:
      return FALSE;
  }
}

LRESULT Win32SettingsDialogForm::SliderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = CallWindowProcW(trackbarProc_, hwnd, message, wParam, lParam);
  if (message == WM_SETFOCUS && events_ != nullptr) {
    if (SliderRow* row = RowOf(hwnd)) events_->OnSliderGotFocus(row->name);
  }
  return result;
}

void Win32SettingsDialogForm::SetCaption(std::u16string_view control, std::u16string_view caption) {
  const std::u16string text(caption);
  if (control.empty()) {
    if (dialog_ != nullptr) SetWindowTextW(dialog_, Wide(text));
    return;
  }
  if (HWND h = Control(control)) SetWindowTextW(h, Wide(text));
  // A slider's and the voice list's name is its label's caption (the window text of either is
  // not drawn; the standard accessible object names a control by it).
  if (control == u"lblVoices" && list_ != nullptr) SetWindowTextW(list_, Wide(text));
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (kRows[i].label == control && rows_[i].trackbar != nullptr) {
      SetWindowTextW(rows_[i].trackbar, Wide(text));
    }
  }
}

void Win32SettingsDialogForm::ShowDialogWindow() {
  if (dialog_ == nullptr) return;
  const bool first = !shownOnce_;
  shownOnce_ = true;
  ShowWindow(dialog_, IsIconic(dialog_) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(dialog_);
  if (first && list_ != nullptr) {
    SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list_), TRUE);
  }
}

void Win32SettingsDialogForm::HideDialogWindow() {
  if (dialog_ != nullptr) ShowWindow(dialog_, SW_HIDE);
}

bool Win32SettingsDialogForm::DialogVisible() const {
  return dialog_ != nullptr && IsWindowVisible(dialog_);
}

void Win32SettingsDialogForm::DestroyDialogWindow() {
  events_ = nullptr;
  if (dialog_ == nullptr) return;
  platform::Win32EventLoop::RemoveModelessDialog(platform::win32::FromHwnd(dialog_));
  HWND dialog = dialog_;
  dialog_ = nullptr;
  list_ = nullptr;
  for (SliderRow& row : rows_) row.trackbar = row.valueLabel = nullptr;
  named_.clear();
  DestroyWindow(dialog);
}

void Win32SettingsDialogForm::AddVoice(const std::u16string& name) {
  if (list_ != nullptr) SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(name)));
}

std::int32_t Win32SettingsDialogForm::ListCount() const {
  if (list_ == nullptr) return 0;
  const LRESULT n = SendMessageW(list_, LB_GETCOUNT, 0, 0);
  return n == LB_ERR ? 0 : static_cast<std::int32_t>(n);
}

std::u16string Win32SettingsDialogForm::ListEntry(std::int32_t index) const {
  if (list_ == nullptr || index < 0) return {};
  const LRESULT n = SendMessageW(list_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (n == LB_ERR || n <= 0) return {};
  std::vector<wchar_t> buffer(static_cast<std::size_t>(n) + 1);
  const LRESULT got = SendMessageW(list_, LB_GETTEXT, static_cast<WPARAM>(index),
                                   reinterpret_cast<LPARAM>(buffer.data()));
  return got == LB_ERR ? std::u16string() : FromWide(buffer.data(), static_cast<std::size_t>(got));
}

std::int32_t Win32SettingsDialogForm::ListIndex() const {
  if (list_ == nullptr) return -1;
  const LRESULT i = SendMessageW(list_, LB_GETCURSEL, 0, 0);
  return i == LB_ERR ? -1 : static_cast<std::int32_t>(i);
}

void Win32SettingsDialogForm::SetListIndex(std::int32_t index) {
  if (list_ != nullptr) SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::int32_t Win32SettingsDialogForm::Slider(std::u16string_view slider) const {
  const SliderRow* row = RowOf(slider);
  if (row == nullptr || row->trackbar == nullptr) return 0;
  return static_cast<std::int32_t>(SendMessageW(row->trackbar, TBM_GETPOS, 0, 0));
}

void Win32SettingsDialogForm::SetSlider(std::u16string_view slider, std::int32_t value) {
  SliderRow* row = RowOf(slider);
  if (row == nullptr || row->trackbar == nullptr) return;
  SendMessageW(row->trackbar, TBM_SETPOS, TRUE, value);
  row->known = static_cast<int>(SendMessageW(row->trackbar, TBM_GETPOS, 0, 0));
}

void Win32SettingsDialogForm::SetValueLabel(std::u16string_view slider,
                                            const std::u16string& text) {
  const SliderRow* row = RowOf(slider);
  if (row != nullptr && row->valueLabel != nullptr) SetWindowTextW(row->valueLabel, Wide(text));
}

std::u16string Win32SettingsDialogForm::ValueLabel(std::u16string_view slider) const {
  const SliderRow* row = RowOf(slider);
  return row != nullptr && row->valueLabel != nullptr ? TextOf(row->valueLabel) : std::u16string();
}

}  // namespace quellon::app
