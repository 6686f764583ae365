// The item list of a window: its accessible objects collected in reading order (a web page item
// by item), with the reads, pointing, activation and searches the list keys use. Window reading
// mode, which fills the list for the focused window and moves through it, drives it.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/win_types.h"

namespace quellon::access {

// Indexes are 1-based throughout; an index outside 1..Count() reads as nothing ("" or 0) and
// acts on nothing. The operations added after the first eight have do-nothing defaults (those of
// NullItemList), so a part that only needs the first ones can stay small.
class ItemList {
 public:
  virtual ~ItemList() = default;
  // Startup: the list object exists from here on (empty).
  virtual void CreateItemList() = 0;
  // Shutdown: the list and the objects it holds are released.
  virtual void ReleaseItemList() = 0;
  // The description of item `index` (what "Active control" says in window reading mode).
  virtual std::u16string GetDetails(std::int32_t index) = 0;
  // What the info band's list keys use (indexes 1-based): the number of items, an item's stored
  // role, the text to show and speak for it, pointing at it, activating it.
  virtual std::int32_t Count() = 0;
  virtual std::int32_t GetItemRole(std::int32_t index) = 0;
  virtual std::u16string GetItem(std::int32_t index) = 0;
  virtual void Target(std::int32_t index) = 0;
  virtual void DoAction(std::int32_t index) = 0;

  // ---- Filling the list ----
  // Lists the accessible objects of `hwnd` (nothing for no window or a hidden one): from an
  // empty list, or after what is there when `addWin` is true.
  virtual void DoUpdate(platform::Hwnd hwnd, bool addWin) {
    (void)hwnd;
    (void)addWin;
  }
  // Removes every item (the counters and Focused stay).
  virtual void Clear() {}
  // True while DoUpdate walks a window. Safe to read from any thread: the keyboard hook's
  // thread reads it to decide whether Escape cancels the walk (MSG_CANCEL_WALK to the main
  // window, wParam 2, lParam 27).
  virtual const std::atomic<bool>& WalkRunning() const {
    static const std::atomic<bool> never{false};
    return never;
  }

  // ---- What is listed, and how it reads ----
  // Keep invisible objects.
  virtual bool ReadInvisible() const { return false; }
  virtual void SetReadInvisible(bool) {}
  // The web-page rules: linked text as links, plain text as static text, frames counted,
  // combo-box contents skipped, long static texts cut into sentences.
  virtual bool IEprofile() const { return false; }
  virtual void SetIEprofile(bool) {}
  // Drop structure: windows, clients, separators, status bars, tables, cells, link containers.
  virtual bool Filter() const { return false; }
  virtual void SetFilter(bool) {}
  // Keep unnamed graphics and name them after their file.
  virtual void SetNoTextGraph(bool) {}
  // The last listed item that had the focus when listed (0 none), and the links and frames
  // counted by the web-page rules.
  virtual std::int32_t Focused() const { return 0; }
  virtual std::int32_t NoLinks() const { return 0; }
  virtual std::int32_t NoFrames() const { return 0; }

  // ---- Items ----
  virtual std::uint32_t GetItemState(std::int32_t index) {
    (void)index;
    return 0;
  }
  // The item's place on the screen now (read live, after any scrolling Target did); nothing for
  // an item that is invisible, has gone or gives no place.
  virtual std::optional<platform::Rect> ItemLocation(std::int32_t index) {
    (void)index;
    return std::nullopt;
  }
  // Reads an item's role, state, name and value again into its record.
  virtual void RefreshItem(std::int32_t index) { (void)index; }
  // The first item that has the focus now; 0 when none.
  virtual std::int32_t FindFocused() { return 0; }
  // The first item that is visible now and is not a frame; Count() when none is.
  virtual std::int32_t FindFirstVisible() { return 0; }
  // The next item after `start` (before it for direction -1) that can take the focus, or that
  // is a frame; 0 past the end (no wrap-around). `start` moves on by `direction` first.
  virtual std::int32_t FindNextFocus(std::int32_t& start, std::int16_t direction) {
    (void)start;
    (void)direction;
    return 0;
  }
  virtual std::int32_t FindNextFrame(std::int32_t& start, std::int16_t direction) {
    (void)start;
    (void)direction;
    return 0;
  }
  // Text search over the items' texts (GetItem). `searchDir` 1 forward from `searchFrom`, -1
  // backward; `inPos` is the 1-based position of the match within its item, in and out. Returns
  // the item found, 0 when none. The text, direction and case setting are remembered for
  // FindAgain.
  virtual std::int32_t FindItem(std::int32_t searchFrom, std::int16_t searchDir, bool caseMatch,
                                const std::u16string& searchText, std::int32_t& inPos) {
    (void)searchFrom;
    (void)searchDir;
    (void)caseMatch;
    (void)searchText;
    (void)inPos;
    return 0;
  }
  // FindItem again with the last search's text, direction and case setting; 0 when there was
  // none.
  virtual std::int32_t FindAgain(std::int32_t searchFrom, std::int32_t& inPos) {
    (void)searchFrom;
    (void)inPos;
    return 0;
  }
};

// No list: window reading mode does not start.
class NullItemList : public ItemList {
 public:
  void CreateItemList() override {}
  void ReleaseItemList() override {}
  std::u16string GetDetails(std::int32_t) override { return {}; }
  std::int32_t Count() override { return 0; }
  std::int32_t GetItemRole(std::int32_t) override { return 0; }
  std::u16string GetItem(std::int32_t) override { return {}; }
  void Target(std::int32_t) override {}
  void DoAction(std::int32_t) override {}
};

}  // namespace quellon::access
