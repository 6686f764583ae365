// Packed voices (NAME.idx + NAME.vce), loose unit files (NAME.dat, !NAME.dat) and the in-memory
// sample database that unit selection and synthesis read from.
//
// Every file here is untrusted input. The rules for damaged files:
//   - an index record cut short by the end of the file ends the reading; the records before it
//     are kept and the voice still loads;
//   - a sample file that is missing or unreadable leaves an EMPTY sample store (never the samples
//     of the voice loaded before, which would pair this voice's index with another voice's
//     samples); an odd last byte is ignored;
//   - an entry whose samples do not lie wholly inside the sample store gives Length + 1 zeros,
//     except that a Length larger than the whole sample store cannot be a real entry and gives
//     the empty sequence (so a Length of 2^31-1 never allocates gigabytes);
//   - a "PITCHDN"/"PITCHUP" value outside 16 bits leaves the parameter unchanged.
#include "speech/voice_database.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>

#include "text/text.h"

namespace quellon {
namespace {

// Reads a whole file as bytes; false when it cannot be opened or read.
bool ReadAllBytes(const std::filesystem::path& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0) return false;
  in.seekg(0, std::ios::beg);
  bytes.assign(static_cast<std::size_t>(size), '\0');
  if (size > 0 && !in.read(bytes.data(), size)) return false;
  return true;
}

std::uint16_t ReadU16(const unsigned char* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::int32_t ReadI32(const unsigned char* p) {
  const std::uint32_t u =
      static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
      (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
  return static_cast<std::int32_t>(u);  // two's complement (well defined since C++20)
}

// Little-endian 16-bit samples of a byte string; an odd last byte is ignored.
SampleArray BytesToSamples(const std::string& bytes) {
  const std::size_t n = bytes.size() / 2;
  SampleArray out(n + 1, 0);
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  for (std::size_t k = 0; k < n; ++k) {
    out[k] = static_cast<std::int16_t>(ReadU16(p + 2 * k));
  }
  return out;
}

SampleArray PauseZeros() {
  return SampleArray(51, 0);
}

std::u16string FileNameOf(const std::filesystem::path& p) {
#ifdef _WIN32
  return p.filename().u16string();
#else
  return text::Utf8ToUtf16(p.filename().native());
#endif
}

}  // namespace

VoiceDatabase::VoiceDatabase(std::filesystem::path programFolder)
    : programFolder_(std::move(programFolder)) {
  // The folder is kept without one trailing separator ("C:\Q\" -> "C:\Q", "/opt/q/" -> "/opt/q");
  // a root ("/", "C:\") stays as it is.
  if (programFolder_.has_relative_path() && !programFolder_.has_filename()) {
    programFolder_ = programFolder_.parent_path();
  }
}

std::filesystem::path VoiceDatabase::FilePath(std::u16string_view name,
                                              std::u16string_view extension) const {
  std::u16string file(name);
  file += extension;
#ifdef _WIN32
  return programFolder_ / std::filesystem::path(file);
#else
  return programFolder_ / std::filesystem::path(text::Utf16ToUtf8(file));
#endif
}

bool VoiceDatabase::FileExists(const std::filesystem::path& path) {
  // Like a directory listing of the one name: a plain file that is not hidden (a leading dot
  // marks a hidden file here on every platform). Errors of any kind give false.
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec) || ec) return false;
  const std::u16string name = FileNameOf(path);
  return !name.empty() && name[0] != u'.';
}

bool VoiceDatabase::LoadVoice(std::u16string_view name) {
  unitIndex_.clear();
  firstEntry_.clear();
  const std::filesystem::path indexPath = FilePath(name, u".idx");
  if (!FileExists(indexPath)) return false;
  ReadIndexFile(indexPath);
  ReadSampleFile(FilePath(name, u".vce"));
  packedVoiceLoaded_ = true;
  return true;
}

void VoiceDatabase::ReadIndexFile(const std::filesystem::path& path) {
  std::string bytes;
  if (!ReadAllBytes(path, bytes)) return;  // unreadable: an empty index, the load goes on
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();
  std::size_t pos = 0;
  while (pos < size) {
    // A record is NameLength (2) + Name + Offset (4) + Length (4); one cut short ends the index.
    if (size - pos < 2) break;
    const std::size_t nameLength = ReadU16(p + pos);
    if (size - pos - 2 < nameLength + 8) break;
    const std::string_view rawName(bytes.data() + pos + 2, nameLength);
    const std::int32_t offset = ReadI32(p + pos + 2 + nameLength);
    const std::int32_t length = ReadI32(p + pos + 2 + nameLength + 4);
    pos += 2 + nameLength + 8;

    std::u16string entryName = text::Cp1250ToUtf16(rawName);
    if (length <= 0) {
      if (entryName == u"pitch_deg") {
        params_.PitchDegradation = offset;
      } else if (entryName == u"PITCHDN" || entryName == u"PITCHUP") {
        if (offset >= INT16_MIN && offset <= INT16_MAX) {
          auto& target =
              entryName == u"PITCHDN" ? params_.PitchDnShiftTarget : params_.PitchUpShiftTarget;
          target = static_cast<std::int16_t>(offset);
        }
      }
      continue;  // parameter entries are not stored
    }
    firstEntry_.try_emplace(entryName, unitIndex_.size());  // the first entry of a name wins
    unitIndex_.push_back(VoiceIndexEntry{std::move(entryName), offset, length});
  }
}

void VoiceDatabase::ReadSampleFile(const std::filesystem::path& path) {
  sampleStore_.clear();
  std::string bytes;
  if (!ReadAllBytes(path, bytes)) {
    sampleStore_.shrink_to_fit();
    return;  // missing or unreadable: no samples; every unit then reads as zeros or empty
  }
  sampleStore_.resize(bytes.size() / 2);
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  for (std::size_t k = 0; k < sampleStore_.size(); ++k) {
    sampleStore_[k] = static_cast<std::int16_t>(ReadU16(p + 2 * k));
  }
}

SampleArray VoiceDatabase::ExtractUnit(std::u16string_view name) const {
  const auto it = firstEntry_.find(std::u16string(name));
  if (it == firstEntry_.end()) {
    if (name == u"-") return PauseZeros();
    return EmptySamples();
  }
  const VoiceIndexEntry& entry = unitIndex_[it->second];
  const std::int64_t length = entry.Length;  // > 0: only such entries are stored
  const std::int64_t storeSize = static_cast<std::int64_t>(sampleStore_.size());
  if (length > storeSize) return EmptySamples();  // longer than the whole voice: not a real entry
  SampleArray out(static_cast<std::size_t>(length) + 1, 0);
  const std::int64_t first = entry.Offset;
  if (first >= 0 && first + length <= storeSize) {
    std::memcpy(out.data(), sampleStore_.data() + first,
                static_cast<std::size_t>(length) * sizeof(std::int16_t));
  }
  return out;
}

bool VoiceDatabase::UnitExists(std::u16string_view name) const {
  if (packedVoiceLoaded_) return firstEntry_.count(std::u16string(name)) != 0;
  return FileExists(FilePath(name, u".dat"));
}

SampleArray VoiceDatabase::LoadUnitFile(std::u16string_view name) const {
  const std::filesystem::path path = FilePath(name, u".dat");
  if (!FileExists(path)) {
    if (name == u"-") return PauseZeros();
    return EmptySamples();
  }
  std::string bytes;
  if (!ReadAllBytes(path, bytes)) return EmptySamples();
  return BytesToSamples(bytes);
}

SampleArray VoiceDatabase::LoadPitchMarkFile(std::u16string_view name) const {
  const std::filesystem::path path = FilePath(name, u".dat");
  if (!FileExists(path)) return EmptySamples();
  std::string bytes;
  if (!ReadAllBytes(path, bytes)) return EmptySamples();
  // Lines end at CR LF, LF or CR. A line whose leading number is 0 (or that has none) is
  // skipped. Every other line adds one element: its value rounded half to even, or 0 when that
  // value does not fit 16 bits (the store fails, the sequence still grows - as the step-by-step
  // reading of this file always did).
  SampleArray marks = EmptySamples();
  std::size_t pos = 0;
  const std::size_t size = bytes.size();
  while (pos < size) {
    std::size_t end = pos;
    while (end < size && bytes[end] != '\n' && bytes[end] != '\r') ++end;
    const double value = text::LeadingNumber(std::string_view(bytes.data() + pos, end - pos));
    if (value != 0) {
      marks.back() = text::RoundToInt16(value).value_or(0);
      marks.push_back(0);
    }
    if (end < size && bytes[end] == '\r' && end + 1 < size && bytes[end + 1] == '\n') ++end;
    pos = end + 1;
  }
  return marks;
}

std::vector<std::u16string> VoiceDatabase::ListVoices() const {
  std::vector<std::u16string> names;
  std::error_code ec;
  std::filesystem::directory_iterator it(programFolder_, ec);
  if (ec) return names;
  for (const std::filesystem::directory_iterator end; it != end; it.increment(ec)) {
    if (ec) break;
    std::error_code fileEc;
    if (!it->is_regular_file(fileEc) || fileEc) continue;
    const std::u16string file = FileNameOf(it->path());
    if (file.empty() || file[0] == u'.') continue;  // hidden
    if (file.size() <= 3) continue;
    const std::u16string lower = text::ToLower(file);
    if (lower.compare(lower.size() - 3, 3, u"vce") != 0) continue;
    names.push_back(file.substr(0, file.size() - 4));
  }
  return names;
}

}  // namespace quellon
