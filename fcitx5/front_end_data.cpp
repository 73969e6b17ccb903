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
  data.state = LoadSettings(data.settings, data.abbrevs);
  ReadAbbrevFile(data.shippedAbbrevs, ShippedFilePath(u"abbrev.txt"));
  data.rules = ParseContextLines(ReadTextLines(DataFilePath(u"context.txt")).lines);
  return true;
}

void ApplyFrontEndData(Engine& engine, const FrontEndData& data) {
  EngineOptions options = engine.options;
  UseWordLists(options, data.lexicon);
  CopySettings(options, data.settings);
  options.abbrevTable = &data.abbrevs;
  options.shippedAbbrevs = &data.shippedAbbrevs;
  SetOptions(engine, options);
}

bool SaveFrontEndSettings(const FrontEndData& data) {
  return SaveSettings(data.settings, data.state);
}

}  // namespace tonvira
