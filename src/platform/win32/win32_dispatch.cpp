#include "platform/win32/win32_dispatch.h"

#include <oleauto.h>

#include <algorithm>
#include <vector>

namespace quellon::platform::win32 {

Variant::Variant(std::int32_t value) {
  VariantInit(&v_);
  v_.vt = VT_I4;
  v_.lVal = value;
}

Variant::Variant(const std::u16string& text) {
  VariantInit(&v_);
  v_.bstrVal = SysAllocStringLen(Wide(text), static_cast<UINT>(text.size()));
  if (v_.bstrVal != nullptr) v_.vt = VT_BSTR;
}

Variant::Variant(const DispatchObject& object) {
  VariantInit(&v_);
  if (IDispatch* p = object.get()) {
    p->AddRef();
    v_.vt = VT_DISPATCH;
    v_.pdispVal = p;
  }
}

std::optional<std::int32_t> Variant::ToInt() const {
  VARIANT converted;
  VariantInit(&converted);
  if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(&v_), 0, VT_I4))) {
    return std::nullopt;
  }
  const std::int32_t value = converted.lVal;
  VariantClear(&converted);
  return value;
}

std::optional<std::u16string> Variant::ToText(std::size_t maxLength) const {
  if (v_.vt != VT_BSTR) return std::nullopt;
  const std::size_t length =
      std::min<std::size_t>(v_.bstrVal != nullptr ? SysStringLen(v_.bstrVal) : 0, maxLength);
  return FromWide(v_.bstrVal, length);
}

bool Variant::ToBool() const {
  if (v_.vt == VT_BOOL) return v_.boolVal != VARIANT_FALSE;
  const std::optional<std::int32_t> n = ToInt();
  return n && *n != 0;
}

DispatchObject Variant::ToObject() const {
  if (v_.vt == VT_DISPATCH) return DispatchObject::FromUnknown(v_.pdispVal);
  if (v_.vt == VT_UNKNOWN) return DispatchObject::FromUnknown(v_.punkVal);
  return DispatchObject();
}

DispatchObject DispatchObject::FromUnknown(IUnknown* object) {
  IDispatch* p = nullptr;
  if (object == nullptr ||
      FAILED(object->QueryInterface(__uuidof(IDispatch), reinterpret_cast<void**>(&p)))) {
    return DispatchObject();
  }
  return DispatchObject(p);
}

DispatchObject& DispatchObject::operator=(DispatchObject&& other) noexcept {
  if (this != &other) {
    if (p_ != nullptr) p_->Release();
    p_ = other.p_;
    other.p_ = nullptr;
  }
  return *this;
}

bool DispatchObject::Invoke(const wchar_t* name, WORD flags,
                            std::initializer_list<const Variant*> args, Variant* result) const {
  if (p_ == nullptr) return false;
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  if (FAILED(p_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return false;
  // Invoke takes the arguments last first; the VARIANTs stay owned by the caller's Variants.
  std::vector<VARIANTARG> reversed;
  reversed.reserve(args.size());
  for (auto it = std::rbegin(args); it != std::rend(args); ++it) reversed.push_back((*it)->ref());
  DISPPARAMS params{};
  params.rgvarg = reversed.empty() ? nullptr : reversed.data();
  params.cArgs = static_cast<UINT>(reversed.size());
  EXCEPINFO exception{};
  UINT badArgument = 0;
  const HRESULT hr =
      p_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                 result != nullptr ? result->get() : nullptr, &exception, &badArgument);
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  return SUCCEEDED(hr);
}

bool DispatchObject::Get(const wchar_t* name, Variant& result) const {
  return Invoke(name, DISPATCH_PROPERTYGET, {}, &result);
}

bool DispatchObject::Call(const wchar_t* name, std::initializer_list<const Variant*> args,
                          Variant* result) const {
  // Script objects expose their methods as properties too; ask for either.
  return Invoke(name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, args, result);
}

std::optional<std::int32_t> DispatchObject::IntProperty(const wchar_t* name) const {
  Variant v;
  if (!Get(name, v)) return std::nullopt;
  return v.ToInt();
}

std::optional<std::u16string> DispatchObject::TextProperty(const wchar_t* name,
                                                           std::size_t maxLength) const {
  Variant v;
  if (!Get(name, v)) return std::nullopt;
  return v.ToText(maxLength);
}

DispatchObject DispatchObject::ObjectProperty(const wchar_t* name) const {
  Variant v;
  if (!Get(name, v)) return DispatchObject();
  return v.ToObject();
}

DispatchObject DispatchObject::CallForObject(const wchar_t* name,
                                             std::initializer_list<const Variant*> args) const {
  Variant v;
  if (!Call(name, args, &v)) return DispatchObject();
  return v.ToObject();
}

}  // namespace quellon::platform::win32
