#include "main_form.h"

#include <vector>

#include "strings/string_table.h"

namespace quellon::app {
namespace {

constexpr wchar_t kClassName[] = L"QuellonMain";
constexpr UINT kFirstItemId = 100;

struct MenuItem {
  const char16_t* name;  // control name; nullptr for a separator
};
struct Popup {
  const char16_t* name;
  std::vector<MenuItem> items;
};
const std::vector<Popup>& MenuLayout() {
  static const std::vector<Popup> layout = {
      {u"mnufile",
       {{u"mnuSetShow"}, {u"mnuSndMouse"}, {u"mnuShowInfo"}, {nullptr}, {u"mnuFileExit"}}},
      {u"mnuControl",
       {{u"mnuActiveObject"},
        {u"mnuWuxExp"},
        {u"mnuNavBack"},
        {u"mnuNavForward"},
        {u"mnuReadWin"},
        {u"mnuActivatePR"},
        {nullptr},
        {u"mnuTime"}}},
      {u"mnuHelp", {{u"mnuAbout"}, {u"mnuHelpOpen"}}},
  };
  return layout;
}

Win32MainForm* g_form = nullptr;

LRESULT CALLBACK FormThunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (g_form != nullptr) return g_form->Dispatch(hwnd, message, wParam, lParam);
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

Win32MainForm::Win32MainForm() {
  g_form = this;
}

Win32MainForm::~Win32MainForm() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
  if (g_form == this) g_form = nullptr;
}

bool Win32MainForm::Create(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = FormThunk;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);
  BuildMenu();
  hwnd_ =
      CreateWindowExW(0, kClassName, L"Quellon", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                      kPictureWidth + 40, kPictureHeight + 120, nullptr, menu_, instance, nullptr);
  if (hwnd_ == nullptr) return false;
  status_ = CreateWindowExW(0, L"STATIC", L"Status", WS_CHILD | WS_VISIBLE, 0, kPictureHeight,
                            kPictureWidth, kLabelHeight, hwnd_, nullptr, instance, nullptr);
  SnapSize();
  return true;
}

void Win32MainForm::BuildMenu() {
  // The captions are the Czech ones until the string table puts in the language of the settings.
  const strings::StringTable czech = strings::StringTable::Loaded(false);
  static const std::map<std::u16string_view, int> numbers = {
      {u"mnufile", 2},        {u"mnuControl", 3},  {u"mnuHelp", 4},        {u"mnuSetShow", 5},
      {u"mnuSndMouse", 6},    {u"mnuShowInfo", 7}, {u"mnuFileExit", 8},    {u"mnuActiveObject", 9},
      {u"mnuWuxExp", 10},     {u"mnuNavBack", 11}, {u"mnuNavForward", 12}, {u"mnuReadWin", 13},
      {u"mnuActivatePR", 14}, {u"mnuTime", 15},    {u"mnuAbout", 16},      {u"mnuHelpOpen", 17}};
  auto caption = [&](const char16_t* name) {
    const auto it = numbers.find(name);
    return it == numbers.end() ? std::u16string(name) : czech.GetString(it->second);
  };
  menu_ = CreateMenu();
  UINT id = kFirstItemId;
  int position = 0;
  for (const Popup& popup : MenuLayout()) {
    HMENU sub = CreatePopupMenu();
    for (const MenuItem& item : popup.items) {
      if (item.name == nullptr) {
        AppendMenuW(sub, MF_SEPARATOR, 0, nullptr);
        continue;
      }
      AppendMenuW(sub, MF_STRING, id, platform::win32::Wide(caption(item.name)));
      itemIds_[item.name] = id;
      itemNames_[id] = item.name;
      ++id;
    }
    AppendMenuW(menu_, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub),
                platform::win32::Wide(caption(popup.name)));
    popupPositions_[popup.name] = position++;
  }
}

void Win32MainForm::SetCaption(std::u16string_view control, std::u16string_view caption) {
  const std::u16string text(caption);
  if (control.empty()) {
    SetWindowTextW(hwnd_, platform::win32::Wide(text));
    return;
  }
  if (const auto it = itemIds_.find(control); it != itemIds_.end()) {
    ModifyMenuW(menu_, it->second, MF_BYCOMMAND | MF_STRING, it->second,
                platform::win32::Wide(text));
  } else if (const auto p = popupPositions_.find(control); p != popupPositions_.end()) {
    HMENU sub = GetSubMenu(menu_, p->second);
    ModifyMenuW(menu_, static_cast<UINT>(p->second), MF_BYPOSITION | MF_STRING | MF_POPUP,
                reinterpret_cast<UINT_PTR>(sub), platform::win32::Wide(text));
  }
  if (hwnd_ != nullptr) DrawMenuBar(hwnd_);
}

void Win32MainForm::SetWindowState(std::int32_t state) {
  // Minimised without taking the activation from the program the user works in.
  if (state == 1) ShowWindow(hwnd_, SW_SHOWMINNOACTIVE);
  if (state == 2) ShowWindow(hwnd_, SW_SHOWMAXIMIZED);
  if (state == 0) ShowWindow(hwnd_, SW_SHOWNORMAL);
}

void Win32MainForm::SetStatusCaption(std::u16string_view caption) {
  SetWindowTextW(status_, platform::win32::Wide(std::u16string(caption)));
}

bool Win32MainForm::MenuChecked(std::u16string_view item) const {
  const auto it = itemIds_.find(item);
  if (it == itemIds_.end()) return false;
  return (GetMenuState(menu_, it->second, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

void Win32MainForm::SetMenuChecked(std::u16string_view item, bool checked) {
  const auto it = itemIds_.find(item);
  if (it != itemIds_.end()) {
    CheckMenuItem(menu_, it->second, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
  }
}

platform::WindowProc Win32MainForm::ReplaceWindowProc(platform::WindowProc proc) {
  platform::WindowProc previous;
  if (replaced_) {
    previous = std::move(proc_);
  } else {
    previous = [this](platform::Hwnd w, std::uint32_t message, platform::WParam wParam,
                      platform::LParam lParam) -> platform::LResult {
      return OwnProc(platform::win32::ToHwnd(w), message, wParam, lParam);
    };
  }
  proc_ = std::move(proc);
  replaced_ = static_cast<bool>(proc_);
  return previous;
}

LRESULT Win32MainForm::Dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (hwnd == hwnd_ && replaced_) {
    const platform::WindowProc proc = proc_;  // the procedure may put the previous one back
    return proc(platform::win32::FromHwnd(hwnd), message, wParam, lParam);
  }
  return OwnProc(hwnd, message, wParam, lParam);
}

LRESULT Win32MainForm::OwnProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kTestBusyMessage:
      if (testBusy_) Sleep(static_cast<DWORD>(wParam < 10000 ? wParam : 10000));
      return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == 0 && main_ != nullptr) {
        if (const auto it = itemNames_.find(LOWORD(wParam)); it != itemNames_.end()) {
          main_->OnMenu(it->second);
          return 0;
        }
      }
      break;
    case WM_SIZE:
      if (wParam == SIZE_RESTORED) SnapSize();
      break;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_CLOSE:
      // Unloading the main window shuts the program down.
      if (main_ != nullptr) main_->Unload();
      Close();
      return 0;
    case WM_DESTROY:
      if (hwnd == hwnd_) {
        hwnd_ = nullptr;
        PostQuitMessage(0);
      }
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

void Win32MainForm::SnapSize() {
  // The picture's size plus the frame, menu and caption, and 250 twips for the label.
  if (hwnd_ == nullptr || IsIconic(hwnd_) || IsZoomed(hwnd_)) return;
  HDC dc = GetDC(hwnd_);
  const int dpiY = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
  if (dc) ReleaseDC(hwnd_, dc);
  const int width = kPictureWidth + 2 * GetSystemMetrics(SM_CXFRAME);
  const int height = kPictureHeight + 2 * GetSystemMetrics(SM_CYFRAME) +
                     GetSystemMetrics(SM_CYMENU) + GetSystemMetrics(SM_CYCAPTION) +
                     MulDiv(250, dpiY, 1440);
  RECT r{};
  GetWindowRect(hwnd_, &r);
  if (r.right - r.left != width || r.bottom - r.top != height) {
    SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void Win32MainForm::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  RECT picture{0, 0, kPictureWidth, kPictureHeight};
  HBRUSH back = CreateSolidBrush(RGB(0, 51, 102));
  FillRect(dc, &picture, back);
  DeleteObject(back);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 204, 0));
  HFONT font =
      CreateFontW(56, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
  HGDIOBJ old = SelectObject(dc, font);
  DrawTextW(dc, L"Quellon", -1, &picture, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SelectObject(dc, old);
  DeleteObject(font);
  EndPaint(hwnd_, &ps);
}

void Win32MainForm::Close() {
  if (closing_ || hwnd_ == nullptr) return;
  closing_ = true;
  DestroyWindow(hwnd_);
}

shell::ProgramVersion Win32MainForm::Version() const {
  shell::ProgramVersion version;
  wchar_t path[MAX_PATH * 4] = {};
  if (GetModuleFileNameW(nullptr, path, MAX_PATH * 4) == 0) return version;
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
  if (size == 0) return version;
  std::vector<char> data(size);
  if (!GetFileVersionInfoW(path, 0, size, data.data())) return version;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) ||
      info == nullptr || length < sizeof(VS_FIXEDFILEINFO)) {
    return version;
  }
  version.major = HIWORD(info->dwFileVersionMS);
  version.minor = LOWORD(info->dwFileVersionMS);
  version.revision = HIWORD(info->dwFileVersionLS);
  return version;
}

}  // namespace quellon::app
