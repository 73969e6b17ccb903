// The few UI Automation interfaces the focus tracker uses; mingw's headers lack them. Only the
// slots up to the methods called are declared, in the order of the published interfaces.
#pragma once

#include <oleauto.h>
#include <unknwn.h>
#include <windows.h>

namespace tonvira::uia {

inline constexpr CLSID kClsidCUIAutomation = {
    0xff48dba4, 0x60ef, 0x4201, {0xaa, 0x87, 0x54, 0x10, 0x3e, 0xef, 0x59, 0x4e}};
inline constexpr IID kIidIUIAutomation = {
    0x30cbe57d, 0xd9d0, 0x452a, {0xab, 0x13, 0x7a, 0xc5, 0xac, 0x48, 0x25, 0xee}};

inline constexpr int kPropertyControlType = 30003;
inline constexpr int kPropertyName = 30005;
inline constexpr int kPropertyAutomationId = 30011;
inline constexpr int kPropertyIsPassword = 30019;

struct IElement : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE SetFocus() = 0;
  virtual HRESULT STDMETHODCALLTYPE GetRuntimeId(void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE FindFirst(int, void*, void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE FindAll(int, void*, void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE FindFirstBuildCache(int, void*, void*, void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE FindAllBuildCache(int, void*, void*, void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE BuildUpdatedCache(void*, void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCurrentPropertyValue(int propertyId, VARIANT* value) = 0;
};

struct ITreeWalker : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetParentElement(IElement* element, IElement** parent) = 0;
};

struct IAutomation : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE CompareElements(void*, void*, BOOL*) = 0;
  virtual HRESULT STDMETHODCALLTYPE CompareRuntimeIds(void*, void*, BOOL*) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetRootElement(IElement**) = 0;
  virtual HRESULT STDMETHODCALLTYPE ElementFromHandle(HWND, IElement**) = 0;
  virtual HRESULT STDMETHODCALLTYPE ElementFromPoint(POINT, IElement**) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetFocusedElement(IElement** element) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetRootElementBuildCache(void*, IElement**) = 0;
  virtual HRESULT STDMETHODCALLTYPE ElementFromHandleBuildCache(HWND, void*, IElement**) = 0;
  virtual HRESULT STDMETHODCALLTYPE ElementFromPointBuildCache(POINT, void*, IElement**) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetFocusedElementBuildCache(void*, IElement**) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateTreeWalker(void*, ITreeWalker**) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ControlViewWalker(ITreeWalker** walker) = 0;
};

}  // namespace tonvira::uia
