// The COM server of the automation class "Quellon.App". The running program registers the class
// object (a local server, one object for every client: REGCLS_MULTIPLEUSE), so a script's
// CreateObject("Quellon.App") reaches the program that is running. Calls arrive on the main
// (single-threaded apartment) thread through its message loop and go to the main window's
// automation class, looked up afresh on each call (the null part before startup and after
// shutdown). IDispatch is served from the type library embedded in Quellon.exe.
//
// Registration (Quellon.exe /regserver, /unregserver) writes or removes the ProgID, the class id
// with its LocalServer32 command and the type library: per user (HKCU\Software\Classes), or for
// all users (HKLM\Software\Classes) with /allusers.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "shell/automation.h"

namespace quellon::app {

inline constexpr wchar_t kAutomationProgId[] = L"Quellon.App";

// What the command line asks of the server; every other argument (such as the -Embedding that
// COM adds when it starts the program itself) starts the program as usual.
struct ServerSwitches {
  enum class Command { kNone, kRegister, kUnregister };
  Command command = Command::kNone;
  bool allUsers = false;
};
// "/regserver", "/unregserver" and "/allusers" (or with "-"), in any case.
ServerSwitches ParseServerSwitches(const std::vector<std::wstring>& arguments);

// Registers (or removes) the class for the program file `exe`. 0 on success, else the failing
// call's HRESULT.
long RegisterAutomationServer(const std::wstring& exe, bool allUsers);
long UnregisterAutomationServer(const std::wstring& exe, bool allUsers);

class AutomationServer {
 public:
  using AutomationSource = std::function<shell::Automation&()>;

  // `exe` holds the type library.
  AutomationServer(std::wstring exe, AutomationSource source);
  ~AutomationServer();
  AutomationServer(const AutomationServer&) = delete;
  AutomationServer& operator=(const AutomationServer&) = delete;

  // Registers the class object with COM. 0 on success, else the failing call's HRESULT.
  long Start();
  // Revokes the class object; objects still held by clients answer with failures from now on.
  void Stop();

  struct Shared;

 private:
  std::wstring exe_;
  std::shared_ptr<Shared> shared_;
  void* factory_ = nullptr;
  unsigned long cookie_ = 0;
};

}  // namespace quellon::app
