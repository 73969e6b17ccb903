// The abbreviation page's actions, apart from Win32: add or replace, delete, import. Every
// change goes into the table and is saved at once; the user is told what happened in the
// page's message boxes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "config/abbrev_table.h"
#include "config/settings.h"

namespace tonvira::ui {

enum class MessageIcon { Information, Warning, Error, Question };

struct UserMessage {
  std::u16string text;
  MessageIcon icon = MessageIcon::Information;
  std::u16string title = u"Gõ tắt";
};

// The page's message boxes.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual void Tell(const UserMessage& message) = 0;
  // Yes and No, No the default: true only for Yes.
  virtual bool Ask(const UserMessage& question) = 0;
};

// The boxes hold at most this much.
inline constexpr size_t kKeyBoxUnits = 63;
inline constexpr size_t kExpansionBoxUnits = 511;

struct AbbrevEditor {
  AbbrevTable& table;
  const SettingsState& state;
  bool saveFailureTold = false;  // told once per run of failed saves
};

struct AddOutcome {
  bool added = false;  // the boxes are cleared and the list refreshed
};
AddOutcome AddAbbrevFromBoxes(AbbrevEditor& editor, Dialogs& dialogs, std::u16string_view keyBox,
                              std::u16string_view expansionBox);
// Row n of the list is entry n of the sorted table. False when nothing changed.
bool DeleteAbbrevRow(AbbrevEditor& editor, Dialogs& dialogs, std::optional<size_t> selectedRow);
// The file chosen in the open-file dialog. False when nothing changed.
bool ImportAbbrevsFrom(AbbrevEditor& editor, Dialogs& dialogs, std::u16string_view path);

}  // namespace tonvira::ui
