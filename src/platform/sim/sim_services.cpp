// The recording services of the simulated desktop: system voice, sound player, application-bar
// shell and web documents.
#include <algorithm>

#include "platform/riff_wave.h"
#include "platform/sim/sim_desktop.h"

namespace quellon::platform {

// ---- System voice ----

std::unique_ptr<SystemVoice> SimSystemVoice::CreateVoice() {
  if (voices_.empty()) return nullptr;
  // Every voice object speaks through this one recorder.
  class Handle : public SystemVoice {
   public:
    explicit Handle(SimSystemVoice& v) : v_(v) {}
    std::vector<std::u16string> GetVoices() override { return v_.GetVoices(); }
    std::int32_t SetVoice(std::size_t index) override { return v_.SetVoice(index); }
    std::int32_t Speak(const std::u16string& text, std::uint32_t flags) override {
      return v_.Speak(text, flags);
    }
    std::int32_t SetRate(std::int32_t rate) override { return v_.SetRate(rate); }
    std::int32_t SetVolume(std::int32_t volume) override { return v_.SetVolume(volume); }
    std::int32_t Rate() override { return v_.Rate(); }
    std::int32_t Volume() override { return v_.Volume(); }
    bool WaitUntilDone(std::uint32_t ms) override { return v_.WaitUntilDone(ms); }

   private:
    SimSystemVoice& v_;
  };
  return std::make_unique<Handle>(*this);
}

std::int32_t SimSystemVoice::SetVoice(std::size_t index) {
  if (index >= voices_.size()) return -1;
  selected_ = index;
  return 0;
}

std::int32_t SimSystemVoice::Speak(const std::u16string& text, std::uint32_t flags) {
  calls_.push_back({text, flags, loop_.Now()});
  const std::int64_t now = loop_.Now();
  if ((flags & SVSFPurgeBeforeSpeak) || speakingUntil_ < now) speakingUntil_ = now;
  speakingUntil_ += microsPerChar_ * static_cast<std::int64_t>(text.size());
  if (!(flags & SVSFlagsAsync) && speakingUntil_ > now) {
    loop_.Spend(speakingUntil_ - now);  // synchronous: the thread waits for the end
  }
  return 0;
}

std::int32_t SimSystemVoice::SetRate(std::int32_t rate) {
  if (rate < -10 || rate > 10) return -1;
  rate_ = rate;
  return 0;
}

std::int32_t SimSystemVoice::SetVolume(std::int32_t volume) {
  if (volume < 0 || volume > 100) return -1;
  volume_ = volume;
  return 0;
}

bool SimSystemVoice::WaitUntilDone(std::uint32_t milliseconds) {
  const std::int64_t now = loop_.Now();
  if (speakingUntil_ <= now) return true;
  const std::int64_t wait =
      std::min<std::int64_t>(speakingUntil_ - now, std::int64_t{milliseconds} * 1000);
  loop_.Spend(wait);
  return loop_.Now() >= speakingUntil_;
}

std::vector<std::u16string> SimSystemVoice::Spoken() const {
  std::vector<std::u16string> out;
  for (const SpeakCall& c : calls_) {
    if (!c.text.empty()) out.push_back(c.text);
  }
  return out;
}

// ---- Sound player ----

bool SimSoundPlayer::PlaySoundFile(const std::filesystem::path& file, std::uint32_t flags) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return false;
  played_.push_back(file);
  if (!(flags & SND_ASYNC)) {
    if (auto wave = ReadRiffWave(file)) loop_.Spend(RiffWaveDurationMicros(*wave));
  }
  return true;
}

std::vector<std::u16string> SimSoundPlayer::Cues() const {
  std::vector<std::u16string> out;
  for (const auto& p : played_) out.push_back(p.stem().u16string());
  return out;
}

// ---- Application bars ----

Rect SimShell::Shrink(Hwnd self, std::uint32_t edge, Rect r) const {
  for (const auto& [hwnd, bar] : bars_) {
    if (hwnd == self || !bar.placed || bar.edge != edge) continue;
    switch (edge) {
      case ABE_LEFT:
        r.left = std::max(r.left, bar.rect.right);
        break;
      case ABE_TOP:
        r.top = std::max(r.top, bar.rect.bottom);
        break;
      case ABE_RIGHT:
        r.right = std::min(r.right, bar.rect.left);
        break;
      default:
        r.bottom = std::min(r.bottom, bar.rect.top);
        break;
    }
  }
  return r;
}

std::uintptr_t SimShell::AppBarMessage(std::uint32_t message, AppBarData& data) {
  switch (message) {
    case ABM_NEW:
      if (bars_.contains(data.hwnd) || !d_.Find(data.hwnd)) return 0;
      bars_[data.hwnd] = Bar{};
      return 1;
    case ABM_REMOVE:
      bars_.erase(data.hwnd);
      return 1;
    case ABM_QUERYPOS:
    case ABM_SETPOS: {
      auto it = bars_.find(data.hwnd);
      if (it == bars_.end()) return 0;
      // The proposal moves off the bars already docked at that edge, keeping its thickness.
      const Rect shrunk = Shrink(data.hwnd, data.edge, data.rect);
      Rect r = data.rect;
      switch (data.edge) {
        case ABE_LEFT:
          r = {shrunk.left, r.top, shrunk.left + r.Width(), r.bottom};
          break;
        case ABE_TOP:
          r = {r.left, shrunk.top, r.right, shrunk.top + r.Height()};
          break;
        case ABE_RIGHT:
          r = {shrunk.right - r.Width(), r.top, shrunk.right, r.bottom};
          break;
        default:
          r = {r.left, shrunk.bottom - r.Height(), r.right, shrunk.bottom};
          break;
      }
      if (message == ABM_QUERYPOS) r = shrunk;
      data.rect = r;
      if (message == ABM_SETPOS) it->second = Bar{data.edge, r, true};
      return 1;
    }
    default:
      return 0;
  }
}

// ---- Web documents ----

namespace {

bool IsWordChar(char16_t c) {
  return c != u' ' && c != u'\n' && c != u'\t';
}

class SimElement : public HtmlElement {
 public:
  explicit SimElement(SimHtmlDocument::Element e) : e_(std::move(e)) {}
  std::u16string TagName() override { return e_.tag; }
  Rect BoundingClientRect() override { return e_.rect; }
  std::int32_t ClientLeft() override { return e_.clientLeft; }
  std::int32_t ClientWidth() override { return e_.clientWidth; }

 private:
  SimHtmlDocument::Element e_;
};

class SimTextRange : public HtmlTextRange {
 public:
  SimTextRange(std::shared_ptr<SimHtmlDocument> doc, std::int32_t start, std::int32_t end)
      : doc_(std::move(doc)), start_(start), end_(end) {}
  std::int32_t Start() const { return start_; }
  std::int32_t End() const { return end_; }

  std::u16string Text() override {
    return doc_->text.substr(static_cast<std::size_t>(start_),
                             static_cast<std::size_t>(end_ - start_));
  }
  bool Expand(const std::u16string& unit) override {
    const auto size = static_cast<std::int32_t>(doc_->text.size());
    if (unit == u"character") {
      if (end_ == start_ && end_ < size) ++end_;
      return true;
    }
    if (unit == u"word") {
      // A word with the blanks that follow it.
      while (start_ > 0 && IsWordChar(doc_->text[static_cast<std::size_t>(start_ - 1)])) --start_;
      while (end_ < size && IsWordChar(doc_->text[static_cast<std::size_t>(end_)])) ++end_;
      while (end_ < size && doc_->text[static_cast<std::size_t>(end_)] == u' ') ++end_;
      return true;
    }
    if (unit == u"textedit") {
      start_ = 0;
      end_ = size;
      return true;
    }
    return false;
  }
  std::int32_t Move(const std::u16string& unit, std::int32_t count) override {
    if (unit != u"character") return 0;
    const auto size = static_cast<std::int32_t>(doc_->text.size());
    const std::int32_t to = std::clamp(start_ + count, 0, size);
    const std::int32_t moved = to - start_;
    start_ = end_ = to;
    return moved;
  }
  bool MoveToPoint(std::int32_t x, std::int32_t y) override {
    start_ = end_ = doc_->IndexAtPoint(x, y);
    return true;
  }
  bool SetEndPoint(const std::u16string& how, const HtmlTextRange& source) override {
    const auto* other = dynamic_cast<const SimTextRange*>(&source);
    if (!other) return false;
    const std::int32_t from = how.ends_with(u"ToStart") ? other->start_ : other->end_;
    if (how.starts_with(u"Start")) {
      start_ = from;
      end_ = std::max(end_, start_);
    } else {
      end_ = from;
      start_ = std::min(start_, end_);
    }
    return true;
  }

 private:
  std::shared_ptr<SimHtmlDocument> doc_;
  std::int32_t start_;
  std::int32_t end_;
};

}  // namespace

std::unique_ptr<HtmlElement> SimHtmlDocument::ElementFromPoint(std::int32_t x, std::int32_t y) {
  for (auto it = elements.rbegin(); it != elements.rend(); ++it) {
    if (it->rect.Contains({x, y})) return std::make_unique<SimElement>(*it);
  }
  Element body;
  body.tag = u"BODY";
  return std::make_unique<SimElement>(body);
}

std::unique_ptr<HtmlTextRange> SimHtmlDocument::CreateSelectionRange() {
  return std::make_unique<SimTextRange>(shared_from_this(), std::min(selStart, selEnd),
                                        std::max(selStart, selEnd));
}

std::int32_t SimHtmlDocument::IndexAtPoint(std::int32_t x, std::int32_t y) const {
  const std::int32_t line = std::max(0, y / std::max(1, lineHeight));
  const std::int32_t column = std::max(0, (x + charWidth / 2) / std::max(1, charWidth));
  std::int32_t index = 0;
  for (std::int32_t l = 0; l < line; ++l) {
    const auto nl = text.find(u'\n', static_cast<std::size_t>(index));
    if (nl == std::u16string::npos) return static_cast<std::int32_t>(text.size());
    index = static_cast<std::int32_t>(nl) + 1;
  }
  auto end = text.find(u'\n', static_cast<std::size_t>(index));
  if (end == std::u16string::npos) end = text.size();
  return std::min(index + column, static_cast<std::int32_t>(end));
}

Rect SimHtmlDocument::CaretRect() const {
  const auto at = static_cast<std::size_t>(
      std::clamp<std::int32_t>(selEnd, 0, static_cast<std::int32_t>(text.size())));
  const auto line = static_cast<std::int32_t>(
      std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), u'\n'));
  const auto lineStart = text.rfind(u'\n', at == 0 ? std::u16string::npos : at - 1);
  const auto column = static_cast<std::int32_t>(
      lineStart == std::u16string::npos || at == 0 ? at : at - lineStart - 1);
  return {column * charWidth, line * lineHeight, column * charWidth + 1, (line + 1) * lineHeight};
}

std::shared_ptr<HtmlDocument> SimHtmlPlatform::GetHtmlDocument(Hwnd w, std::uint32_t) {
  SimWindow* win = d_.Find(w);
  if (!win) return nullptr;
  return win->document;
}

std::vector<std::shared_ptr<BrowserWindow>> SimHtmlPlatform::ShellWindows() {
  class Browser : public BrowserWindow {
   public:
    Browser(SimDesktop& d, Hwnd w) : d_(d), w_(w) {}
    Hwnd WindowHandle() override { return w_; }
    void SetVisible(bool visible) override { d_.SetVisible(w_, visible); }

   private:
    SimDesktop& d_;
    Hwnd w_;
  };
  std::vector<std::shared_ptr<BrowserWindow>> out;
  // Every top-level window that holds a web view is a browser of the shell's collection.
  for (Hwnd top : d_.topLevel_) {
    bool holds = false;
    d_.windows_.EnumChildWindows(top, [&](Hwnd h) {
      holds = holds || d_.Find(h)->document != nullptr;
      return !holds;
    });
    if (holds) out.push_back(std::make_shared<Browser>(d_, top));
  }
  return out;
}

}  // namespace quellon::platform
