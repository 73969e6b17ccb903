// What the Linux front end reads when it starts: the shipped word lists and abbreviation library
// (from the package's data folder), and the user's settings.txt, abbrev.txt and context.txt (in
// the user's data folder, first copied there from the shipped copies). The same reads, writes and
// never-lose-data rules as the Windows program, through the file seam's POSIX body.
#pragma once

#include <string>

#include "config/abbrev_table.h"
#include "config/settings.h"
#include "context/context_rules.h"
#include "decide/lexicon.h"
#include "decide/word_lists.h"
#include "engine/engine.h"

namespace tonvira {

struct FrontEndData {
  Lexicon lexicon;
  WordListsLoaded lists;
  Settings settings;
  SettingsState state;
  AbbrevTable abbrevs;         // the user's abbrev.txt
  AbbrevTable shippedAbbrevs;  // the library as shipped
  ContextRules rules;
};

// False when the English word list cannot be read (the front end cannot decide without it).
bool LoadFrontEndData(FrontEndData& data);
// settings.txt, abbrev.txt and context.txt again (a hand edit, or fcitx5's "reload").
void ReadUserFiles(FrontEndData& data);
// The settings, lists and abbreviations into the engine (the data must outlive it).
void ApplyFrontEndData(Engine& engine, const FrontEndData& data);
// settings.txt, unless it was there but could not be read at start.
bool SaveFrontEndSettings(const FrontEndData& data);

}  // namespace tonvira
