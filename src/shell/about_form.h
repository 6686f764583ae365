// The about box (frmAbout): the program's name, version and where to find more.
#pragma once

namespace quellon::shell {

class AboutForm {
 public:
  virtual ~AboutForm() = default;
  // Shows the box; returns when the user has closed it.
  virtual void ShowAbout() = 0;
};

}  // namespace quellon::shell
