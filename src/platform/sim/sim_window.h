// A window of the simulated desktop: its class, text, styles and place, and the state of the
// control kind it belongs to.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/sim_accessible.h"
#include "platform/sim/sim_edit.h"
#include "platform/win_types.h"

namespace quellon::platform {

class SimControlKind;
class SimHtmlDocument;

// A custom message answer: return nullopt to leave the message to the class's own behaviour.
using SimMessageHandler =
    std::function<std::optional<LResult>(std::uint32_t message, WParam wParam, LParam lParam)>;

struct SimWindow {
  Hwnd hwnd = 0;
  std::u16string className;
  std::u16string text;
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  Hwnd parent = 0;
  std::vector<Hwnd> children;  // in Z order (first is top)
  Rect rect;                   // screen coordinates
  ThreadId thread = 0;
  std::uint32_t process = 0;
  bool iconic = false;
  // How the window's class behaves (nullptr: a plain window); chosen by the class name when the
  // window is made.
  const SimControlKind* kind = nullptr;
  bool hasIcon = false;  // a static control showing an icon (STM_GETICON answers non-zero)
  std::uint32_t check = BST_UNCHECKED;  // buttons: BM_GETCHECK
  std::int32_t progress = 0;
  std::vector<std::u16string> items;  // list boxes: the item texts
  std::int32_t selected = -1;         // list boxes: the selected item
  std::unique_ptr<SimEdit> edit;
  std::shared_ptr<SimAccessible> client;  // OBJID_CLIENT
  std::shared_ptr<SimAccessible> window;  // OBJID_WINDOW
  SimMessageHandler handler;
  std::shared_ptr<SimHtmlDocument> document;
  // The caret a view that draws its own text shows (a DirectUI view), in client coordinates.
  std::optional<Rect> drawnCaret;
  bool ownProgram = false;  // one of the screen reader's own windows (its messages go to the loop)
  std::uint32_t colorKey = 0;
  std::uint32_t layeredFlags = 0;
};

}  // namespace quellon::platform
