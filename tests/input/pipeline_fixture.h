// A pipeline hooked into a fresh simulated desktop with one Notepad window in front.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "decide/lexicon.h"
#include "engine/engine.h"
#include "input/pipeline.h"
#include "sim/sim_desktop.h"
#include "tests/engine/engine_fixture.h"

namespace tonvira {

class PipelineTest : public testing::Test {
 protected:
  PipelineTest() : pipeline_(engine_) {
    ParseEnglishWords(lexicon_.english, kTestEnglish);
    ParseSyllables(lexicon_.syllables, kTestSyllables, kDefaultSyllableFrequency);
    engine_.options.englishWords = &lexicon_.english;
    engine_.options.vietSyllables = &lexicon_.syllables;
    desktop().Reset();
    desktop().PublishFocusTo(&published_);
    pipeline_.focusSource = &published_;
    InstallHooks(pipeline_);
    notepad_ = desktop().AddWindow({});
    desktop().Focus(notepad_);
  }
  ~PipelineTest() override {
    RemoveHooks();
    desktop().Reset();
  }

  static sim::WindowSpec Spec(std::string process, std::u16string title) {
    sim::WindowSpec spec;
    spec.process = std::move(process);
    spec.title = std::move(title);
    return spec;
  }
  static sim::Desktop& desktop() { return sim::TheDesktop(); }

  // Types characters as keys: LF is Enter, TAB is Tab, BS (U+0008) is Backspace.
  void Type(std::u16string_view text) {
    for (char16_t c : text) {
      if (c == u'\n') {
        desktop().Press(vk::kReturn);
      } else if (c == u'\t') {
        desktop().Press(vk::kTab);
      } else if (c == u'\b') {
        desktop().Press(vk::kBack);
      } else {
        ASSERT_TRUE(desktop().TypeChar(c)) << "no key for U+" << std::hex << static_cast<int>(c);
      }
    }
  }
  std::u16string Field() const { return desktop().Focused().text; }

  Lexicon lexicon_;
  Engine engine_;
  PublishedFocus published_;
  Pipeline pipeline_;
  WindowId notepad_ = 0;
};

}  // namespace tonvira
