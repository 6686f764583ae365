// The about box on Windows: a message box owned by the main window with the program's
// description and its version.
#pragma once

#include "main_form.h"
#include "shell/about_form.h"

namespace quellon::app {

class Win32AboutForm : public shell::AboutForm {
 public:
  explicit Win32AboutForm(Win32MainForm& mainForm) : mainForm_(mainForm) {}
  void ShowAbout() override;

 private:
  Win32MainForm& mainForm_;
};

}  // namespace quellon::app
