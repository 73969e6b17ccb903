// What the program's windows draw with: their fonts at a DPI, the palette as GDI colours, the
// rounded buttons and cards, and text in a box.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "text/win32/handle.h"
#include "text/win32/wide.h"
#include "ui/settings_layout.h"

namespace tonvira::ui {

COLORREF Colour(Rgb colour);
// "Segoe UI" at pixels (at 96 DPI) scaled to dpi.
HFONT CreateUiFont(int pixels, int weight, int dpi);
void FillRoundRect(HDC dc, const RECT& box, int corner, Rgb fill, Rgb border);
// High contrast as the system reports it, or forced by TONVIRA_HIGH_CONTRAST=1 in the
// environment (the end-to-end tests: Wine never reports it).
bool HighContrastOn();
// The palette in the system's colours, for high contrast.
Palette SystemPalette();
void DrawTextIn(HDC dc, HFONT font, Rgb colour, std::u16string_view text, RECT box, UINT format);

}  // namespace tonvira::ui
