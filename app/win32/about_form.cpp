#include "about_form.h"

#include <string>

#include "strings/string_table.h"

namespace quellon::app {

void Win32AboutForm::ShowAbout() {
  std::u16string text = u"Quellon";
  shell::frmMain* main = mainForm_.Main();
  if (main != nullptr && main->Strings() != nullptr) {
    text = main->Strings()->GetString(strings::StringTable::kAboutDescription) + u"\r\n" +
           main->Strings()->GetString(strings::StringTable::kAboutMoreInfo);
  }
  text += u"\r\n" + shell::StatusCaption(mainForm_.Version());
  MessageBoxW(mainForm_.Window(), platform::win32::Wide(text), L"Quellon",
              MB_OK | MB_ICONINFORMATION);
}

}  // namespace quellon::app
