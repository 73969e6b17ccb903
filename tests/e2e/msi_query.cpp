// What Windows knows about the installed package, for the end-to-end tests of the installer:
//   tonvira_msi_query products FILE      one line per installed product named "Tonvira" (or
//                                        "Tonvira (test build)"): its product code, a TAB and its
//                                        version (an upgrade that went wrong leaves two lines)
//   tonvira_msi_query file-version PATH FILE
//                                        "a.b.c.d", the file version of an executable
//   tonvira_msi_query run-value FILE     the machine-wide log-on entry "Tonvira" (64-bit view);
//                                        exits 1 when there is none
// Texts are written as UTF-8. Exits 2 on wrong arguments.
#include <windows.h>

#include "tests/e2e/utf8_file.h"

#include <msi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

std::wstring ProductInfo(const wchar_t* code, const wchar_t* property) {
  wchar_t value[256] = L"";
  DWORD size = 256;
  if (MsiGetProductInfoW(code, property, value, &size) != ERROR_SUCCESS) return L"";
  return value;
}

int Products(const wchar_t* out) {
  std::wstring lines;
  wchar_t code[39];
  for (DWORD index = 0; MsiEnumProductsW(index, code) == ERROR_SUCCESS; ++index) {
    std::wstring name = ProductInfo(code, INSTALLPROPERTY_INSTALLEDPRODUCTNAME);
    if (name != L"Tonvira" && name != L"Tonvira (test build)") continue;
    lines += std::wstring(code) + L"\t" + ProductInfo(code, INSTALLPROPERTY_VERSIONSTRING) + L"\n";
  }
  return WriteUtf8File(out, lines);
}

int FileVersion(const wchar_t* path, const wchar_t* out) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(path, &ignored);
  if (size == 0) return 1;
  std::vector<unsigned char> block(size);
  if (!GetFileVersionInfoW(path, 0, size, block.data())) return 1;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info) return 1;
  return WriteUtf8File(out, std::to_wstring(HIWORD(info->dwFileVersionMS)) + L"." +
                                std::to_wstring(LOWORD(info->dwFileVersionMS)) + L"." +
                                std::to_wstring(HIWORD(info->dwFileVersionLS)) + L"." +
                                std::to_wstring(LOWORD(info->dwFileVersionLS)));
}

int RunValue(const wchar_t* out) {
  wchar_t value[1024] = L"";
  DWORD size = sizeof(value);
  if (RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"Tonvira",
                   RRF_RT_REG_SZ | RRF_SUBKEY_WOW6464KEY, nullptr, value, &size) != ERROR_SUCCESS) {
    return 1;
  }
  return WriteUtf8File(out, value);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && wcscmp(argv[1], L"products") == 0) return Products(argv[2]);
  if (argc == 4 && wcscmp(argv[1], L"file-version") == 0) return FileVersion(argv[2], argv[3]);
  if (argc == 3 && wcscmp(argv[1], L"run-value") == 0) return RunValue(argv[2]);
  return 2;
}
