// What the update window says and which of its buttons work, from the updater's status: a
// mandatory update asks plainly and cannot be put off; an optional one can.
#pragma once

#include <string>
#include <vector>

#include "update/updater.h"

namespace tonvira::ui {

// The window's four text styles, top to bottom of importance.
enum class UpdateTextStyle {
  Title,    // 20 px semibold
  Body,     // 14 px regular
  Heading,  // 11 px semibold
  Detail,   // 12 px regular
};

struct UpdateWindowLine {
  UpdateTextStyle style = UpdateTextStyle::Body;
  std::u16string text;
};

inline constexpr int kInstallButtonId = 501;
inline constexpr int kLaterButtonId = 502;
inline constexpr size_t kMaxNotesShown = 5;

struct UpdateWindowContent {
  std::vector<UpdateWindowLine> lines;  // in their order on the window
  std::u16string installText;           // button 501
  bool installEnabled = false;
  bool laterVisible = true;  // button 502, "Để sau"
};

inline constexpr std::u16string_view kUpdateWindowTitle = u"Cập nhật Tonvira";
inline constexpr std::u16string_view kLaterText = u"Để &sau";  // "&": the Alt+letter, underlined

// The window exists only while there is an update to talk about.
bool UpdateWindowWanted(const UpdateStatus& status);
// The update must be installed to type Vietnamese again.
bool MandatoryUpdate(const UpdateStatus& status);
UpdateWindowContent UpdateWindowContentOf(const UpdateStatus& status);

}  // namespace tonvira::ui
