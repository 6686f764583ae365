// The automation class App: what other programs may ask of the running screen reader through the
// component object model (speak, stop, voice, pitch and tempo, the accessibility hook, the main
// window's visibility, closing). Every operation returns 0 for success or the failure code of
// what it called. The Windows program serves it as the COM class "Quellon.App"
// (app/win32/automation_server.h); nothing inside the program calls it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/program.h"
#include "reader/accessibility_hook.h"

namespace quellon::shell {

class Automation {
 public:
  virtual ~Automation() = default;
  virtual std::int32_t SayIt(const std::u16string& mess) = 0;
  virtual std::int32_t SetHook(std::int32_t value) = 0;
  virtual std::int32_t SetVisible(std::int32_t mode) = 0;
  virtual std::int32_t Destroy() = 0;
  virtual std::int32_t IsSpeaking(bool& speaking) = 0;
  virtual std::int32_t Reset() = 0;
  virtual std::int32_t SetTempo(std::int32_t tempo) = 0;
  virtual std::int32_t GetTempo(std::int32_t& tempo) = 0;
  virtual std::int32_t SetPitch(std::int32_t pitch) = 0;
  virtual std::int32_t GetPitch(std::int32_t& pitch) = 0;
  virtual std::int32_t SelectVoice(const std::u16string& voiceName) = 0;
};

// No automation: every operation fails with E_NOTIMPL, so an outside caller knows nothing
// happened.
class NullAutomation final : public Automation {
 public:
  static constexpr std::int32_t kNotImplemented = static_cast<std::int32_t>(0x80004001u);
  std::int32_t SayIt(const std::u16string&) override { return kNotImplemented; }
  std::int32_t SetHook(std::int32_t) override { return kNotImplemented; }
  std::int32_t SetVisible(std::int32_t) override { return kNotImplemented; }
  std::int32_t Destroy() override { return kNotImplemented; }
  std::int32_t IsSpeaking(bool&) override { return kNotImplemented; }
  std::int32_t Reset() override { return kNotImplemented; }
  std::int32_t SetTempo(std::int32_t) override { return kNotImplemented; }
  std::int32_t GetTempo(std::int32_t&) override { return kNotImplemented; }
  std::int32_t SetPitch(std::int32_t) override { return kNotImplemented; }
  std::int32_t GetPitch(std::int32_t&) override { return kNotImplemented; }
  std::int32_t SelectVoice(const std::u16string&) override { return kNotImplemented; }
};

// The parts and windows the automation class works on.
struct AutomationParts {
  reader::AccessibilityHook& accessibilityHook;
  // Asks the main window to unload (the normal shutdown) once the caller has its answer.
  std::function<void()> destroy;
  // 1 shows the main window, anything else hides it.
  std::function<void(std::int32_t mode)> setVisible;
};

// The automation class itself: each operation a thin layer over the engine, the system voice,
// the accessibility hook and the main window. It keeps nothing of its own; pitch and tempo are
// the engine's.
class App final : public Automation {
 public:
  static constexpr std::int32_t kLimit = 10;  // pitch and tempo are clamped to -10..10

  App(const core::Program& program, AutomationParts parts)
      : program_(program), parts_(std::move(parts)) {}

  // With the system voice: purge it and speak synchronously (returns when speech has ended).
  // With the built-in engine: start speaking and return at once, without resetting it first.
  // Neither the info band nor the dictionary sees the text.
  std::int32_t SayIt(const std::u16string& mess) override;
  std::int32_t SetHook(std::int32_t value) override;
  std::int32_t SetVisible(std::int32_t mode) override;
  std::int32_t Destroy() override;
  // The built-in engine only; system-voice speech is not reported.
  std::int32_t IsSpeaking(bool& speaking) override;
  std::int32_t Reset() override;
  std::int32_t SetTempo(std::int32_t tempo) override;
  std::int32_t GetTempo(std::int32_t& tempo) override;
  std::int32_t SetPitch(std::int32_t pitch) override;
  std::int32_t GetPitch(std::int32_t& pitch) override;
  std::int32_t SelectVoice(const std::u16string& voiceName) override;

  // Above 10 gives 10, then below -10 gives -10.
  static std::int16_t Clamp(std::int32_t value);

 private:
  const core::Program& program_;
  AutomationParts parts_;
};

}  // namespace quellon::shell
