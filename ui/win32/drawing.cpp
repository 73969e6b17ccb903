#include "ui/win32/drawing.h"

namespace tonvira::ui {

COLORREF Colour(Rgb c) {
  return RGB(c.r, c.g, c.b);
}

bool HighContrastOn() {
  wchar_t forced[2] = {};
  if (GetEnvironmentVariableW(L"TONVIRA_HIGH_CONTRAST", forced, 2) == 1 && forced[0] == L'1') return true;
  HIGHCONTRASTW state{};
  state.cbSize = sizeof(state);
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(state), &state, 0) &&
         (state.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

Palette SystemPalette() {
  auto system = [](int index) {
    COLORREF c = GetSysColor(index);
    return Rgb{GetRValue(c), GetGValue(c), GetBValue(c)};
  };
  Rgb window = system(COLOR_WINDOW), text = system(COLOR_WINDOWTEXT);
  Rgb highlight = system(COLOR_HIGHLIGHT), onHighlight = system(COLOR_HIGHLIGHTTEXT);
  return {window,    window,    text,        text,      system(COLOR_GRAYTEXT),
          highlight, highlight, onHighlight, highlight, onHighlight,
          text,      text,      window,      highlight};
}

HFONT CreateUiFont(int pixels, int weight, int dpi) {
  return CreateFontW(-MulDiv(pixels, dpi, 96), 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS,
                     L"Segoe UI");
}

void FillRoundRect(HDC dc, const RECT& r, int corner, Rgb fill, Rgb border) {
  GdiObject<HBRUSH> brush(CreateSolidBrush(Colour(fill)));
  GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, Colour(border)));
  HGDIOBJ oldBrush = SelectObject(dc, brush.get());
  HGDIOBJ oldPen = SelectObject(dc, pen.get());
  RoundRect(dc, r.left, r.top, r.right, r.bottom, corner, corner);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
}

void DrawTextIn(HDC dc, HFONT font, Rgb colour, std::u16string_view text, RECT box, UINT format) {
  HGDIOBJ old = SelectObject(dc, font);
  SetTextColor(dc, Colour(colour));
  SetBkMode(dc, TRANSPARENT);
  std::wstring wide = Wide(text);
  DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &box, format);
  SelectObject(dc, old);
}

}  // namespace tonvira::ui
