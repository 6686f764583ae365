// quellon-say: speaks a text with the built-in engine, through the same speaking loop the screen
// reader uses (the engine object, its 50 ms timer, the five 100 ms wave-out blocks), on the
// default audio device or into a WAV file.
//
//   quellon-say [--voice NAME] [--tempo N] [--pitch N] [--volume N] [--separation N]
//               [--dict FILE] [--out FILE.wav] [--folder DIR] [TEXT...]
//
// Without TEXT the text is read from standard input (UTF-8). --out renders into a file: the loop
// then runs on a virtual clock, as fast as synthesis allows. On Linux the sound goes to the
// default device through PulseAudio; when no sound server answers, it goes to ./quellon-say.wav
// and the program says so. Exit codes: 0 spoken, 1 voice missing or audio/file failure,
// 2 invalid arguments.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/vaza_vorod.h"
#include "platform/sim/sim_event_loop.h"
#include "platform/sim/sim_wave_out.h"
#include "speech/dictionary.h"
#include "synth/wav_file.h"
#include "text/text.h"
#ifdef _WIN32
#include "platform/win32/win32_event_loop.h"
#include "platform/win32/winmm_wave_out.h"
#else
#include "platform/posix/pulse_wave_out.h"
#include "platform/posix/realtime_event_loop.h"
#endif

#ifdef _WIN32
// The system headers last: their macros (PostMessage, WHDR_DONE, ...) would clash with the
// ports' names.
#include <windows.h>
// After windows.h, which they need.
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#undef PostMessage
#undef CallWindowProc
#endif

namespace quellon::say {
namespace {

namespace fs = std::filesystem;

constexpr char kUsage[] =
    "usage: quellon-say [--voice NAME] [--tempo N] [--pitch N] [--volume N] [--separation N]\n"
    "                   [--dict FILE] [--out FILE.wav] [--folder DIR] [TEXT...]\n"
    "Speaks TEXT (or standard input) with the built-in voice.\n";
constexpr char kFallbackWav[] = "quellon-say.wav";

struct Options {
  std::u16string voice = VazaVorod::kDefaultVoice;
  std::optional<std::int16_t> tempo, pitch, volume, separation;
  std::optional<fs::path> dict, out, folder;
  std::vector<std::string> words;  // UTF-8
};

int Usage(const std::string& problem) {
  if (!problem.empty()) std::fprintf(stderr, "quellon-say: %s\n", problem.c_str());
  std::fputs(kUsage, stderr);
  return 2;
}

std::optional<std::int16_t> ParseInt16(const std::string& s) {
  if (s.empty()) return std::nullopt;
  std::size_t used = 0;
  long v = 0;
  try {
    v = std::stol(s, &used, 10);
  } catch (const std::exception&) {
    return std::nullopt;
  }
  if (used != s.size() || v < -32768 || v > 32767) return std::nullopt;
  return static_cast<std::int16_t>(v);
}

fs::path PathFromUtf8(const std::string& s) {
  const std::u16string u = text::Utf8ToUtf16(s);
#ifdef _WIN32
  return fs::path(std::wstring(u.begin(), u.end()));
#else
  return fs::path(s);
#endif
}

std::string PathToUtf8(const fs::path& p) {
#ifdef _WIN32
  const std::wstring w = p.wstring();
  return text::Utf16ToUtf8(std::u16string(w.begin(), w.end()));
#else
  return p.string();
#endif
}

// The arguments as UTF-8 (on Windows from the wide command line, so any text survives).
std::vector<std::string> Arguments(int argc, char** argv) {
  std::vector<std::string> args;
#ifdef _WIN32
  int n = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &n);
  if (wide != nullptr) {
    for (int i = 1; i < n; ++i) {
      const std::wstring w(wide[i]);
      args.push_back(text::Utf16ToUtf8(std::u16string(w.begin(), w.end())));
    }
    LocalFree(wide);
    return args;
  }
#endif
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  return args;
}

fs::path ProgramFolder(const char* argv0) {
#ifdef _WIN32
  wchar_t buffer[MAX_PATH * 4] = {};
  const DWORD n = GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(std::size(buffer)));
  if (n > 0 && n < std::size(buffer)) return fs::path(buffer).parent_path();
#else
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) return self.parent_path();
#endif
  std::error_code ec2;
  const fs::path p = fs::weakly_canonical(fs::path(argv0), ec2);
  return ec2 ? fs::current_path() : p.parent_path();
}

// Parses the arguments; returns an exit code when the program should end at once.
std::optional<int> Parse(const std::vector<std::string>& args, Options& o) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--") {
      o.words.insert(o.words.end(), args.begin() + static_cast<long>(i) + 1, args.end());
      break;
    }
    if (a == "-h" || a == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (a.rfind("--", 0) != 0) {
      o.words.push_back(a);
      continue;
    }
    if (i + 1 >= args.size()) return Usage("option " + a + " needs a value");
    const std::string& v = args[++i];
    if (a == "--voice") {
      o.voice = text::Utf8ToUtf16(v);
      if (o.voice.empty()) return Usage("--voice needs a name");
    } else if (a == "--tempo" || a == "--pitch" || a == "--volume" || a == "--separation") {
      const auto n = ParseInt16(v);
      if (!n) return Usage(a + " needs a whole number from -32768 to 32767, not \"" + v + "\"");
      (a == "--tempo"    ? o.tempo
       : a == "--pitch"  ? o.pitch
       : a == "--volume" ? o.volume
                         : o.separation) = n;
    } else if (a == "--dict") {
      o.dict = PathFromUtf8(v);
    } else if (a == "--out") {
      o.out = PathFromUtf8(v);
    } else if (a == "--folder") {
      o.folder = PathFromUtf8(v);
    } else {
      return Usage("unknown option " + a);
    }
  }
  return std::nullopt;
}

std::string ReadStandardInput() {
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);
#endif
  return std::string(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
}

// Sets up the engine the way the screen reader does: create, select the voice, then the
// parameters; the text goes through the pronunciation dictionary before Say.
struct Speaker {
  Speaker(const Options& o, const fs::path& folder, platform::EventLoop& loop,
          platform::WaveOut& device)
      : engine(folder, loop, device, EngineOptions()) {
    engine.SelectVoice(o.voice);
    if (o.dict)
      dictionary = LoadDictionary(*o.dict);
    else
      dictionary = engine.Dictionary();
    EngineState& s = engine.State();
    if (o.tempo) s.Tempo = *o.tempo;
    if (o.pitch) s.Pitch = *o.pitch;
    if (o.volume) s.Volume = *o.volume;
    if (o.separation) s.WordSeparation = *o.separation;
  }
  static VazaVorodOptions EngineOptions() {
    VazaVorodOptions options;
    options.Output.ShowError = [](const std::string& message) {
      std::fprintf(stderr, "quellon-say: wave header: %s\n", message.c_str());
    };
    return options;
  }
  // Speaks and runs the loop until the speech has ended. False when the device failed.
  bool Speak(const std::u16string& text, platform::EventLoop& loop) {
    std::u16string routed = ApplyDictionary(dictionary, text);
    engine.Reset();
    engine.Say(routed);
    loop.RunUntil([&] { return engine.Finished() || engine.Output().OpenResult() != 0; });
    return engine.Output().OpenResult() == 0;
  }
  VazaVorod engine;
  PronunciationDictionary dictionary;
};

int RenderToFile(const Options& o, const fs::path& folder, const std::u16string& text,
                 const fs::path& out) {
  platform::SimEventLoop loop;
  platform::SimWaveOut device(loop);
  Speaker speaker(o, folder, loop, device);
  if (!speaker.Speak(text, loop) || !speaker.engine.Finished()) {
    std::fprintf(stderr, "quellon-say: rendering did not finish\n");
    return 1;
  }
  if (!WriteWavFile(out, device.PlayedSamples())) {
    std::fprintf(stderr, "quellon-say: cannot write %s\n", PathToUtf8(out).c_str());
    return 1;
  }
  return 0;
}

int Run(int argc, char** argv) {
  Options o;
  if (auto code = Parse(Arguments(argc, argv), o)) return *code;
  const fs::path folder = o.folder ? *o.folder : ProgramFolder(argc > 0 ? argv[0] : "");

  // A missing voice is an error here (the engine itself would fall back to the default one).
  if (!VoiceDatabase::FileExists(folder / fs::path(o.voice + u".idx"))) {
    std::fprintf(stderr, "quellon-say: voice \"%s\" not found: no %s\n",
                 text::Utf16ToUtf8(o.voice).c_str(),
                 PathToUtf8(folder / fs::path(o.voice + u".idx")).c_str());
    return 1;
  }
  if (o.dict && !fs::is_regular_file(*o.dict)) {
    std::fprintf(stderr, "quellon-say: cannot read dictionary %s\n", PathToUtf8(*o.dict).c_str());
    return 1;
  }

  std::string utf8;
  if (o.words.empty()) {
    utf8 = ReadStandardInput();
  } else {
    for (std::size_t i = 0; i < o.words.size(); ++i) utf8 += (i ? " " : "") + o.words[i];
  }
  const std::u16string text = text::Utf8ToUtf16(utf8);
  if (text.size() > static_cast<std::size_t>(WaveOutput::kMaxTextPosition)) {
    std::fprintf(stderr,
                 "quellon-say: the text has %zu characters; only the first 32767 are spoken\n",
                 text.size());
  }

  if (o.out) return RenderToFile(o, folder, text, *o.out);

#ifdef _WIN32
  platform::Win32EventLoop loop;
  platform::WinmmWaveOut device;
  Speaker speaker(o, folder, loop, device);
  if (!speaker.Speak(text, loop)) {
    std::fprintf(stderr, "quellon-say: cannot open the audio device: %s\n",
                 device.GetErrorText(speaker.engine.Output().OpenResult()).c_str());
    return 1;
  }
  return 0;
#else
  int code = 0;
  bool fallback = false;
  {
    platform::RealTimeEventLoop loop;
    platform::PulseWaveOut device(loop, "quellon-say");
    std::string why;
    if (!device.Connect(&why)) {
      std::fprintf(stderr, "quellon-say: no audio device (%s); writing %s instead\n", why.c_str(),
                   PathToUtf8(fs::current_path() / kFallbackWav).c_str());
      fallback = true;
    } else {
      Speaker speaker(o, folder, loop, device);
      if (!speaker.Speak(text, loop)) {
        std::fprintf(stderr, "quellon-say: cannot open the audio device: %s\n",
                     device.GetErrorText(speaker.engine.Output().OpenResult()).c_str());
        code = 1;
      }
    }
  }
  if (fallback) {
    code = RenderToFile(o, folder, text, fs::current_path() / kFallbackWav);
    if (code == 0) {
      std::fprintf(stderr, "quellon-say: wrote %s\n",
                   PathToUtf8(fs::current_path() / kFallbackWav).c_str());
    }
  }
  return code;
#endif
}

}  // namespace
}  // namespace quellon::say

int main(int argc, char** argv) {
  return quellon::say::Run(argc, argv);
}
