// Owners for Win32 handles and COM objects. Each one releases what it holds exactly once, when
// it goes out of scope or is reset, and can be moved but not copied. Where the order of
// releases matters, the code says so with an explicit reset().
#pragma once

#include <windows.h>
// After windows.h:
#include <bcrypt.h>
#include <objbase.h>
#include <oleauto.h>
#include <winhttp.h>

#include <cstddef>
#include <utility>

namespace tonvira {

// What an owner holds when it owns nothing. Most Win32 calls fail with a null handle; CreateFileW
// and FindFirstFileW fail with INVALID_HANDLE_VALUE, and for them null is not "nothing".
struct EmptyIsNull {
  static constexpr std::nullptr_t Value() { return nullptr; }
};
struct EmptyIsInvalidHandle {
  static HANDLE Value() { return INVALID_HANDLE_VALUE; }
};

// A handle of type T, released with Close (CloseHandle, RegCloseKey, LocalFree...).
template <typename T, auto Close, typename Empty = EmptyIsNull>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(T value) : value_(value) {}
  UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  T get() const { return value_; }
  explicit operator bool() const { return value_ != Empty::Value(); }

  // Gives up ownership without releasing.
  T release() { return std::exchange(value_, Empty::Value()); }
  // Releases the handle held (if any) and takes the new one.
  void reset(T value = Empty::Value()) {
    T old = std::exchange(value_, value);
    if (old != Empty::Value()) Close(old);
  }
  // For a call that hands out a handle through a pointer: releases the one held first.
  T* put() {
    reset();
    return &value_;
  }

 private:
  T value_ = Empty::Value();
};

// Events, threads, processes, tokens, mutexes.
using KernelHandle = UniqueHandle<HANDLE, CloseHandle>;
// What CreateFileW opens.
using FileHandle = UniqueHandle<HANDLE, CloseHandle, EmptyIsInvalidHandle>;
using RegistryKey = UniqueHandle<HKEY, RegCloseKey>;
using HookHandle = UniqueHandle<HHOOK, UnhookWindowsHookEx>;
using WinEventHookHandle = UniqueHandle<HWINEVENTHOOK, UnhookWinEvent>;
// Brushes, pens, fonts and bitmaps: delete them only once they are no longer selected into a DC.
template <typename T>
using GdiObject = UniqueHandle<T, DeleteObject>;
using MemoryDc = UniqueHandle<HDC, DeleteDC>;
using IconHandle = UniqueHandle<HICON, DestroyIcon>;
using MenuHandle = UniqueHandle<HMENU, DestroyMenu>;
using InternetHandle = UniqueHandle<HINTERNET, WinHttpCloseHandle>;
inline void CloseAlgorithm(BCRYPT_ALG_HANDLE algorithm) {
  BCryptCloseAlgorithmProvider(algorithm, 0);
}
using AlgorithmHandle = UniqueHandle<BCRYPT_ALG_HANDLE, CloseAlgorithm>;
using HashHandle = UniqueHandle<BCRYPT_HASH_HANDLE, BCryptDestroyHash>;
using KeyHandle = UniqueHandle<BCRYPT_KEY_HANDLE, BCryptDestroyKey>;
// Memory the callee allocated with LocalAlloc (CommandLineToArgvW) or CoTaskMemAlloc (the shell).
template <typename T>
using LocalMemory = UniqueHandle<T, LocalFree>;
template <typename T>
using TaskMemory = UniqueHandle<T, CoTaskMemFree>;

// A COM interface pointer, released once.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  explicit ComPtr(T* p) : p_(p) {}
  ComPtr(ComPtr&& other) noexcept : p_(other.release()) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    reset(other.release());
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() { reset(); }

  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

  T* release() { return std::exchange(p_, nullptr); }
  void reset(T* p = nullptr) {
    T* old = std::exchange(p_, p);
    if (old) old->Release();
  }
  T** put() {
    reset();
    return &p_;
  }

 private:
  T* p_ = nullptr;
};

// A VARIANT filled by a COM call, cleared (a string in it freed) when it goes out of scope.
class Variant {
 public:
  Variant() { VariantInit(&value_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { VariantClear(&value_); }

  const VARIANT* operator->() const { return &value_; }
  VARIANT* put() {
    VariantClear(&value_);
    return &value_;
  }

 private:
  VARIANT value_;
};

// COM on the calling thread for the owner's lifetime. It is uninitialised at the end only when
// the start succeeded: a thread already in another apartment mode gets an error and must not
// uninitialise.
class ComApartment {
 public:
  explicit ComApartment(DWORD mode) : started_(SUCCEEDED(CoInitializeEx(nullptr, mode))) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (started_) CoUninitialize();
  }

  bool started() const { return started_; }

 private:
  bool started_;
};

}  // namespace tonvira
