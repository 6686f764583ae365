// Docking a window of this program as an application bar at an edge of the screen, so that
// maximised windows of other programs leave its strip free.
#pragma once

#include <cstdint>

#include "platform/event_loop.h"
#include "platform/shell.h"
#include "platform/window_system.h"

namespace quellon::aids {

// What the docking object needs of the form it docks: its window and its size in twips, and the
// screen's twips per pixel to turn that size into pixels.
class DockedForm {
 public:
  virtual ~DockedForm() = default;
  virtual platform::Hwnd DockedHandle() const = 0;
  virtual std::int32_t DockedWidth() const = 0;
  virtual std::int32_t DockedHeight() const = 0;
  virtual std::int32_t TwipsPerPixelX() const = 0;
  virtual std::int32_t TwipsPerPixelY() const = 0;
};

class AppBarDocking {
 public:
  // Screen edges in the shell's numbering (ABE_LEFT 0, ABE_TOP 1, ABE_RIGHT 2, ABE_BOTTOM 3).
  static constexpr std::uint32_t kLeft = 0;
  static constexpr std::uint32_t kTop = 1;
  static constexpr std::uint32_t kRight = 2;
  static constexpr std::uint32_t kBottom = 3;

  virtual ~AppBarDocking() = default;
  // Keeps `form` and registers its window as a new application bar. False when the shell
  // refuses it (the form is kept all the same).
  virtual bool Add(DockedForm& form) = 0;
  // Gives the strip back to the desktop and lets go of the form; nothing when none is held.
  virtual void Remove() = 0;
  // Asks the shell for a strip of the form's thickness at `edge`; false when none is granted.
  virtual bool DockToEdge(std::uint32_t edge) = 0;
  // The form's resize event: the form goes onto the granted strip.
  virtual void frm_Resize() = 0;
};

// Nothing is docked; the window stays where it is.
class NullAppBarDocking final : public AppBarDocking {
 public:
  bool Add(DockedForm&) override { return false; }
  void Remove() override {}
  bool DockToEdge(std::uint32_t) override { return false; }
  void frm_Resize() override {}
};

// The application bar through the shell port (SHAppBarMessage).
class cAppDesktopToolbar final : public AppBarDocking {
 public:
  cAppDesktopToolbar(platform::Shell& shell, platform::WindowSystem& windows)
      : shell_(shell), windows_(windows) {}
  bool Add(DockedForm& form) override;
  void Remove() override;
  bool DockToEdge(std::uint32_t edge) override;
  void frm_Resize() override;

  bool Holding() const { return frm_ != nullptr; }
  // The strip last granted (screen pixels); empty before the first.
  const platform::Rect& Granted() const { return granted_; }

 private:
  platform::Shell& shell_;
  platform::WindowSystem& windows_;
  DockedForm* frm_ = nullptr;
  platform::Hwnd hwnd_ = 0;
  platform::Rect granted_;
  bool hasGrant_ = false;
};

}  // namespace quellon::aids
