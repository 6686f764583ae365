// The automation class App: what other programs may ask of the running screen reader through the
// component object model (speak, stop, voice, pitch and tempo, the accessibility hook, the main
// window's visibility, closing). Every operation returns 0 for success or the failure code of
// what it called.
#pragma once

#include <cstdint>
#include <string>

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

}  // namespace quellon::shell
