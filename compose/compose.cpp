#include "compose/compose.h"

#include <algorithm>
#include <optional>

#include "compose/spelling_lists.h"
#include "compose/tone_position.h"
#include "text/letter_index.h"

namespace tonvira {
namespace {

constexpr int kNoTone = -1;

bool IsVowelBase(char16_t b) {
  return b == u'a' || b == u'e' || b == u'i' || b == u'o' || b == u'u' || b == u'y';
}

// The tone a key sets under the method: 0 for the removal key, kNoTone for other keys.
int ToneOfKey(char16_t key, InputMethod method) {
  if (method == InputMethod::Vni) return (key >= u'0' && key <= u'5') ? key - u'0' : kNoTone;
  switch (key) {
    case u's':
      return kToneAcute;
    case u'f':
      return kToneGrave;
    case u'r':
      return kToneHook;
    case u'x':
      return kToneTilde;
    case u'j':
      return kToneDot;
    case u'z':
      return kToneNone;
    default:
      return kNoTone;
  }
}

bool IsMarkKey(char16_t key, InputMethod method) {
  if (method == InputMethod::Vni) return key >= u'6' && key <= u'9';
  return key == u'w' || key == u'a' || key == u'e' || key == u'o' || key == u'd';
}

// The letters one transform changed, so that repeating its key can take it back.
struct UndoRecord {
  int indices[3] = {};
  int count = 0;
  bool inserted = false;  // the transform added a letter (the ư of a lone w)
};

// A few letters on the stack: the composer's working texts never allocate. A word composes
// only up to kMaxComposeUnits units, so kMaxLetters and one more always fit.
class ShortText {
 public:
  ShortText() = default;
  ShortText(const ShortText& other) : size_(other.size_) { std::copy_n(other.units_, size_, units_); }
  ShortText& operator=(const ShortText& other) {
    size_ = other.size_;
    std::copy_n(other.units_, size_, units_);
    return *this;
  }
  void push_back(char16_t c) {
    if (size_ < std::size(units_)) units_[size_++] = c;
  }
  void pop_back() { --size_; }
  void erase(size_t pos) {
    std::copy(units_ + pos + 1, units_ + size_, units_ + pos);
    --size_;
  }
  size_t size() const { return size_; }
  std::u16string_view view() const { return {units_, size_}; }
  operator std::u16string_view() const { return view(); }

 private:
  char16_t units_[kMaxLetters + 1];
  size_t size_ = 0;
};

// The working state of one Compose call; nothing survives it.
class Composer {
 public:
  Composer(InputMethod method, uint32_t flags, bool loneW) : method_(method), flags_(flags), loneW_(loneW) {}

  void LoadPrefix(std::u16string_view prefix) {
    for (char16_t c : prefix) {
      if (count_ >= kMaxLetters) break;
      DecomposedChar d = DecomposeChar(c);
      letters_[count_++] = d.letter;
      if (d.tone != kToneNone) tone_ = d.tone;
    }
    toneFromPrefix_ = tone_ != kToneNone;
  }

  void AddKey(char16_t key, bool lastKey) {
    refusedAsLast_ = false;
    if (pending_.index >= 0) SettlePendingTone();
    previousTransformKey_ = transformKey_;
    transformKey_ = 0;
    literal_.push_back(key);
    char16_t lower = LowerAsciiLetter(key);

    bool handled = false;
    if (int tone = ToneOfKey(lower, method_); tone != kNoTone) {
      handled = ToneKey(key, lower, static_cast<Tone>(tone));
    } else if (IsMarkKey(lower, method_)) {
      handled = MarkKey(key, lower, lastKey);
    }
    if (!handled) AppendPlain(key);
  }

  // Whether the last key was refused only for being the last (the half of toto written
  // twice): followed by another key, it would have transformed.
  bool RefusedAsLast() const { return refusedAsLast_; }

  // Whether the key would only append itself to the word as shown: no tone or mark role, no
  // tone that could move onto it, no waiting tone, not an o that a horn could reach. The word
  // shown then is the one before with the key after it (a plain key shows as typed).
  bool ShowsAsTyped(char16_t key) const {
    char16_t lower = LowerAsciiLetter(key);
    return pending_.index < 0 && tone_ == kToneNone && count_ + 1 < kMaxLetters && lower != u'o' &&
           ToneOfKey(lower, method_) == kNoTone && !IsMarkKey(lower, method_);
  }

  // The composer can take more keys after this: a waiting tone settles as the next key would
  // settle it, and the spelling fixes below touch the shown text only. Returns the optional
  // transforms that changed the word: without the others it would have come out the same.
  uint32_t Finish(bool classic, std::u16string_view prefix, ComposeResult& result) {
    if (pending_.index >= 0) SettlePendingTone();
    uint32_t fired = fired_;
    std::u16string& text = result.text;
    text.resize(static_cast<size_t>(count_));
    bool hornOAfterU = flags_ & kHornOAfterU;
    bool anyUpper = false;
    for (int i = 0; i < count_; ++i) {
      text[i] = ApplyMark(letters_[i].base, letters_[i].mark);
      anyUpper |= letters_[i].upper != 0;
      if (hornOAfterU && i >= 1 && IsPlain(i, u'o') && Is(i - 1, u'u', kMarkHorn)) {
        text[i] = u'ơ';
        fired |= kHornOAfterU;
      }
    }
    // ư ơ at the end of a word is written uơ (thuở, huơ).
    if (count_ >= 2 && text[count_ - 2] == u'ư' && text[count_ - 1] == u'ơ') text[count_ - 2] = u'u';

    int tonePos = tone_ == kToneNone ? -1 : TonePosition(text, classic);
    if (tonePos >= 0) {
      letter_index::CharInfo info = letter_index::Info(text[tonePos]);
      if (info.row >= 0 && info.tone == kToneNone) text[tonePos] = VowelForm(info.row, tone_);
    }
    for (int i = 0; anyUpper && i < count_; ++i) {
      if (letters_[i].upper) text[i] = ToUpperVi(text[i]);
    }

    std::u16string& literal = result.literal;
    literal.resize(prefix.size() + literal_.size());
    std::copy(prefix.begin(), prefix.end(), literal.begin());
    std::u16string_view typed = literal_.view();
    std::copy(typed.begin(), typed.end(), literal.begin() + static_cast<ptrdiff_t>(prefix.size()));
    result.tone = tone_;
    result.changed = result.text != result.literal;
    result.toneBeforeMark = toneBeforeMark_;
    result.pendingTonePos = pending_.index;
    return fired;
  }

 private:
  // --- letters ---

  bool Is(int i, char16_t base, Mark mark) const {
    return letters_[i].base == base && letters_[i].mark == mark;
  }
  bool IsPlain(int i, char16_t base) const { return Is(i, base, kMarkNone); }
  // The u of qu is part of the onset and never takes a horn from its neighbour.
  bool IsUnmarkedUNotAfterQ(int i) const {
    return IsPlain(i, u'u') && !(i >= 1 && letters_[i - 1].base == u'q');
  }

  int FirstVowel() const {
    for (int i = 0; i < count_; ++i) {
      if (IsVowelBase(letters_[i].base)) return i;
    }
    return -1;
  }
  bool HasVowel() const { return FirstVowel() >= 0; }

  // Lower-case text of letters [from, to) without tone, optionally skipping one letter.
  ShortText LowerText(int from, int to, int skip = -1) const {
    ShortText s;
    for (int i = from; i < to; ++i) {
      if (i != skip) s.push_back(ApplyMark(letters_[i].base, letters_[i].mark));
    }
    return s;
  }

  void AppendPlain(char16_t key) {
    if (count_ >= kMaxLetters) return;
    letters_[count_++] = Letter{LowerAsciiLetter(key), kMarkNone, IsAsciiUpper(key), 0};
  }

  void RemoveLetter(int index) {
    std::copy(letters_ + index + 1, letters_ + count_, letters_ + index);
    --count_;
    int kept = 0;
    for (int k = 0; k < undo_.count; ++k) {
      int i = undo_.indices[k];
      if (i != index) undo_.indices[kept++] = i > index ? i - 1 : i;
    }
    undo_.count = kept;
    if (pending_.index > index) --pending_.index;
  }

  // --- tones ---

  // A tone key typed before any vowel (tsoi) waits; the first vowel decides whether the
  // letters before it, without the key, are an initial consonant.
  void SettlePendingTone() {
    if (pending_.index < 0) return;
    int firstVowel = FirstVowel();
    if (firstVowel < 0) return;
    int index = pending_.index;
    pending_.index = -1;
    ShortText onset = LowerText(0, firstVowel, index);
    auto onsets = OnsetList();
    bool isOnset = std::find(onsets.begin(), onsets.end(), onset.view()) != onsets.end();
    if (!isOnset || tone_ != kToneNone) return;  // the letter stays as typed
    settled_ = pending_;
    settled_.index = index;
    settled_.letter = letters_[index];
    RemoveLetter(index);
    SetTone(pending_.tone, pending_.key, pending_.literalPos);
  }

  // Undoing the lone-w ư can take away the vowel that settled a pending tone (tsww): the
  // tone key goes back to being a waiting letter rather than vanish from the screen.
  void RestoreSettledTone() {
    if (settled_.index < 0 || HasVowel() || tone_ != settled_.tone || toneKey_ != settled_.key) return;
    std::copy_backward(letters_ + settled_.index, letters_ + count_, letters_ + count_ + 1);
    ++count_;
    letters_[settled_.index] = settled_.letter;
    SetTone(kToneNone, 0, -1);
    pending_ = settled_;
    settled_ = {};
  }

  bool TryPendingTone(char16_t key, char16_t lower, Tone tone) {
    if (!(flags_ & kPendingTone) || pending_.index >= 0 || tone == kToneNone) return false;
    if (count_ < 1 || count_ > 3 || HasVowel()) return false;
    ShortText sofar = LowerText(0, count_);
    if (method_ == InputMethod::Telex && lower == u'r') {
      auto clusters = ClusterBeforeR();
      if (std::find(clusters.begin(), clusters.end(), sofar.view()) != clusters.end()) {
        if (!(flags_ & kNoClusterR)) return false;
        fired_ |= kNoClusterR;
      }
    }
    ShortText withKey = sofar;
    withKey.push_back(lower);
    bool startsOnset = false;
    bool keyContinuesOnset = false;
    for (std::u16string_view onset : OnsetList()) {
      startsOnset |= onset.starts_with(sofar.view());
      keyContinuesOnset |= onset.starts_with(withKey.view());
    }
    if (!startsOnset || keyContinuesOnset) return false;
    AppendPlain(key);
    pending_ = {count_ - 1, tone, lower, static_cast<int>(literal_.size()) - 1, letters_[count_ - 1]};
    fired_ |= kPendingTone;
    return true;
  }

  void SetTone(Tone tone, char16_t key, int literalPos) {
    tone_ = tone;
    toneKey_ = key;
    toneKeyLiteralPos_ = literalPos;
    toneFromPrefix_ = false;
  }

  // The tone key leaves the literal together with the tone it set.
  void DropToneKeyFromLiteral() {
    if (toneKeyLiteralPos_ >= 0) literal_.erase(static_cast<size_t>(toneKeyLiteralPos_));
    toneKeyLiteralPos_ = -1;
  }

  // Returns false when the key is to be added as a plain letter.
  bool ToneKey(char16_t key, char16_t lower, Tone tone) {
    if (TryPendingTone(key, lower, tone)) return true;
    if (!HasVowel()) return false;  // s, bs, xx stay as typed
    int literalPos = static_cast<int>(literal_.size()) - 1;
    if (toneFromPrefix_ && tone != kToneNone && tone == tone_) {
      SetTone(tone, lower, literalPos);
      return true;
    }
    if (lower != toneKey_) {
      if (tone != kToneNone) {
        SetTone(tone, lower, literalPos);  // asf gives à
        return true;
      }
      if (tone_ == kToneNone) return false;  // az stays az
      DropToneKeyFromLiteral();
      SetTone(kToneNone, 0, -1);
      return true;
    }
    // The key that set the tone, typed again, takes it off and stays as a letter (ass gives
    // as). It is still remembered, so a third one is a letter too (asss gives ass).
    if (tone_ != kToneNone) {
      DropToneKeyFromLiteral();
      tone_ = kToneNone;
    }
    return false;
  }

  // --- marks ---

  void SetMark(int index, Mark mark, char16_t key) {
    letters_[index].mark = mark;
    undo_ = {};
    undo_.indices[undo_.count++] = index;
    transformKey_ = key;
    if (tone_ != kToneNone) toneBeforeMark_ = true;
  }

  void AddToUndo(int index, Mark mark) {
    letters_[index].mark = mark;
    undo_.indices[undo_.count++] = index;
  }

  // Takes back the last transform; the key becomes a letter and leaves the literal.
  void UndoLastTransform(char16_t key) {
    for (int k = undo_.count - 1; k >= 0; --k) {
      int i = undo_.indices[k];
      if (undo_.inserted && i == count_ - 1 && letters_[i].synthesized) {
        RemoveLetter(i);
        RestoreSettledTone();
      } else {
        letters_[i].mark = kMarkNone;
      }
    }
    undo_ = {};
    AppendPlain(key);
    literal_.pop_back();
  }

  // A horn aimed at letter i, with the shift back from u and the ươ pair.
  void PutHorn(int i, char16_t key) {
    if ((flags_ & kHornShift) && letters_[i].base == u'u' && i >= 1 &&
        (IsPlain(i - 1, u'o') || IsUnmarkedUNotAfterQ(i - 1))) {
      --i;  // ouw gives ơu, uuw gives ưu
      fired_ |= kHornShift;
    }
    SetMark(i, kMarkHorn, key);
    if (letters_[i].base == u'o' && i >= 1 && IsUnmarkedUNotAfterQ(i - 1)) {
      AddToUndo(i - 1, kMarkHorn);  // uow gives ươ
    } else if (letters_[i].base == u'u' && i + 1 < count_ && IsPlain(i + 1, u'o')) {
      AddToUndo(i + 1, kMarkHorn);
    }
  }

  // Latest letter, scanning back, with no mark and a base among targets.
  int LatestUnmarked(std::u16string_view targets) const {
    for (int i = count_ - 1; i >= 0; --i) {
      if (letters_[i].mark == kMarkNone && targets.find(letters_[i].base) != std::u16string_view::npos)
        return i;
    }
    return -1;
  }

  bool MarkKey(char16_t key, char16_t lower, bool lastKey) {
    if (previousTransformKey_ == lower) {
      UndoLastTransform(key);  // ww gives w, aaa gives aa, a66 gives a6
      return true;
    }
    if (method_ == InputMethod::Vni) return VniMark(lower);
    if (lower == u'w') return TelexW(key, lower);
    if (count_ > 0 && letters_[count_ - 1].base == lower) return Doubling(key, lower);
    if (lower == u'd') return LateStroke(lower);
    return FreeCircumflex(lower, lastKey);
  }

  bool TelexW(char16_t key, char16_t lower) {
    if (flags_ & kHornUBeforeA) {
      for (int i = count_ - 1; i >= 1 && letters_[i].mark == kMarkNone; --i) {
        if (letters_[i].base == u'a' && IsUnmarkedUNotAfterQ(i - 1)) {
          SetMark(i - 1, kMarkHorn, lower);  // muaw gives mưa
          fired_ |= kHornUBeforeA;
          return true;
        }
      }
    }
    if (int a = LatestUnmarked(kBreveTargets); a >= 0) {
      SetMark(a, kMarkBreve, lower);
      return true;
    }
    if (int o = LatestUnmarked(kHornTargets); o >= 0) {
      PutHorn(o, lower);
      return true;
    }
    if (loneW_ && !HasVowel() && count_ < kMaxLetters) {
      letters_[count_] = Letter{u'u', kMarkHorn, key == u'W', 1};
      undo_ = {};
      undo_.indices[undo_.count++] = count_++;
      undo_.inserted = true;
      transformKey_ = lower;
      return true;
    }
    return false;  // iw, ew, oow keep their w
  }

  // aa, ee, oo, dd on the letter just typed; a second time takes the mark back.
  bool Doubling(char16_t key, char16_t lower) {
    int last = count_ - 1;
    Mark mark = lower == u'd' ? kMarkStroke : kMarkCircumflex;
    if (letters_[last].mark != mark) {
      SetMark(last, mark, lower);  // owo gives ô: the circumflex replaces the horn
      return true;
    }
    undo_ = {};
    undo_.indices[undo_.count++] = last;
    UndoLastTransform(key);
    return true;
  }

  // "dad" -> "đa": a late d strokes the word's initial d, once per word.
  bool LateStroke(char16_t lower) {
    if (!(flags_ & kLateStroke) || lateStrokeUsed_ || count_ < 2 || !IsPlain(0, u'd') || !HasVowel()) {
      return false;
    }
    lateStrokeUsed_ = true;
    fired_ |= kLateStroke;
    SetMark(0, kMarkStroke, lower);
    return true;
  }

  // "toio" -> "tôi": a doubled vowel reaches back when the result is a known rhyme.
  bool FreeCircumflex(char16_t lower, bool lastKey) {
    if (!(flags_ & kFreeCircumflex) || (lower != u'a' && lower != u'e' && lower != u'o')) return false;
    int target = -1;
    for (int i = count_ - 1; i >= 0 && target < 0; --i) {
      if (IsPlain(i, lower)) target = i;
    }
    if (target < 0) return false;

    letters_[target].mark = kMarkCircumflex;
    int firstVowel = FirstVowel();
    bool fits = IsListedRhyme(LowerText(firstVowel, count_));
    ShortText head = LowerText(0, std::min(count_, 2));
    if (!fits && (head.view() == u"qu" || head.view() == u"gi") && target >= 2)
      fits = IsListedRhyme(LowerText(2, count_));
    letters_[target].mark = kMarkNone;
    if (!fits) return false;

    if (lastKey && IsHalfWrittenTwice(lower)) {  // toto, hoho
      if (!(flags_ & kNoRepeatedHalfCheck)) {
        refusedAsLast_ = true;
        return false;
      }
      fired_ |= kNoRepeatedHalfCheck;
    }
    SetMark(target, kMarkCircumflex, lower);
    fired_ |= kFreeCircumflex;
    return true;
  }

  bool IsHalfWrittenTwice(char16_t key) const {
    ShortText text = LowerText(0, count_);
    text.push_back(key);
    std::u16string_view s = text.view();
    size_t half = s.size() / 2;
    return s.size() % 2 == 0 && s.substr(0, half) == s.substr(half, half);
  }

  bool VniMark(char16_t key) {
    switch (key) {
      case u'6':
        return MarkLatest(kCircumflexTargets, kMarkCircumflex, key);
      case u'7':
        if (int i = LatestUnmarked(kHornTargets); i >= 0) {
          PutHorn(i, key);
          return true;
        }
        return false;
      case u'8':
        return MarkLatest(kBreveTargets, kMarkBreve, key);
      default:
        return MarkLatest(kStrokeTargets, kMarkStroke, key);
    }
  }

  bool MarkLatest(std::u16string_view targets, Mark mark, char16_t key) {
    int i = LatestUnmarked(targets);
    if (i < 0) return false;  // a7, a9 and 9 stay as typed
    SetMark(i, mark, key);
    return true;
  }

  struct PendingTone {
    int index = -1;  // letter holding the tone key
    Tone tone = kToneNone;
    char16_t key = 0;
    int literalPos = -1;
    Letter letter;  // the key as a letter, while it may come back
  };

  InputMethod method_;
  uint32_t flags_;
  bool loneW_;

  Letter letters_[kMaxLetters];
  int count_ = 0;
  Tone tone_ = kToneNone;
  char16_t toneKey_ = 0;         // lower-case key that set the tone
  int toneKeyLiteralPos_ = -1;   // where that key stands in literal_
  bool toneFromPrefix_ = false;  // the tone was already in the prefix
  char16_t transformKey_ = 0;    // mark key that transformed at this key
  char16_t previousTransformKey_ = 0;
  UndoRecord undo_;
  PendingTone pending_;
  PendingTone settled_;  // the pending tone the first vowel settled, while it may be undone
  bool lateStrokeUsed_ = false;
  bool toneBeforeMark_ = false;
  bool refusedAsLast_ = false;
  uint32_t fired_ = 0;  // optional transforms that changed the letters so far
  ShortText literal_;
};

}  // namespace

void ComposeInto(ComposeResult& result, std::u16string_view keys, InputMethod method, bool classic,
                 bool loneW, uint32_t flags, std::u16string_view prefix) {
  if (prefix.size() + keys.size() > kMaxComposeUnits) {
    result.text.assign(prefix).append(keys);
    result.literal.assign(result.text);
    result.tone = kToneNone;
    result.changed = 0;
    result.toneBeforeMark = 0;
    result.pendingTonePos = -1;
    return;
  }
  Composer composer(method, flags, loneW);
  composer.LoadPrefix(prefix);
  for (size_t i = 0; i < keys.size(); ++i) composer.AddKey(keys[i], i + 1 == keys.size());
  composer.Finish(classic, prefix, result);
}

// The composer holds the keys composed last, and goes on from them with the next key. Only a
// last key may be refused as the half of a word written twice (toto): when that happened,
// the keys go in again with it as an ordinary key.
struct KeptComposition::Box {
  std::optional<Composer> composer;
};

KeptComposition::KeptComposition() = default;
KeptComposition::~KeptComposition() = default;
KeptComposition::KeptComposition(const KeptComposition& other)
    : box_(other.box_ ? std::make_unique<Box>(*other.box_) : nullptr),
      method_(other.method_),
      classic_(other.classic_),
      loneW_(other.loneW_),
      valid_(other.valid_),
      flags_(other.flags_),
      fired_(other.fired_),
      prefix_(other.prefix_),
      keys_(other.keys_),
      result_(other.result_) {}
KeptComposition& KeptComposition::operator=(const KeptComposition& other) {
  if (this != &other) {
    KeptComposition copy(other);
    std::swap(*this, copy);
  }
  return *this;
}

namespace {
bool EndsInHornedO(std::u16string_view text) {
  return !text.empty() && ToLowerVi(text.back()) == u'ơ';
}
}  // namespace

const ComposeResult& KeptComposition::Compose(std::u16string_view keys, InputMethod method, bool classic,
                                              bool loneW, uint32_t flags, std::u16string_view prefix) {
  if (prefix.size() + keys.size() > kMaxComposeUnits) {
    ComposeInto(result_, keys, method, classic, loneW, flags, prefix);  // as typed, whatever the flags
    valid_ = false;
    fired_ = 0;
    return result_;
  }
  size_t from = 0;
  bool extends = box_ && Extends(keys, method, loneW, flags, prefix);
  if (extends && keys.size() == keys_.size() && classic_ == classic) return result_;  // the same again
  if (!box_) box_ = std::make_unique<Box>();  // once per engine, not per key
  std::optional<Composer>& composer = box_->composer;
  if (extends) {
    from = keys_.size();
    if (keys.size() > from && composer->RefusedAsLast()) extends = false;  // toto then another key
  }
  if (!extends) {
    method_ = method;
    loneW_ = loneW;
    flags_ = flags;
    prefix_.assign(prefix);
    keys_.clear();
    composer.emplace(method, flags, loneW);
    composer->LoadPrefix(prefix);
    from = 0;
  }
  // One plain key after the word as shown is added to the text and the literal instead of
  // showing the word again, unless the word ends in ơ: the letter after it horns the u too
  // (huơ, hương).
  if (extends && keys.size() == from + 1 && composer->ShowsAsTyped(keys.back()) &&
      !EndsInHornedO(result_.text)) {
    char16_t key = keys.back();
    keys_.push_back(key);
    composer->AddKey(key, true);
    result_.text.push_back(key);
    result_.literal.push_back(key);
    classic_ = classic;  // without a tone the placement changes nothing
    return result_;
  }
  keys_.append(keys.substr(from));
  for (size_t i = from; i < keys.size(); ++i) composer->AddKey(keys[i], i + 1 == keys.size());
  classic_ = classic;
  fired_ = composer->Finish(classic, prefix, result_);
  valid_ = true;
  return result_;
}

ComposeResult Compose(std::u16string_view keys, InputMethod method, bool classic, bool loneW, uint32_t flags,
                      std::u16string_view prefix) {
  ComposeResult result;
  ComposeInto(result, keys, method, classic, loneW, flags, prefix);
  return result;
}

}  // namespace tonvira
