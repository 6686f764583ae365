// Reading web pages at their caret through the page's document (windows of the HTML control,
// class "Internet Explorer_Server"): the character or word the caret moved to, the character a
// Delete or Backspace removes, the selection, and the visual line at the caret. Both readers run
// from the main window's procedure after the keyboard handler has posted the caret key, so the
// page has already moved its caret.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "access/web_reader.h"
#include "core/program_state.h"
#include "core/speech_output.h"
#include "platform/html_document.h"
#include "platform/window_system.h"

namespace quellon::access {

class modIE final : public WebReader {
 public:
  // How long a page may take to hand out its document.
  static constexpr std::uint32_t kDocumentTimeoutMs = 1000;

  modIE(core::ProgramState& state, platform::WindowSystem& windows, platform::HtmlPlatform& html,
        core::SpeechOutput& output)
      : state_(state), windows_(windows), html_(html), output_(output) {}

  // The document shown in `hwnd`, asked for afresh (WM_HTML_GETOBJECT, bounded by
  // kDocumentTimeoutMs); nullptr when there is none or the page does not answer in time.
  std::shared_ptr<platform::HtmlDocument> GetHtmlDocument(platform::Hwnd hwnd);

  // Left and Right speak the character at the caret (a word with Ctrl alone); with Shift the
  // "select" cue and the selection less its last character. Delete and Backspace play the "del"
  // cue and speak the character remembered from the last call (they come on the key's press, when
  // the page may have removed it already). Every call then remembers the characters at and
  // before the caret.
  void ReadWebCaret(std::uint32_t vk, std::uint32_t modifierCode) override;

  // The line at the caret: in a text area its visual line between the area's edges, in an input
  // field its whole content, elsewhere the page's text from the element's left edge to the
  // window's right edge (the mouse pointer is moved to the line's start).
  void ReadWebLine() override;

  // [0] the character before the caret, [1] the one at the caret, as the last ReadWebCaret found.
  const std::array<std::u16string, 2>& CaretChars() const { return CaretChars_; }

 private:
  void ReadWebTextLine(platform::HtmlDocument& document, const platform::GuiThreadInfo& info,
                       platform::HtmlElement* element);

  core::ProgramState& state_;
  platform::WindowSystem& windows_;
  platform::HtmlPlatform& html_;
  core::SpeechOutput& output_;
  std::array<std::u16string, 2> CaretChars_;
};

}  // namespace quellon::access
