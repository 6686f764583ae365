#include "packed_voice.h"

#include <fstream>
#include <limits>
#include <stdexcept>
#include <system_error>

#include "text/text.h"

namespace quellon::voicebuild {
namespace {

void PutLe16(std::string& out, std::uint16_t v) {
  out.push_back(static_cast<char>(v & 0xff));
  out.push_back(static_cast<char>(v >> 8));
}

void PutLe32(std::string& out, std::int32_t value) {
  const auto v = static_cast<std::uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((v >> shift) & 0xff));
}

std::string NameBytes(std::u16string_view name) {
  if (name.empty()) throw std::runtime_error("voice entry with an empty name");
  std::string bytes;
  for (char16_t c : name) {
    const auto code = text::CharToCp1250(c);
    if (!code) {
      throw std::runtime_error("unit name \"" + text::Utf16ToUtf8(name) +
                               "\" has a character outside Windows-1250");
    }
    bytes.push_back(static_cast<char>(*code));
  }
  if (bytes.size() > 0xffff) throw std::runtime_error("voice entry name too long");
  return bytes;
}

void PutRecord(std::string& index, const std::string& nameBytes, std::int32_t offset,
               std::int32_t length) {
  PutLe16(index, static_cast<std::uint16_t>(nameBytes.size()));
  index += nameBytes;
  PutLe32(index, offset);
  PutLe32(index, length);
}

std::int32_t AppendSamples(std::string& store, const std::vector<std::int16_t>& samples,
                           const std::string& what) {
  if (samples.empty()) throw std::runtime_error("voice entry \"" + what + "\" has no samples");
  const std::size_t offset = store.size() / 2;
  if (offset + samples.size() >
      static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    throw std::runtime_error("voice sample file too large");
  }
  for (std::int16_t s : samples) PutLe16(store, static_cast<std::uint16_t>(s));
  return static_cast<std::int32_t>(offset);
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot create " + path.string());
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

PackedVoiceBytes EncodePackedVoice(const PackedVoice& voice) {
  PackedVoiceBytes bytes;
  for (const VoiceParameter& p : voice.parameters) {
    PutRecord(bytes.index, NameBytes(text::Utf8ToUtf16(p.name)), p.value, 0);
  }
  for (const VoiceUnit& unit : voice.units) {
    const std::string name = NameBytes(unit.name);
    const std::string utf8 = text::Utf16ToUtf8(unit.name);
    const std::int32_t offset = AppendSamples(bytes.samples, unit.samples, utf8);
    PutRecord(bytes.index, name, offset, static_cast<std::int32_t>(unit.samples.size()));
    if (!unit.marks.empty()) {
      const std::int32_t markOffset = AppendSamples(bytes.samples, unit.marks, "!" + utf8);
      PutRecord(bytes.index, NameBytes(u"!" + unit.name), markOffset,
                static_cast<std::int32_t>(unit.marks.size()));
    }
  }
  return bytes;
}

void WritePackedVoice(const PackedVoice& voice, const std::filesystem::path& dir,
                      std::string_view name) {
  const PackedVoiceBytes bytes = EncodePackedVoice(voice);
  const std::string base(name);
  const auto idx = dir / (base + ".idx");
  const auto vce = dir / (base + ".vce");
  const auto idxTmp = dir / (base + ".idx.tmp");
  const auto vceTmp = dir / (base + ".vce.tmp");
  std::error_code ec;
  bool samplesReplaced = false;
  try {
    std::filesystem::create_directories(dir);
    WriteFile(vceTmp, bytes.samples);
    WriteFile(idxTmp, bytes.index);
    // The index goes last: a reader that finds a new index finds the matching samples.
    std::filesystem::rename(vceTmp, vce);
    samplesReplaced = true;
    std::filesystem::rename(idxTmp, idx);
  } catch (const std::exception& e) {
    std::filesystem::remove(idxTmp, ec);
    std::filesystem::remove(vceTmp, ec);
    if (samplesReplaced) {
      // The old index does not describe the new samples: leave no voice rather than a wrong one.
      std::filesystem::remove(vce, ec);
      if (std::filesystem::is_regular_file(idx, ec)) std::filesystem::remove(idx, ec);
    }
    throw std::runtime_error(std::string("writing the voice failed: ") + e.what());
  }
}

}  // namespace quellon::voicebuild
