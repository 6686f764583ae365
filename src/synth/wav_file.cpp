#include "synth/wav_file.h"

#include <fstream>
#include <string>

namespace quellon {
namespace {

void PutU16(std::string& out, std::uint32_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void PutU32(std::string& out, std::uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}

}  // namespace

bool WriteWavFile(const std::filesystem::path& path, std::span<const std::int16_t> samples,
                  int sampleRate) {
  const std::uint64_t dataBytes = std::uint64_t{samples.size()} * 2;
  if (dataBytes + 36 > 0xFFFFFFFFull || sampleRate <= 0) return false;
  const auto rate = static_cast<std::uint32_t>(sampleRate);
  std::string bytes;
  bytes.reserve(44 + static_cast<std::size_t>(dataBytes));
  bytes += "RIFF";
  PutU32(bytes, static_cast<std::uint32_t>(36 + dataBytes));
  bytes += "WAVEfmt ";
  PutU32(bytes, 16);        // fmt chunk size
  PutU16(bytes, 1);         // PCM
  PutU16(bytes, 1);         // mono
  PutU32(bytes, rate);      // samples per second
  PutU32(bytes, rate * 2);  // bytes per second
  PutU16(bytes, 2);         // block alignment
  PutU16(bytes, 16);        // bits per sample
  bytes += "data";
  PutU32(bytes, static_cast<std::uint32_t>(dataBytes));
  for (const std::int16_t s : samples) PutU16(bytes, static_cast<std::uint16_t>(s));
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

}  // namespace quellon
