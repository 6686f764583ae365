#include "automation_server.h"

#include <atomic>
#include <cwctype>
#include <new>
#include <utility>

#include "platform/win32/win32_windows.h"
// The system's COM headers, then the interface generated from quellon_automation.idl.
#include <initguid.h>
#include <oleauto.h>

#include "quellon_automation.h"

namespace quellon::app {

// What the class object and every object it made share: where calls go, and the type
// information IDispatch is served from. Stop() points the calls at the null part.
struct AutomationServer::Shared {
  AutomationSource source;
  shell::NullAutomation none;
  ITypeInfo* info = nullptr;
  shell::Automation& Target() {
    if (!source) return none;
    return source();
  }
  ~Shared() {
    if (info) info->Release();
  }
};

namespace {

// A failure of what the class called: an HRESULT passes unchanged, the small negative codes of
// the engine become E_FAIL.
HRESULT ResultOf(std::int32_t code) {
  if (code >= 0) return S_OK;
  return code < -0xFFFF ? static_cast<HRESULT>(code) : E_FAIL;
}

std::u16string FromBstr(BSTR text) {
  if (text == nullptr) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(text), SysStringLen(text));
}

std::wstring GuidText(REFGUID id) {
  wchar_t text[40] = {};
  StringFromGUID2(id, text, 40);
  return text;
}

// One object of the class; every call goes to the main window's automation class.
class AppObject final : public IQuellonApp {
 public:
  explicit AppObject(std::shared_ptr<AutomationServer::Shared> shared)
      : shared_(std::move(shared)) {}

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        IsEqualIID(riid, IID_IQuellonApp)) {
      *object = static_cast<IQuellonApp*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

  // IDispatch, from the type library
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = shared_->info ? 1 : 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    if (info == nullptr) return E_POINTER;
    *info = nullptr;
    if (index != 0 || shared_->info == nullptr) return DISP_E_BADINDEX;
    shared_->info->AddRef();
    *info = shared_->info;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (shared_->info == nullptr) return E_UNEXPECTED;
    return DispGetIDsOfNames(shared_->info, names, count, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception,
                                   UINT* argumentError) override {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (shared_->info == nullptr) return E_UNEXPECTED;
    return DispInvoke(static_cast<IQuellonApp*>(this), shared_->info, member, flags, params, result,
                      exception, argumentError);
  }

  // IQuellonApp, in the class's order
  HRESULT STDMETHODCALLTYPE SayIt(BSTR mess) override {
    return Call([&](shell::Automation& app) { return app.SayIt(FromBstr(mess)); });
  }
  HRESULT STDMETHODCALLTYPE SetHook(LONG value) override {
    return Call([&](shell::Automation& app) { return app.SetHook(value); });
  }
  HRESULT STDMETHODCALLTYPE SetVisible(LONG mode) override {
    return Call([&](shell::Automation& app) { return app.SetVisible(mode); });
  }
  HRESULT STDMETHODCALLTYPE Destroy() override {
    return Call([](shell::Automation& app) { return app.Destroy(); });
  }
  HRESULT STDMETHODCALLTYPE IsSpeaking(VARIANT_BOOL* speaking) override {
    if (speaking == nullptr) return E_POINTER;
    bool value = false;
    const HRESULT hr = Call([&](shell::Automation& app) { return app.IsSpeaking(value); });
    *speaking = value ? VARIANT_TRUE : VARIANT_FALSE;
    return hr;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    return Call([](shell::Automation& app) { return app.Reset(); });
  }
  HRESULT STDMETHODCALLTYPE SetTempo(LONG tempo) override {
    return Call([&](shell::Automation& app) { return app.SetTempo(tempo); });
  }
  HRESULT STDMETHODCALLTYPE GetTempo(LONG* tempo) override {
    if (tempo == nullptr) return E_POINTER;
    std::int32_t value = 0;
    const HRESULT hr = Call([&](shell::Automation& app) { return app.GetTempo(value); });
    *tempo = value;
    return hr;
  }
  HRESULT STDMETHODCALLTYPE SetPitch(LONG pitch) override {
    return Call([&](shell::Automation& app) { return app.SetPitch(pitch); });
  }
  HRESULT STDMETHODCALLTYPE GetPitch(LONG* pitch) override {
    if (pitch == nullptr) return E_POINTER;
    std::int32_t value = 0;
    const HRESULT hr = Call([&](shell::Automation& app) { return app.GetPitch(value); });
    *pitch = value;
    return hr;
  }
  HRESULT STDMETHODCALLTYPE SelectVoice(BSTR voiceName) override {
    return Call([&](shell::Automation& app) { return app.SelectVoice(FromBstr(voiceName)); });
  }

 private:
  template <typename F>
  HRESULT Call(F&& f) {
    try {
      return ResultOf(f(shared_->Target()));
    } catch (...) {
      return E_UNEXPECTED;  // nothing may leave a COM method
    }
  }

  std::atomic<ULONG> refs_{1};
  std::shared_ptr<AutomationServer::Shared> shared_;
};

// The class object: lives as long as the server and makes one object per CreateInstance.
class AppFactory final : public IClassFactory {
 public:
  explicit AppFactory(std::shared_ptr<AutomationServer::Shared> shared)
      : shared_(std::move(shared)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
      *object = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    AppObject* app = new (std::nothrow) AppObject(shared_);
    if (app == nullptr) return E_OUTOFMEMORY;
    const HRESULT hr = app->QueryInterface(riid, object);
    app->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  std::atomic<ULONG> refs_{1};
  std::shared_ptr<AutomationServer::Shared> shared_;
};

HRESULT FromWin32(LSTATUS status) {
  return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(status);
}

// Sets the default value (empty `name`) or a named string value of root\path, creating the key.
HRESULT SetKeyValue(HKEY root, const std::wstring& path, const wchar_t* name,
                    const std::wstring& value) {
  HKEY key = nullptr;
  LSTATUS status = RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                   KEY_SET_VALUE, nullptr, &key, nullptr);
  if (status != ERROR_SUCCESS) return FromWin32(status);
  status = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  return FromWin32(status);
}

// Removes root\path with everything below it; a key that is not there is no failure.
HRESULT DeleteKeyTree(HKEY root, const std::wstring& path) {
  LSTATUS status = RegDeleteTreeW(root, path.c_str());
  // Some systems leave the key itself, emptied, behind.
  if (status == ERROR_SUCCESS) status = RegDeleteKeyW(root, path.c_str());
  return status == ERROR_FILE_NOT_FOUND ? S_OK : FromWin32(status);
}

// RegisterTypeLibForUser and UnRegisterTypeLibForUser are missing from MinGW's import library.
using RegisterForUser = HRESULT(WINAPI*)(ITypeLib*, OLECHAR*, OLECHAR*);
using UnregisterForUser = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);

template <typename T>
T OleAutomationFunction(const char* name) {
  HMODULE oleaut = GetModuleHandleW(L"oleaut32.dll");
  if (oleaut == nullptr) return nullptr;
  return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(oleaut, name)));
}

HRESULT RegisterTypeLibrary(const std::wstring& exe, bool allUsers) {
  ITypeLib* library = nullptr;
  HRESULT hr = LoadTypeLibEx(exe.c_str(), REGKIND_NONE, &library);
  if (FAILED(hr)) return hr;
  std::wstring path = exe;
  if (allUsers) {
    hr = RegisterTypeLib(library, path.data(), nullptr);
  } else if (auto forUser = OleAutomationFunction<RegisterForUser>("RegisterTypeLibForUser")) {
    hr = forUser(library, path.data(), nullptr);
  } else {
    hr = RegisterTypeLib(library, path.data(), nullptr);
  }
  library->Release();
  return hr;
}

HRESULT UnregisterTypeLibrary(bool allUsers) {
  HRESULT hr = E_NOTIMPL;
  if (!allUsers) {
    if (auto forUser = OleAutomationFunction<UnregisterForUser>("UnRegisterTypeLibForUser")) {
      hr = forUser(LIBID_QuellonAutomation, 1, 0, LOCALE_NEUTRAL, SYS_WIN64);
    }
  }
  if (hr == E_NOTIMPL)
    hr = UnRegisterTypeLib(LIBID_QuellonAutomation, 1, 0, LOCALE_NEUTRAL, SYS_WIN64);
  // A library that was never registered is not an error of the removal.
  if (hr == TYPE_E_REGISTRYACCESS || hr == TYPE_E_LIBNOTREGISTERED) hr = S_OK;
  return hr;
}

std::wstring ClassesPath(const std::wstring& tail) {
  return L"Software\\Classes\\" + tail;
}

}  // namespace

ServerSwitches ParseServerSwitches(const std::vector<std::wstring>& arguments) {
  ServerSwitches switches;
  for (const std::wstring& argument : arguments) {
    if (argument.size() < 2 || (argument[0] != L'/' && argument[0] != L'-')) continue;
    std::wstring name = argument.substr(1);
    for (wchar_t& c : name) c = static_cast<wchar_t>(std::towlower(c));
    if (name == L"regserver") {
      switches.command = ServerSwitches::Command::kRegister;
    } else if (name == L"unregserver") {
      switches.command = ServerSwitches::Command::kUnregister;
    } else if (name == L"allusers") {
      switches.allUsers = true;
    }
  }
  return switches;
}

long RegisterAutomationServer(const std::wstring& exe, bool allUsers) {
  const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  const HKEY root = allUsers ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
  const std::wstring clsid = GuidText(CLSID_App);
  const std::wstring classKey = ClassesPath(L"CLSID\\" + clsid);
  const std::wstring progId = kAutomationProgId;
  HRESULT hr = S_OK;
  auto set = [&](const std::wstring& path, const wchar_t* name, const std::wstring& value) {
    if (SUCCEEDED(hr)) hr = SetKeyValue(root, path, name, value);
  };
  set(ClassesPath(progId), nullptr, L"Quellon automation");
  set(ClassesPath(progId + L"\\CLSID"), nullptr, clsid);
  set(classKey, nullptr, progId);
  set(classKey + L"\\ProgID", nullptr, progId);
  set(classKey + L"\\LocalServer32", nullptr, L"\"" + exe + L"\"");
  set(classKey + L"\\TypeLib", nullptr, GuidText(LIBID_QuellonAutomation));
  set(classKey + L"\\Version", nullptr, L"1.0");
  if (SUCCEEDED(hr)) hr = RegisterTypeLibrary(exe, allUsers);
  if (com) CoUninitialize();
  return hr;
}

long UnregisterAutomationServer(const std::wstring&, bool allUsers) {
  const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  const HKEY root = allUsers ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
  // Everything is removed that can be; the first failure is the answer.
  HRESULT result = UnregisterTypeLibrary(allUsers);
  for (const std::wstring& path :
       {ClassesPath(L"CLSID\\" + GuidText(CLSID_App)), ClassesPath(kAutomationProgId)}) {
    const HRESULT hr = DeleteKeyTree(root, path);
    if (SUCCEEDED(result)) result = hr;
  }
  if (com) CoUninitialize();
  return result;
}

AutomationServer::AutomationServer(std::wstring exe, AutomationSource source)
    : exe_(std::move(exe)), shared_(std::make_shared<Shared>()) {
  shared_->source = std::move(source);
}

AutomationServer::~AutomationServer() {
  Stop();
}

long AutomationServer::Start() {
  if (factory_ != nullptr) return S_OK;
  if (shared_->info == nullptr) {
    ITypeLib* library = nullptr;
    HRESULT hr = LoadTypeLibEx(exe_.c_str(), REGKIND_NONE, &library);
    if (FAILED(hr)) return hr;
    hr = library->GetTypeInfoOfGuid(IID_IQuellonApp, &shared_->info);
    library->Release();
    if (FAILED(hr)) return hr;
  }
  auto* factory = new (std::nothrow) AppFactory(shared_);
  if (factory == nullptr) return E_OUTOFMEMORY;
  DWORD cookie = 0;
  const HRESULT hr = CoRegisterClassObject(CLSID_App, static_cast<IClassFactory*>(factory),
                                           CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie);
  if (FAILED(hr)) {
    factory->Release();
    return hr;
  }
  factory_ = factory;
  cookie_ = cookie;
  return S_OK;
}

void AutomationServer::Stop() {
  if (factory_ != nullptr) {
    CoRevokeClassObject(cookie_);
    static_cast<AppFactory*>(factory_)->Release();
    factory_ = nullptr;
    cookie_ = 0;
  }
  shared_->source = nullptr;  // objects still held answer through the null part
}

}  // namespace quellon::app
