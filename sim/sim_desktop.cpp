#include "sim/sim_desktop.h"

#include <algorithm>

namespace tonvira::sim {
namespace {

constexpr uint32_t kPacketKey = 231;   // what the hook sees for a Unicode event
constexpr uint32_t kKeyTimeStep = 40;  // ms between simulated events
constexpr WindowId kFirstWindowId = 0x1000;
constexpr WindowId kWindowIdStep = 0x10;
constexpr uint32_t kFirstProcessId = 100;

// The US layout's symbol keys: unshifted, shifted.
constexpr struct {
  uint32_t vk;
  char16_t plain;
  char16_t shifted;
} kSymbolKeys[] = {
    {48, u'0', u')'},   {49, u'1', u'!'},  {50, u'2', u'@'},  {51, u'3', u'#'},   {52, u'4', u'$'},
    {53, u'5', u'%'},   {54, u'6', u'^'},  {55, u'7', u'&'},  {56, u'8', u'*'},   {57, u'9', u'('},
    {186, u';', u':'},  {187, u'=', u'+'}, {188, u',', u'<'}, {189, u'-', u'_'},  {190, u'.', u'>'},
    {191, u'/', u'?'},  {192, u'`', u'~'}, {219, u'[', u'{'}, {220, u'\\', u'|'}, {221, u']', u'}'},
    {222, u'\'', u'"'}, {32, u' ', u' '},
};

}  // namespace

UsKey UsKeyFor(char16_t c) {
  if (c >= u'a' && c <= u'z') return {static_cast<uint32_t>(c - u'a' + 65), false};
  if (c >= u'A' && c <= u'Z') return {static_cast<uint32_t>(c - u'A' + 65), true};
  for (const auto& k : kSymbolKeys) {
    if (k.plain == c) return {k.vk, false};
    if (k.shifted == c) return {k.vk, true};
  }
  return {};
}

namespace {

bool Down(const KeyboardState& s, uint32_t vk) {
  return (s[vk] & 0x80) != 0;
}

}  // namespace

os::Translation TranslateOnLayout(const Desktop& desktop, uint32_t vk, const KeyboardState& state, LayoutId) {
  os::Translation t;
  auto one = [&](char16_t c) {
    t.count = 1;
    t.units[0] = c;
    return t;
  };
  bool shift = Down(state, 16) || Down(state, 160) || Down(state, 161);
  bool ctrl = Down(state, 17) || Down(state, 162) || Down(state, 163);
  bool alt = Down(state, 18) || Down(state, 164) || Down(state, 165);
  bool caps = (state[20] & 0x01) != 0;
  if (ctrl && alt) return t;  // AltGr types nothing on these layouts
  if (auto it = desktop.mappedKeys.find(vk); it != desktop.mappedKeys.end() && !ctrl) {
    const auto& [units, dead] = it->second;
    t.count = dead ? -1 : static_cast<int>(std::min<size_t>(units.size(), t.units.size()));
    std::copy_n(units.begin(), std::min<size_t>(units.size(), t.units.size()), t.units.begin());
    return t;
  }
  if (vk >= 65 && vk <= 90) {
    if (ctrl) return one(static_cast<char16_t>(vk - 64));
    return one(static_cast<char16_t>((shift != caps ? u'A' : u'a') + (vk - 65)));
  }
  switch (vk) {
    case 8:
      return one(u'\b');
    case 9:
      return one(u'\t');
    case 13:
      return one(u'\r');
    case 27:
      return one(0x1B);
    default:
      break;
  }
  if (ctrl) return t;
  if (vk >= 96 && vk <= 105) return one(static_cast<char16_t>(u'0' + (vk - 96)));
  if (vk == 106) return one(u'*');
  if (vk == 107) return one(u'+');
  if (vk == 109) return one(u'-');
  if (vk == 110) return one(u'.');
  if (vk == 111) return one(u'/');
  for (const auto& k : kSymbolKeys) {
    if (k.vk == vk) return one(shift ? k.shifted : k.plain);
  }
  return t;
}

void Desktop::Reset() {
  *this = Desktop();
}

WindowId Desktop::AddWindow(WindowSpec spec) {
  SimWindow w;
  w.id = kFirstWindowId + windows_.size() * kWindowIdStep;
  w.processId = spec.ours ? kOwnProcessId : static_cast<uint32_t>(kFirstProcessId + windows_.size());
  w.spec = std::move(spec);
  w.spec.fields.window = w.id;
  windows_.push_back(std::move(w));
  return windows_.back().id;
}

void Desktop::Focus(WindowId window) {
  foreground_ = window;
  PublishFocus();
}

void Desktop::MoveFocusWithin(WindowId window, FocusFields fields) {
  Window(window).spec.fields = fields;
  Window(window).spec.fields.window = window;
  if (window == foreground_) PublishFocus();
}

void Desktop::PublishFocus() {
  if (!publish_) return;
  const SimWindow* w = Find(foreground_);
  publish_->Store(w ? w->spec.fields : FocusFields{}, ++publications_);
}

// Window ids and process ids follow the order the windows were added in, so both lookups
// are an index (tonvira-sim --lines adds a window per line).
const SimWindow* Desktop::Find(WindowId id) const {
  if (id < kFirstWindowId || (id - kFirstWindowId) % kWindowIdStep != 0) return nullptr;
  size_t index = (id - kFirstWindowId) / kWindowIdStep;
  return index < windows_.size() ? &windows_[index] : nullptr;
}

const SimWindow* Desktop::FindProcess(uint32_t processId) const {
  if (processId == kOwnProcessId) {
    for (const SimWindow& w : windows_) {
      if (w.processId == processId) return &w;
    }
    return nullptr;
  }
  if (processId < kFirstProcessId) return nullptr;
  size_t index = processId - kFirstProcessId;
  if (index >= windows_.size() || windows_[index].processId != processId) return nullptr;
  return &windows_[index];
}

const SimWindow& Desktop::Window(WindowId id) const {
  static const SimWindow none;
  const SimWindow* w = Find(id);
  return w ? *w : none;
}

SimWindow& Desktop::Window(WindowId id) {
  static SimWindow none;  // an unknown window: writes go nowhere that matters
  SimWindow* w = Find(id);
  return w ? *w : none;
}

void Desktop::SetKeyState(uint32_t vk, bool down) {
  if (vk >= 256) return;
  if (down) {
    if (vk == 20 && !(keyState[20] & 0x80)) keyState[20] ^= 0x01;  // Caps Lock toggles on press
    keyState[vk] |= 0x80;
  } else {
    keyState[vk] &= 0x7F;
  }
  auto either = [&](uint32_t a, uint32_t b) { return ((keyState[a] | keyState[b]) & 0x80) != 0; };
  keyState[16] = either(160, 161) ? 0x80 : 0;
  keyState[17] = either(162, 163) ? 0x80 : 0;
  keyState[18] = either(164, 165) ? 0x80 : 0;
}

void Desktop::Key(uint32_t vk, bool down, KeyOptions options) {
  KeyEvent event;
  event.vk = vk;
  event.scan = options.scan ? options.scan : vk;
  event.flags = (options.injected ? kKeyInjected : 0) | (options.extended ? kKeyExtended : 0);
  event.time = tick;
  event.extraInfo = options.extraInfo;
  event.down = down;
  tick += options.hookDelayMs;  // the hook is entered now
  HookAction action = keyboardHook ? keyboardHook(event) : HookAction::Pass;
  tick += kKeyTimeStep;
  if (down) lastKeyDownAction = action;
  if (action == HookAction::Pass) Deliver(event);
  Drain();
}

void Desktop::Press(uint32_t vk, KeyOptions options) {
  Key(vk, true, options);
  Key(vk, false, options);
}

bool Desktop::TypeChar(char16_t c) {
  UsKey key = UsKeyFor(c);
  if (key.vk == 0) return false;
  bool shiftWanted = key.shift != ((keyState[20] & 0x01) != 0 && key.vk >= 65 && key.vk <= 90);
  bool shiftDown = (keyState[16] & 0x80) != 0;
  if (shiftWanted && !shiftDown) Key(160, true);
  if (!shiftWanted && shiftDown) {
    if (keyState[160] & 0x80) Key(160, false);
    if (keyState[161] & 0x80) Key(161, false);
  }
  Press(key.vk);
  if (shiftWanted && !shiftDown) Key(160, false);
  return true;
}

void Desktop::Click(size_t caret, bool injected) {
  MouseEvent down{MouseMessage::LeftDown, tick, injected};
  tick += kKeyTimeStep;
  if (mouseHook) mouseHook(down);
  if (SimWindow* w = Find(foreground_)) {
    w->completion.clear();
    w->caret = std::min(caret, w->text.size());
  }
  MouseEvent up{MouseMessage::LeftUp, tick, injected};
  if (mouseHook) mouseHook(up);
}

void Desktop::ClickElsewhere(bool injected) {
  if (mouseHook) mouseHook({MouseMessage::LeftDown, tick, injected});
  tick += kKeyTimeStep;
  if (mouseHook) mouseHook({MouseMessage::LeftUp, tick, injected});
}

void Desktop::Wheel() {
  MouseEvent wheel{MouseMessage::Wheel, tick, false};
  if (mouseHook) mouseHook(wheel);
}

void Desktop::SetSendShortfall(uint32_t missing, int times) {
  shortfall_ = missing;
  shortfallTimes_ = times;
}

void Desktop::MapKey(uint32_t vk, std::u16string units, bool dead) {
  mappedKeys[vk] = {std::move(units), dead};
}

os::SendOutcome Desktop::Send(std::span<const OutputEvent> events) {
  // The batches' storage is kept when they are cleared: a steady stream of keys allocates nothing.
  if (batchCount_ == batches_.size()) batches_.emplace_back();
  batches_[batchCount_++].assign(events.begin(), events.end());
  uint32_t inserted = static_cast<uint32_t>(events.size());
  if (shortfallTimes_ > 0) {
    --shortfallTimes_;
    inserted = inserted > shortfall_ ? inserted - shortfall_ : 0;
  }
  if (inserted < events.size()) ++failedSends_;
  queue_.insert(queue_.end(), events.begin(), events.begin() + inserted);
  return {inserted, inserted < events.size() ? 5u : 0u};  // 5: access denied
}

// Tonvira's events arrive after the key that caused them, through the hooks like any input.
void Desktop::Drain() {
  if (draining_) return;
  draining_ = true;
  for (size_t i = 0; i < queue_.size(); ++i) {
    OutputEvent out = queue_[i];
    KeyEvent event;
    bool unicode = (out.flags & kEventUnicode) != 0;
    event.vk = unicode ? kPacketKey : out.vk;
    event.scan = out.scan;
    event.flags = kKeyInjected | ((out.flags & kEventExtendedKey) ? kKeyExtended : 0);
    event.time = tick;
    event.extraInfo = out.extraInfo;
    event.down = (out.flags & kEventKeyUp) == 0;
    HookAction action = keyboardHook ? keyboardHook(event) : HookAction::Pass;
    if (action == HookAction::Pass) Deliver(event);
  }
  queue_.clear();
  draining_ = false;
}

void Desktop::Deliver(const KeyEvent& event) {
  if (event.vk != kPacketKey) SetKeyState(event.vk, event.down);
  if (event.down) ApplyToField(event);
}

void Desktop::Insert(char16_t unit) {
  SimWindow* w = Find(foreground_);
  if (!w) return;
  w->completion.clear();
  w->text.insert(w->caret, 1, unit);
  ++w->caret;
  // An address bar suggests the rest as soon as the caret is at the end.
  if (w->caret == w->text.size()) w->completion = w->spec.completion;
}

// What an EDIT control does with a key-down.
void Desktop::ApplyToField(const KeyEvent& event) {
  SimWindow* w = Find(foreground_);
  if (!w) return;
  if (event.vk == kPacketKey) {
    Insert(static_cast<char16_t>(event.scan));
    return;
  }
  switch (event.vk) {
    case 8:  // a selection goes first, else one unit before the caret
      if (!w->completion.empty()) {
        w->completion.clear();
      } else if (w->caret > 0) {
        w->text.erase(--w->caret, 1);
      }
      return;
    case 46:
      if (!w->completion.empty()) {
        w->completion.clear();
      } else if (w->caret < w->text.size()) {
        w->text.erase(w->caret, 1);
      }
      return;
    case 37:
      w->completion.clear();
      if (w->caret > 0) --w->caret;
      return;
    case 39:
      w->completion.clear();
      if (w->caret < w->text.size()) ++w->caret;
      return;
    case 36:
    case 38:
      w->completion.clear();
      w->caret = 0;
      return;
    case 35:
    case 40:
      w->completion.clear();
      w->caret = w->text.size();
      return;
    default:
      break;
  }
  bool ctrl = (keyState[17] & 0x80) != 0;
  bool alt = (keyState[18] & 0x80) != 0;
  bool windows = ((keyState[91] | keyState[92]) & 0x80) != 0;
  if (ctrl || alt || windows) return;  // shortcuts type nothing here
  KeyboardState state;
  std::copy(std::begin(keyState), std::end(keyState), state.begin());
  os::Translation t = TranslateOnLayout(*this, event.vk, state, w->spec.layout);
  for (int i = 0; i < t.count; ++i) {
    char16_t c = t.units[i];
    if (c == u'\r') c = u'\n';
    if (c >= 0x20 || c == u'\n' || c == u'\t') Insert(c);
  }
}

}  // namespace tonvira::sim
