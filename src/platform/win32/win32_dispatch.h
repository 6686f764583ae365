// Late-bound calls on another program's automation object: members are called by name
// (IDispatch::GetIDsOfNames, then Invoke), as a script calls them, so any object that answers
// the names works, whatever interfaces it has besides. Every failure is an empty answer.
#pragma once

#include "platform/win32/win32_windows.h"

#include <oaidl.h>

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>

namespace quellon::platform::win32 {

class DispatchObject;

// One VARIANT, cleared at the end of its life.
class Variant {
 public:
  Variant() { VariantInit(&v_); }
  explicit Variant(std::int32_t value);
  explicit Variant(const std::u16string& text);
  explicit Variant(const DispatchObject& object);  // a reference of its own
  ~Variant() { VariantClear(&v_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;

  VARIANT* get() { return &v_; }
  const VARIANT& ref() const { return v_; }

  // The value as a 32-bit number (a text, a floating-point or a boolean value converted).
  std::optional<std::int32_t> ToInt() const;
  // The value as a text, at most `maxLength` characters of it.
  std::optional<std::u16string> ToText(std::size_t maxLength) const;
  bool ToBool() const;
  // The value as an automation object (empty when it is none).
  DispatchObject ToObject() const;

 private:
  VARIANT v_;
};

// An owned IDispatch reference.
class DispatchObject {
 public:
  DispatchObject() = default;
  explicit DispatchObject(IDispatch* takenReference) : p_(takenReference) {}
  // The IDispatch of any object (QueryInterface); empty when it has none.
  static DispatchObject FromUnknown(IUnknown* object);
  ~DispatchObject() {
    if (p_ != nullptr) p_->Release();
  }
  DispatchObject(const DispatchObject&) = delete;
  DispatchObject& operator=(const DispatchObject&) = delete;
  DispatchObject(DispatchObject&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
  DispatchObject& operator=(DispatchObject&& other) noexcept;

  explicit operator bool() const { return p_ != nullptr; }
  IDispatch* get() const { return p_; }

  // Reads the property `name`. False when the object has no such member or the call fails.
  bool Get(const wchar_t* name, Variant& result) const;
  // Calls the method `name` with `args` (in the order written); `result` may be null.
  bool Call(const wchar_t* name, std::initializer_list<const Variant*> args, Variant* result) const;

  std::optional<std::int32_t> IntProperty(const wchar_t* name) const;
  std::optional<std::u16string> TextProperty(const wchar_t* name, std::size_t maxLength) const;
  DispatchObject ObjectProperty(const wchar_t* name) const;
  DispatchObject CallForObject(const wchar_t* name,
                               std::initializer_list<const Variant*> args) const;

 private:
  bool Invoke(const wchar_t* name, WORD flags, std::initializer_list<const Variant*> args,
              Variant* result) const;

  IDispatch* p_ = nullptr;
};

}  // namespace quellon::platform::win32
