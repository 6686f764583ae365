// Signal helpers of the voice builder: WAV files, rate halving, loudness and voicing measures.
// Signals are kept as doubles at full 16-bit scale until the voice is written.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace quellon::voicebuild {

using Signal = std::vector<double>;

struct Wave {
  int rate = 0;
  Signal samples;
};

// Reads a RIFF WAV file of 16-bit PCM, mono. Throws std::runtime_error with the file name on any
// other format or a damaged file.
Wave ReadWav(const std::filesystem::path& path);
// Writes 16-bit mono PCM; values are rounded and must lie inside the 16-bit range.
void WriteWav(const std::filesystem::path& path, const std::vector<std::int16_t>& samples,
              int rate);

// Halves the sample rate: low-pass (windowed sinc, cut-off just under the new Nyquist frequency)
// and keeps every second sample. Output sample j lies at input sample 2j.
Signal HalveRate(const Signal& x);

// Root mean square over [from, to) (clamped to the signal); 0 for an empty range.
double Rms(const Signal& x, std::int64_t from, std::int64_t to);
double ToDb(double ratio);
double FromDb(double db);

// Normalised correlation of x[a .. a+len) with x[b .. b+len); 0 when a range leaves the signal or
// either part is silent.
double Correlation(const Signal& x, std::int64_t a, std::int64_t b, std::int64_t len);

// Voicing of each mark: the period from mark i to mark i + 1 carries energy above
// `energyFraction` x `referenceRms`, and it resembles a neighbouring period (normalised
// correlation above `minCorrelation`). The last mark has no period and copies its predecessor.
std::vector<bool> DecideVoicing(const Signal& x, const std::vector<std::int64_t>& marks,
                                double referenceRms, double energyFraction = 0.03,
                                double minCorrelation = 0.5);

// The first run of at least `minRun` voiced marks at or after index `from`, as [first, last]
// mark indices with the gaps of up to `maxGap` unvoiced marks inside it closed; nullopt when
// there is none.
struct MarkRun {
  std::size_t first = 0;
  std::size_t last = 0;
};
std::optional<MarkRun> VoicedRun(const std::vector<bool>& voiced, std::size_t from,
                                 std::size_t minRun = 3, std::size_t maxGap = 2);

// Largest minus smallest distance between consecutive marks (absolute values); 0 for fewer than
// three marks.
int PeriodSpread(const std::vector<std::int16_t>& marks);

// The gain that moves `measuredRms` to `targetRms`, limited to +-`limitDb`.
double GainToward(double measuredRms, double targetRms, double limitDb);

// Position of the smallest |x| in [from, to), clamped to the signal; `from` when the range is
// empty.
std::int64_t QuietestPoint(const Signal& x, std::int64_t from, std::int64_t to);

}  // namespace quellon::voicebuild
