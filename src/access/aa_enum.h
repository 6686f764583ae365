// clsAAenum: the item list of a window (typically a web page in a browser). The window's
// accessible objects are walked (ObjectWalker::FillInList) and kept in walk order, leaving out
// structure with nothing to say (windows, clients, separators, empty graphics, invisible or
// zero-size objects); with the web-page rules linked text becomes a link, plain text static
// text, and long static texts are cut into sentences. Only the object, child id, role and state
// are stored; names and values are read live when an item is read.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "access/aa_objects.h"
#include "access/item_list.h"
#include "access/object_walker.h"
#include "core/program.h"

namespace quellon::access {

// The sentence of `text` that starts at `start` (0-based): every character up to the first of
// ". : ! ? CR LF", then the delimiters and spaces that follow it. The rest of the text when no
// delimiter comes. Empty when start is at or past the end.
std::u16string_view NextSentence(std::u16string_view text, std::size_t start);

class clsAAenum final : public ItemList {
 public:
  // Static texts longer than this are listed sentence by sentence (web-page rules).
  static constexpr std::size_t kSentenceSplitLength = 79;
  // Most items one list holds; walking and splitting stop adding there (a hostile window of
  // endless texts cannot exhaust memory).
  static constexpr std::int32_t kMaxItems = 200000;
  // Most waiting cancel messages thrown away when a walk starts.
  static constexpr int kMaxStaleCancels = 64;

  // Uses the accessibility, window-system, keyboard and event-loop ports, the UI strings and
  // the main window (whose cancel messages end a walk).
  explicit clsAAenum(const core::Program& program);

  void CreateItemList() override;
  void ReleaseItemList() override;
  std::u16string GetDetails(std::int32_t index) override;
  std::int32_t Count() override { return AAos.Count(); }
  std::int32_t GetItemRole(std::int32_t index) override;
  std::u16string GetItem(std::int32_t index) override;
  void Target(std::int32_t index) override;
  void DoAction(std::int32_t index) override;

  void DoUpdate(platform::Hwnd hwnd, bool addWin) override;
  void Clear() override { AAos.Clear(); }
  const std::atomic<bool>& WalkRunning() const override { return walkRunning_; }

  bool ReadInvisible() const override { return readInvisible_; }
  void SetReadInvisible(bool on) override { readInvisible_ = on; }
  bool IEprofile() const override { return ieProfile_; }
  void SetIEprofile(bool on) override { ieProfile_ = on; }
  bool Filter() const override { return filter_; }
  void SetFilter(bool on) override { filter_ = on; }
  void SetNoTextGraph(bool on) override { noTextGraph_ = on; }
  std::int32_t Focused() const override { return focused_; }
  std::int32_t NoLinks() const override { return noLinks_; }
  std::int32_t NoFrames() const override { return noFrames_; }
  // Kept for whoever sets them; nothing in the list acts on them.
  void SetShowPosition(bool on) { showPosition_ = on; }
  bool ReadOnUpdate() const { return readOnUpdate_; }
  void SetReadOnUpdate(bool on) { readOnUpdate_ = on; }
  void SetReadOnUpdateVerbal(bool on) { readOnUpdateVerbal_ = on; }

  std::uint32_t GetItemState(std::int32_t index) override;
  std::optional<platform::Rect> ItemLocation(std::int32_t index) override;
  void RefreshItem(std::int32_t index) override;
  std::int32_t FindFocused() override;
  std::int32_t FindFirstVisible() override;
  std::int32_t FindNextFocus(std::int32_t& start, std::int16_t direction) override;
  std::int32_t FindNextFrame(std::int32_t& start, std::int16_t direction) override;
  // Forward (searchDir >= 0) from item searchFrom to the last, skipping the first inPos
  // characters of item searchFrom; backward (searchDir < 0) from searchFrom to the first,
  // looking in item searchFrom only at matches that start before position inPos (the whole item
  // when inPos < 1), and taking the last match within an item. Texts are compared in upper case
  // unless caseMatch. On a match inPos is its 1-based position, so passing the result and inPos
  // back finds the next match either way. An empty text finds nothing and is not remembered.
  std::int32_t FindItem(std::int32_t searchFrom, std::int16_t searchDir, bool caseMatch,
                        const std::u16string& searchText, std::int32_t& inPos) override;
  std::int32_t FindAgain(std::int32_t searchFrom, std::int32_t& inPos) override;
  const std::u16string& LastSearchText() const { return lastSearchText_; }
  std::int16_t LastSearchDir() const { return lastSearchDir_; }
  bool LastCaseMatch() const { return lastCaseMatch_; }

  // Considers one object of the walk for the list.
  void AddItem(const platform::AccessiblePtr& pAcc, std::int32_t pvarT);
  // A walk was cancelled (MSG_CANCEL_WALK with wParam 2, lParam 27 came during it); cleared
  // when the next walk starts.
  bool Cancelled() const { return cancelled_; }
  // The screen rectangle of the window of the item Target last pointed at.
  const platform::Rect& WindowRect() const { return windowRect_; }

  AaObjects AAos;

 private:
  // The walk's callback: lists the object, then looks for a cancel message.
  std::int32_t OnWalkObject(const platform::AccessiblePtr& object, std::int32_t childId);
  void Append(const platform::AccessiblePtr& pAcc, std::int32_t pvarT, std::int32_t role,
              std::uint32_t state, std::u16string name);
  std::int32_t FindNextStored(std::int32_t& start, std::int16_t direction, bool frames);

  platform::Accessibility& access_;
  platform::WindowSystem& windows_;
  platform::Keyboard& keyboard_;
  platform::EventLoop& loop_;
  const strings::StringTable& strings_;
  platform::Hwnd mainWindow_;
  ObjectWalker walker_;

  bool readInvisible_ = false;
  bool ieProfile_ = false;
  bool filter_ = false;
  bool noTextGraph_ = false;
  bool showPosition_ = false;
  bool readOnUpdate_ = false;
  bool readOnUpdateVerbal_ = false;
  std::int32_t focused_ = 0;
  std::int32_t noLinks_ = 0;
  std::int32_t noFrames_ = 0;
  platform::Rect windowRect_;
  bool inCombo_ = false;
  bool cancelled_ = false;
  std::atomic<bool> walkRunning_{false};

  std::u16string lastSearchText_;
  std::int16_t lastSearchDir_ = 1;
  bool lastCaseMatch_ = false;
};

}  // namespace quellon::access
