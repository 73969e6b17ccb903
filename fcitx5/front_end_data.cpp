#include "fcitx5/front_end_data.h"

#include "config/data_folder.h"
#include "config/text_file.h"
#include "decide/builtin_words.h"

namespace tonvira {

bool LoadFrontEndData(FrontEndData& data) {
  WordListFiles files{ShippedFilePath(u"en_words.txt"), ShippedFilePath(u"vi_syllables.txt"),
                      ShippedFilePath(u"word_pairs.txt"), JoinPath(DataFolder(), u"word_lists.bin")};
  data.lists = LoadWordLists(data.lexicon, files);
  if (!data.lists.english) return false;
  WarmBuiltinWords();
  ReadAbbrevFile(data.shippedAbbrevs, ShippedFilePath(u"abbrev.txt"));
  ReadUserFiles(data);
  return true;
}

void ReadUserFiles(FrontEndData& data) {
  data.state = LoadSettings(data.settings, data.abbrevs);
  data.rules = ParseContextLines(ReadTextLines(DataFilePath(u"context.txt")).lines);
}

void ApplyFrontEndData(Engine& engine, const FrontEndData& data) {
  UseWordLists(engine.options, data.lexicon);
  engine.options.shippedAbbrevs = &data.shippedAbbrevs;
  ApplySettingsToEngine(engine, data.settings, &data.abbrevs);
}

bool SaveFrontEndSettings(const FrontEndData& data) {
  return SaveSettings(data.settings, data.state);
}

}  // namespace tonvira
