#include "core/time_and_date.h"

#include <array>
#include <chrono>
#include <ctime>
#include <string_view>

#include "core/speech_output.h"
#include "text/text.h"

namespace quellon::core {
namespace {

constexpr std::array<std::u16string_view, 7> kDaysCz = {u"neděle",  u"pondělí", u"úterý", u"středa",
                                                        u"čtvrtek", u"pátek",   u"sobota"};
constexpr std::array<std::u16string_view, 7> kDaysEn = {
    u"Sunday", u"Monday", u"Tuesday", u"Wednesday", u"Thursday", u"Friday", u"Saturday"};
constexpr std::array<std::u16string_view, 12> kMonthsCz = {
    u"leden",    u"únor",  u"březen", u"duben", u"květen",   u"červen",
    u"červenec", u"srpen", u"září",   u"říjen", u"listopad", u"prosinec"};
constexpr std::array<std::u16string_view, 12> kMonthsEn = {
    u"January", u"February", u"March",     u"April",   u"May",      u"June",
    u"July",    u"August",   u"September", u"October", u"November", u"December"};

template <std::size_t N>
std::u16string_view Pick(const std::array<std::u16string_view, N>& table, std::int32_t index) {
  if (index < 0 || index >= static_cast<std::int32_t>(N)) return {};
  return table[static_cast<std::size_t>(index)];
}

std::u16string Number(std::int32_t v) {
  return text::Ascii16(std::to_string(v));
}

}  // namespace

std::u16string TimeAndDateText(const platform::LocalTime& now, bool isEnglish) {
  std::u16string s = Number(now.hour);
  s += isEnglish ? u" hours, " : u" hodin, ";
  s += Number(now.minute);
  s += isEnglish ? u" minutes, " : u" minut, ";
  s += Pick(isEnglish ? kDaysEn : kDaysCz, now.dayOfWeek);
  s += u", ";
  s += Number(now.day);
  s += u".";
  s += Pick(isEnglish ? kMonthsEn : kMonthsCz, now.month - 1);
  s += u" ";
  // The year in four digits.
  std::u16string year = Number(now.year);
  if (now.year >= 0 && year.size() < 4) year.insert(0, 4 - year.size(), u'0');
  s += year;
  return s;
}

std::u16string TimeAndDateText(platform::LocalClock& clock, bool isEnglish) {
  return TimeAndDateText(clock.GetLocalTime(), isEnglish);
}

void SayTimeAndDate(SpeechOutput& output, platform::LocalClock& clock, bool isEnglish) {
  output.Say(TimeAndDateText(clock, isEnglish), 0, false);
}

platform::LocalTime SystemLocalClock::GetLocalTime() {
  const std::time_t t = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm tm{};
#ifdef _WIN32
  localtime_s(&tm, &t);
#else
  localtime_r(&t, &tm);
#endif
  platform::LocalTime now;
  now.year = tm.tm_year + 1900;
  now.month = tm.tm_mon + 1;
  now.dayOfWeek = tm.tm_wday;
  now.day = tm.tm_mday;
  now.hour = tm.tm_hour;
  now.minute = tm.tm_min;
  now.second = tm.tm_sec;
  return now;
}

}  // namespace quellon::core
