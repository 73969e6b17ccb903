// Composing the keys of one word into the Vietnamese text shown for it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "text/letters.h"

namespace tonvira {

// Optional transforms of Compose; 0 gives the strict rules.
enum ComposeFlags : uint32_t {
  kPendingTone = 1,            // a tone key before any vowel waits for one (tsoi -> tói)
  kFreeCircumflex = 2,         // a doubled vowel may reach back to an earlier vowel (toio -> tôi)
  kHornOAfterU = 4,            // an unmarked o after ư becomes ơ (huwong -> hương)
  kHornUBeforeA = 8,           // Telex w after u-a horns the u (muaw -> mưa)
  kLateStroke = 16,            // a late Telex d strokes the initial d (dad -> đa)
  kHornShift = 32,             // a horn aimed at u after o/u moves back (ouw -> ơu)
  kNoClusterR = 64,            // no exception for r after b, c, t, th... under kPendingTone
  kNoRepeatedHalfCheck = 128,  // toto may become tôt under kFreeCircumflex

  kOrdinaryFlags = kHornOAfterU | kHornUBeforeA | kHornShift,       // 44
  kNotEnglishFlags = kPendingTone | kFreeCircumflex | kLateStroke,  // 19
};

struct ComposeResult {
  std::u16string text;     // the composed word, prefix included
  std::u16string literal;  // prefix + keys, minus undone transform keys and cancelled tone keys
  Tone tone = kToneNone;
  uint8_t changed = 0;          // text differs from literal
  uint8_t toneBeforeMark = 0;   // a mark was applied while the word already had a tone
  int32_t pendingTonePos = -1;  // letter holding a tone key that waits for a vowel
};

// More than this many units (prefix plus keys) are returned as typed.
inline constexpr std::size_t kMaxComposeUnits = 60;

ComposeResult Compose(std::u16string_view keys, InputMethod method, bool classic, bool loneW, uint32_t flags,
                      std::u16string_view prefix = {});
// The same into a result whose strings are reused: their capacity stays, so the key path
// composes every key without allocating once a word's length has been reached.
void ComposeInto(ComposeResult& result, std::u16string_view keys, InputMethod method, bool classic,
                 bool loneW, uint32_t flags, std::u16string_view prefix = {});

// One word composed as its keys grow. A call whose keys extend the last call's (same settings,
// same prefix) feeds only the keys added since; the same keys again cost nothing; anything
// else starts afresh. The result is always ComposeInto's for the same arguments, and it tells
// whether fewer transforms would have given the same word (Holds).
class KeptComposition {
 public:
  KeptComposition();
  ~KeptComposition();
  KeptComposition(const KeptComposition& other);
  KeptComposition& operator=(const KeptComposition& other);
  KeptComposition(KeptComposition&&) noexcept = default;
  KeptComposition& operator=(KeptComposition&&) noexcept = default;

  const ComposeResult& Compose(std::u16string_view keys, InputMethod method, bool classic, bool loneW,
                               uint32_t flags, std::u16string_view prefix = {});

  // Whether the last result is also the composition of these: the same keys, and the
  // transforms it lacked were not asked for, those these lack changed nothing in the word.
  bool Holds(std::u16string_view keys, InputMethod method, bool classic, bool loneW, uint32_t flags,
             std::u16string_view prefix = {}) const {
    bool sameWord = !(flags & ~flags_) && !(fired_ & flags_ & ~flags);
    return valid_ && sameWord && method_ == method && classic_ == classic && loneW_ == loneW &&
           keys_ == keys && prefix_ == prefix;
  }
  // Whether a call with these keys would only feed keys added since the last.
  bool Extends(std::u16string_view keys, InputMethod method, bool loneW, uint32_t flags,
               std::u16string_view prefix = {}) const {
    return valid_ && method_ == method && loneW_ == loneW && flags_ == flags && keys.starts_with(keys_) &&
           prefix_ == prefix && prefix.size() + keys.size() <= kMaxComposeUnits;
  }
  // How these keys stand to the last call's (same method, lone w and prefix): the same keys,
  // the same followed by more, or neither (nothing kept, or another word).
  enum class Match { None, Same, More };
  Match MatchOf(std::u16string_view keys, InputMethod method, bool loneW,
                std::u16string_view prefix = {}) const {
    if (!valid_ || method_ != method || loneW_ != loneW || keys.size() < keys_.size() ||
        prefix.size() != prefix_.size() || prefix.size() + keys.size() > kMaxComposeUnits ||
        !keys.starts_with(keys_) || prefix_ != prefix)
      return Match::None;
    return keys.size() == keys_.size() ? Match::Same : Match::More;
  }
  // For the same keys: whether the result is also their composition under these.
  bool Serves(bool classic, uint32_t flags) const {
    return classic_ == classic && !(flags & ~flags_) && !(fired_ & flags_ & ~flags);
  }
  uint32_t flags() const { return flags_; }      // the transforms it composes with
  uint32_t changedBy() const { return fired_; }  // those of them that changed the word
  const ComposeResult& result() const { return result_; }

 private:
  struct Box;  // the composer, left where the last keys left it
  std::unique_ptr<Box> box_;
  InputMethod method_ = InputMethod::Telex;
  bool classic_ = false;
  bool loneW_ = false;
  bool valid_ = false;  // false until the first composition, and while the word is too long
  uint32_t flags_ = 0;
  uint32_t fired_ = 0;  // the optional transforms that changed result_
  std::u16string prefix_;
  std::u16string keys_;  // what the composer holds, and result_ was composed from
  ComposeResult result_;
};

}  // namespace tonvira
