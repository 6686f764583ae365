// Windows only. An automation object for tests whose members are functions found by name, as a
// script's object answers IDispatch: GetIDsOfNames hands out one id per member added, Invoke
// calls the member with the arguments in their written order. Starts with one reference.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace quellon::testing {

class ScriptObject : public IDispatch {
 public:
  using Member = std::function<HRESULT(const std::vector<VARIANT>& args, VARIANT* result)>;

  void Add(const std::wstring& name, Member member) {
    ids_[name] = static_cast<DISPID>(members_.size() + 1);
    members_.push_back(std::move(member));
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch)) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const long left = --refs_;
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    if (count != 1) return E_INVALIDARG;
    const auto it = ids_.find(names[0]);
    if (it == ids_.end()) {
      ids[0] = DISPID_UNKNOWN;
      return DISP_E_UNKNOWNNAME;
    }
    ids[0] = it->second;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO*, UINT*) override {
    if (id < 1 || static_cast<std::size_t>(id) > members_.size()) return DISP_E_MEMBERNOTFOUND;
    std::vector<VARIANT> args;
    for (UINT i = params->cArgs; i > 0; --i) args.push_back(params->rgvarg[i - 1]);
    VARIANT ignored;
    VariantInit(&ignored);
    const HRESULT hr = members_[static_cast<std::size_t>(id - 1)](args, result ? result : &ignored);
    VariantClear(&ignored);
    return hr;
  }

 protected:
  virtual ~ScriptObject() = default;

 private:
  long refs_ = 1;
  std::map<std::wstring, DISPID> ids_;
  std::vector<Member> members_;
};

}  // namespace quellon::testing
