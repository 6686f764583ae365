// The sentence that tells the current time and date in the user-interface language, as in
// "14 hodin, 5 minut, pondělí, 7.prosinec 2026" / "14 hours, 5 minutes, Monday, 7.December 2026".
#pragma once

#include <string>

#include "platform/local_clock.h"

namespace quellon::core {

class SpeechOutput;

// The sentence for one reading of the clock. Fields out of range (a day of the week outside 0..6,
// a month outside 1..12) give an empty name in their place.
std::u16string TimeAndDateText(const platform::LocalTime& now, bool isEnglish);
// Reads the clock once, so time and date always belong to the same moment.
std::u16string TimeAndDateText(platform::LocalClock& clock, bool isEnglish);
// Says the sentence with the info band allowed.
void SayTimeAndDate(SpeechOutput& output, platform::LocalClock& clock, bool isEnglish);

// The local clock of the machine the program runs on.
class SystemLocalClock : public platform::LocalClock {
 public:
  platform::LocalTime GetLocalTime() override;
};

}  // namespace quellon::core
