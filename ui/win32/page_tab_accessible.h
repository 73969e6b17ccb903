// What a screen reader learns about one of the settings window's tabs: a page tab, selected or
// not, named by its caption, with its Alt+letter. The tab is an owner-drawn button; this object
// stands in front of the standard one Windows would give it.
#pragma once

#include <windows.h>

namespace tonvira::ui {

// The tab's answer to WM_GETOBJECT. Whether it is the selected tab is read from the property
// below at the moment a screen reader asks.
LRESULT AnswerPageTabObject(HWND tab, WPARAM wParam, LPARAM lParam);
inline constexpr wchar_t kSelectedTabProperty[] = L"Tonvira.SelectedTab";

}  // namespace tonvira::ui
