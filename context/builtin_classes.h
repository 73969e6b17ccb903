// Built-in knowledge of applications and fields: shell windows, secure-desktop processes,
// password and address-bar words, and spreadsheet windows.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tonvira {

std::span<const std::u16string_view> ShellProcesses();
std::span<const std::u16string_view> ShellWindowClasses();  // compared case-sensitively
std::span<const std::u16string_view> SecureDesktopProcesses();
std::span<const std::u16string_view> PasswordWords();
std::span<const std::u16string_view> AddressBarWords();
// The first five address-bar words, once written as element rules in context.txt.
std::span<const std::u16string_view> LegacyAddressBarNames();
std::span<const std::u16string_view> SpreadsheetTitleWords();

// Lower case as the rules compare it: ASCII and the Vietnamese capitals.
std::u16string LowerForContext(std::u16string_view text);

bool IsListed(std::span<const std::u16string_view> list, std::u16string_view value);
bool ContainsAny(std::u16string_view text, std::span<const std::u16string_view> words);

// Whether the focused window is an edit control (the system's, or a class built on it) with
// the password style: classic programs, installers and dialogs mark their password boxes so.
bool IsPasswordEdit(std::u16string_view windowClass, uint32_t style);

// Whether a window with this title, in a process of this (lowered) file name, is a spreadsheet.
bool IsSpreadsheetWindow(bool hasWindow, std::u16string_view title, std::u16string_view loweredProcess);

}  // namespace tonvira
