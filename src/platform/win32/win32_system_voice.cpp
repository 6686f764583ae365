#include "platform/win32/win32_windows.h"

#include <initguid.h>  // before <sapi.h>: it makes the SAPI ids definitions, not declarations

#include <sapi.h>

#include "platform/win32/win32_system_voice.h"

namespace quellon::platform {
namespace {

// The port's flags are SAPI's own numbers (SVSF... = SPF_...).
static_assert(SVSFlagsAsync == SPF_ASYNC && SVSFPurgeBeforeSpeak == SPF_PURGEBEFORESPEAK &&
              SVSFIsXML == SPF_IS_XML);

template <typename T>
void ReleaseAll(std::vector<T*>& objects) {
  for (T* object : objects) object->Release();
  objects.clear();
}

// A voice's description: the token's value named by the user's language (its LANGID in hex,
// "405" for Czech), else its default value, else its "Name" attribute.
std::u16string Description(ISpObjectToken* token) {
  std::u16string text;
  wchar_t* value = nullptr;
  wchar_t language[8] = {};
  wsprintfW(language, L"%x", static_cast<unsigned>(GetUserDefaultUILanguage()));
  for (const wchar_t* name : {static_cast<const wchar_t*>(language), L""}) {
    if (text.empty() && SUCCEEDED(token->GetStringValue(name, &value)) && value != nullptr) {
      text = win32::FromWide(value);
    }
    CoTaskMemFree(value);
    value = nullptr;
  }
  ISpDataKey* attributes = nullptr;
  if (text.empty() && SUCCEEDED(token->OpenKey(L"Attributes", &attributes)) && attributes) {
    if (SUCCEEDED(attributes->GetStringValue(L"Name", &value)) && value != nullptr) {
      text = win32::FromWide(value);
    }
    CoTaskMemFree(value);
    attributes->Release();
  }
  return text;
}

class Win32SystemVoice final : public SystemVoice {
 public:
  Win32SystemVoice(ISpVoice* voice, bool comInitialised)
      : voice_(voice), comInitialised_(comInitialised) {}
  ~Win32SystemVoice() override {
    ReleaseAll(tokens_);
    voice_->Release();
    if (comInitialised_) CoUninitialize();
  }
  Win32SystemVoice(const Win32SystemVoice&) = delete;
  Win32SystemVoice& operator=(const Win32SystemVoice&) = delete;

  std::vector<std::u16string> GetVoices() override {
    ReleaseAll(tokens_);
    std::vector<std::u16string> names;
    ISpObjectTokenCategory* category = nullptr;
    if (FAILED(CoCreateInstance(CLSID_SpObjectTokenCategory, nullptr, CLSCTX_ALL,
                                IID_ISpObjectTokenCategory, reinterpret_cast<void**>(&category)))) {
      return names;
    }
    IEnumSpObjectTokens* tokens = nullptr;
    if (SUCCEEDED(category->SetId(SPCAT_VOICES, FALSE)) &&
        SUCCEEDED(category->EnumTokens(nullptr, nullptr, &tokens)) && tokens != nullptr) {
      ISpObjectToken* token = nullptr;
      // A bound on a token list that never ends.
      for (int i = 0; i < 1000 && tokens->Next(1, &token, nullptr) == S_OK && token; ++i) {
        names.push_back(Description(token));
        tokens_.push_back(token);
        token = nullptr;
      }
      tokens->Release();
    }
    category->Release();
    return names;
  }

  std::int32_t SetVoice(std::size_t index) override {
    if (tokens_.empty()) GetVoices();
    if (index >= tokens_.size()) return E_INVALIDARG;
    return voice_->SetVoice(tokens_[index]);
  }

  std::int32_t Speak(const std::u16string& text, std::uint32_t flags) override {
    return voice_->Speak(win32::Wide(text), flags, nullptr);
  }
  std::int32_t SetRate(std::int32_t rate) override { return voice_->SetRate(rate); }
  std::int32_t SetVolume(std::int32_t volume) override {
    if (volume < 0 || volume > 100) return E_INVALIDARG;
    return voice_->SetVolume(static_cast<USHORT>(volume));
  }
  std::int32_t Rate() override {
    LONG rate = 0;
    return SUCCEEDED(voice_->GetRate(&rate)) ? rate : 0;
  }
  std::int32_t Volume() override {
    USHORT volume = 0;
    return SUCCEEDED(voice_->GetVolume(&volume)) ? volume : 0;
  }
  bool WaitUntilDone(std::uint32_t milliseconds) override {
    // S_OK when speech ended, S_FALSE on time-out; a voice that cannot wait (an error) is
    // treated as done so the caller's wait always ends.
    return voice_->WaitUntilDone(milliseconds) != S_FALSE;
  }

 private:
  ISpVoice* voice_;
  bool comInitialised_;
  std::vector<ISpObjectToken*> tokens_;  // the tokens of the last GetVoices, in order
};

}  // namespace

std::unique_ptr<SystemVoice> Win32SystemVoiceFactory::CreateVoice() {
  const bool comInitialised = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  ISpVoice* voice = nullptr;
  if (FAILED(CoCreateInstance(CLSID_SpVoice, nullptr, CLSCTX_ALL, IID_ISpVoice,
                              reinterpret_cast<void**>(&voice))) ||
      voice == nullptr) {
    if (comInitialised) CoUninitialize();
    return nullptr;
  }
  return std::make_unique<Win32SystemVoice>(voice, comInitialised);
}

}  // namespace quellon::platform
