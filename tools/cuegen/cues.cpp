#include "cues.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <set>
#include <string_view>
#include <utility>

namespace quellon::cuegen {
namespace {

// The role texts of roles 1..64: English, Czech.
// Wine's role texts where they differ from an English Windows system's, so the cues sound there
// too. (Wine's text for editable text, "text", is Windows' text for static text and keeps that
// role's cue.)
constexpr std::array<std::pair<int, std::string_view>, 2> kWineRoleTexts = {{
    {41, "static text"},
    {44, "check button"},
}};

constexpr std::array<std::array<std::string_view, 2>, 64> kRoleTexts = {{
    {"title bar", "záhlaví"},
    {"menu bar", "řádek nabídek"},
    {"scroll bar", "posuvník"},
    {"grip", "úchyt"},
    {"sound", "zvuk"},
    {"cursor", "kurzor"},
    {"caret", "textový kurzor"},
    {"alert", "výstraha"},
    {"window", "okno"},
    {"client", "klient"},
    {"popup menu", "místní nabídka"},
    {"menu item", "položka nabídky"},
    {"tool tip", "popisek"},
    {"application", "aplikace"},
    {"document", "dokument"},
    {"pane", "podokno"},
    {"chart", "graf"},
    {"dialog", "dialog"},
    {"border", "okraj"},
    {"grouping", "seskupení"},
    {"separator", "oddělovač"},
    {"tool bar", "panel nástrojů"},
    {"status bar", "stavový řádek"},
    {"table", "tabulka"},
    {"column header", "záhlaví sloupce"},
    {"row header", "záhlaví řádku"},
    {"column", "sloupec"},
    {"row", "řádek"},
    {"cell", "buňka"},
    {"link", "odkaz"},
    {"help balloon", "bublina nápovědy"},
    {"character", "znak"},
    {"list", "seznam"},
    {"list item", "položka seznamu"},
    {"outline", "osnova"},
    {"outline item", "položka osnovy"},
    {"page tab", "karta"},
    {"property page", "stránka vlastností"},
    {"indicator", "indikátor"},
    {"graphic", "obrázek"},
    {"text", "text"},
    {"editable text", "upravitelný text"},
    {"push button", "tlačítko"},
    {"check box", "zaškrtávací políčko"},
    {"radio button", "přepínač"},
    {"combo box", "pole se seznamem"},
    {"drop down", "rozevírací seznam"},
    {"progress bar", "indikátor průběhu"},
    {"dial", "číselník"},
    {"hot key field", "pole klávesové zkratky"},
    {"slider", "jezdec"},
    {"spin box", "číselné pole"},
    {"diagram", "diagram"},
    {"animation", "animace"},
    {"equation", "rovnice"},
    {"drop down button", "rozevírací tlačítko"},
    {"menu button", "tlačítko nabídky"},
    {"grid drop down button", "rozevírací tlačítko mřížky"},
    {"white space", "prázdné místo"},
    {"page tab list", "seznam karet"},
    {"clock", "hodiny"},
    {"split button", "rozdělovací tlačítko"},
    {"IP address", "adresa IP"},
    {"outline button", "tlačítko osnovy"},
}};

constexpr double kLevel = 0.35;  // peak level, a fraction of full scale

// Builds a sound piece by piece into float samples.
class Synth {
 public:
  // A sine from f0 to f1 Hz (a glide when they differ) for `ms`, 4 ms attack, exponential decay
  // to about -30 dB at the end; `tremolo` Hz of amplitude wobble when non-zero.
  Synth& Tone(double f0, double f1, double ms, double tremolo = 0) {
    const int n = Samples(ms);
    const int attack = Samples(4);
    for (int i = 0; i < n; ++i) {
      const double t = static_cast<double>(i) / kSampleRate;
      const double f = f0 + (f1 - f0) * i / std::max(1, n - 1);
      phase_ += 2 * std::numbers::pi * f / kSampleRate;
      double env = std::exp(-3.5 * i / n);
      if (i < attack) env *= static_cast<double>(i) / attack;
      if (tremolo > 0) env *= 0.65 + 0.35 * std::cos(2 * std::numbers::pi * tremolo * t);
      // A little of the octave makes small speakers carry the tone.
      out_.push_back(env * (0.85 * std::sin(phase_) + 0.15 * std::sin(2 * phase_)));
    }
    return *this;
  }
  // Band-limited noise (one-pole low-pass at about `cutoff` Hz) with a fast decay.
  Synth& Noise(double ms, double cutoff) {
    const int n = Samples(ms);
    const double a = std::exp(-2 * std::numbers::pi * cutoff / kSampleRate);
    double y = 0;
    for (int i = 0; i < n; ++i) {
      seed_ = seed_ * 1664525u + 1013904223u;  // fixed seed: the same file on every run
      const double x = static_cast<double>(seed_ >> 8) / (1u << 24) * 2 - 1;
      y = (1 - a) * x + a * y;
      double env = std::exp(-6.0 * i / n);
      if (i < Samples(2)) env *= static_cast<double>(i) / Samples(2);
      out_.push_back(env * y * 2.5);
    }
    return *this;
  }
  Synth& Silence(double ms) {
    out_.insert(out_.end(), static_cast<std::size_t>(Samples(ms)), 0.0);
    phase_ = 0;
    return *this;
  }
  std::vector<std::int16_t> Done() const {
    double peak = 1e-9;
    for (double v : out_) peak = std::max(peak, std::abs(v));
    std::vector<std::int16_t> s;
    s.reserve(out_.size());
    for (double v : out_)
      s.push_back(static_cast<std::int16_t>(std::lround(v / peak * kLevel * 32767)));
    return s;
  }

 private:
  static int Samples(double ms) { return static_cast<int>(ms * kSampleRate / 1000); }
  std::vector<double> out_;
  double phase_ = 0;
  std::uint32_t seed_ = 12345;
};

std::string Hz(double f) {
  return std::to_string(static_cast<int>(std::lround(f))) + " Hz";
}

// Role n (1..64): one of 16 pitches (1.5 semitones apart from 392 Hz) in one of four shapes.
Cue RoleCue(int role) {
  const int k = (role - 1) % 16;
  const int shape = (role - 1) / 16;
  const double f = 392.0 * std::pow(2.0, 1.5 * k / 12.0);
  Synth s;
  Cue cue;
  switch (shape) {
    case 0:
      s.Tone(f, f, 110);
      cue.sound = "a single " + Hz(f) + " beep, 110 ms";
      break;
    case 1:
      s.Tone(f, f, 60).Silence(15).Tone(f * 1.26, f * 1.26, 60);
      cue.sound = "two rising notes " + Hz(f) + " and " + Hz(f * 1.26) + ", 135 ms";
      break;
    case 2:
      s.Tone(f * 1.26, f * 1.26, 60).Silence(15).Tone(f, f, 60);
      cue.sound = "two falling notes " + Hz(f * 1.26) + " and " + Hz(f) + ", 135 ms";
      break;
    default:
      s.Tone(f, f, 160, 25);
      cue.sound = "a warbling " + Hz(f) + " tone, 160 ms";
      break;
  }
  cue.samples = s.Done();
  return cue;
}

}  // namespace

std::vector<Cue> AllCues() {
  std::vector<Cue> cues;
  cues.push_back({"close", "three falling notes 784, 523, 392 Hz, 250 ms (the program ends)",
                  Synth().Tone(784, 784, 80).Tone(523, 523, 80).Tone(392, 392, 90).Done()});
  cues.push_back({"del", "a short soft noise burst, 120 ms (something deleted)",
                  Synth().Noise(120, 1800).Done()});
  cues.push_back(
      {"select", "a quick upward glide 600 to 1200 Hz, 90 ms", Synth().Tone(600, 1200, 90).Done()});
  cues.push_back({"stop", "two low 220 Hz beeps, 200 ms",
                  Synth().Tone(220, 220, 80).Silence(40).Tone(220, 220, 80).Done()});
  cues.push_back({"progress", "a soft 880 Hz tick, 100 ms (the progress tone)",
                  Synth().Tone(880, 880, 100).Done()});
  std::set<std::string> names;
  for (const Cue& c : cues) names.insert(c.name);
  for (int role = 1; role <= 64; ++role) {
    const Cue sound = RoleCue(role);
    std::vector<std::string_view> texts(kRoleTexts[static_cast<std::size_t>(role - 1)].begin(),
                                        kRoleTexts[static_cast<std::size_t>(role - 1)].end());
    for (const auto& [other, text] : kWineRoleTexts) {
      if (other == role) texts.push_back(text);
    }
    for (std::string_view text : texts) {
      // The program looks the file up by the lower-cased role text.
      std::string name;
      for (char c : text)
        name.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
      if (!names.insert(name).second) continue;
      cues.push_back({name, "role " + std::to_string(role) + ": " + sound.sound, sound.samples});
    }
  }
  return cues;
}

std::string WaveFile(const std::vector<std::int16_t>& samples) {
  std::string b;
  auto u32 = [&b](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  auto u16 = [&b](std::uint16_t v) {
    b.push_back(static_cast<char>(v & 0xFF));
    b.push_back(static_cast<char>(v >> 8));
  };
  const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
  b += "RIFF";
  u32(36 + dataBytes);
  b += "WAVEfmt ";
  u32(16);
  u16(1);  // PCM
  u16(1);  // mono
  u32(kSampleRate);
  u32(kSampleRate * 2);
  u16(2);
  u16(16);
  b += "data";
  u32(dataBytes);
  for (std::int16_t s : samples) u16(static_cast<std::uint16_t>(s));
  return b;
}

}  // namespace quellon::cuegen
