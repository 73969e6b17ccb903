// The fcitx5 input method: keys from fcitx5 go through the preedit session, and its edits go to
// the application as preedit, commits and deletions before the caret.
#include <fcitx-config/configuration.h>
#include <fcitx-config/enum.h>
#include <fcitx-config/option.h>
#include <fcitx-config/rawconfig.h>
#include <fcitx-utils/capabilityflags.h>
#include <fcitx-utils/key.h>
#include <fcitx-utils/log.h>
#include <fcitx-utils/utf8.h>
#include <fcitx/addonfactory.h>
#include <fcitx/addonmanager.h>
#include <fcitx/event.h>
#include <fcitx/inputcontext.h>
#include <fcitx/inputmethodengine.h>
#include <fcitx/inputpanel.h>
#include <fcitx/instance.h>
#include <fcitx/text.h>
#include <fcitx/userinterface.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fcitx5/front_end_data.h"
#include "fcitx5/linux_field.h"
#include "fcitx5/preedit_session.h"
#include "text/utf8.h"

namespace tonvira {

enum class TypingMethod { Telex, Vni };
FCITX_CONFIG_ENUM_NAME(TypingMethod, "Telex", "VNI");

namespace {

// A settings window label without its Alt+letter mark.
std::string Caption(std::u16string_view label) {
  std::u16string text;
  for (char16_t c : label) {
    if (c != u'&') text.push_back(c);
  }
  return Utf16ToUtf8(text);
}

bool ByDefault(const SettingRow& row) {
  return row.byDefault != 0;
}

// The main options in fcitx5's configuration tool. settings.txt stays the only store: this is
// filled from the settings when asked for and written back into them when changed.
FCITX_CONFIGURATION(TonviraConfig,
                    fcitx::Option<TypingMethod> method{this, "Method", "Kiểu gõ", TypingMethod::Telex};
                    fcitx::Option<bool> modernTone{this, "ModernTone",
                                                   Caption(SettingNamed(u"old_tone").label),
                                                   ByDefault(SettingNamed(u"old_tone"))};
                    fcitx::Option<bool> smart{this, "Smart", Caption(SettingNamed(u"smart").label),
                                              ByDefault(SettingNamed(u"smart"))};
                    fcitx::Option<bool> autofix{this, "Autofix", Caption(SettingNamed(u"autofix").label),
                                                ByDefault(SettingNamed(u"autofix"))};
                    fcitx::Option<bool> abbrev{this, "Abbrev", Caption(SettingNamed(u"abbrev").label),
                                               ByDefault(SettingNamed(u"abbrev"))};)

constexpr fcitx::KeyStates kShortcutStates{
    fcitx::KeyState::Ctrl,  fcitx::KeyState::Alt,    fcitx::KeyState::Super, fcitx::KeyState::Super2,
    fcitx::KeyState::Hyper, fcitx::KeyState::Hyper2, fcitx::KeyState::Meta};

// The text before the caret when the application tells it and nothing is selected.
std::optional<std::u16string> TextBeforeCaret(fcitx::InputContext& ic) {
  if (!ic.capabilityFlags().test(fcitx::CapabilityFlag::SurroundingText)) return std::nullopt;
  const fcitx::SurroundingText& surrounding = ic.surroundingText();
  if (!surrounding.isValid() || surrounding.cursor() != surrounding.anchor()) return std::nullopt;
  const std::string& text = surrounding.text();
  size_t length = fcitx::utf8::lengthValidated(text);
  if (length == fcitx::utf8::INVALID_LENGTH || surrounding.cursor() > length) return std::nullopt;
  auto end = static_cast<size_t>(fcitx::utf8::ncharByteLength(text.begin(), surrounding.cursor()));
  return Utf8ToUtf16(std::string_view(text).substr(0, end));
}

class TonviraEngine final : public fcitx::InputMethodEngineV2 {
 public:
  explicit TonviraEngine(fcitx::Instance* instance) : instance_(instance) {
    if (!LoadFrontEndData(*data_)) {
      FCITX_ERROR() << "Tonvira: cannot read the English word list";
    }
    ApplyFrontEndData(engine_, *data_);
    focusOut_ = instance_->watchEvent(fcitx::EventType::InputContextFocusOut,
                                      fcitx::EventWatcherPhase::Default, [this](fcitx::Event& event) {
                                        auto& icEvent = static_cast<fcitx::InputContextEvent&>(event);
                                        KeepWord(icEvent.inputContext());
                                      });
    destroyed_ = instance_->watchEvent(fcitx::EventType::InputContextDestroyed,
                                       fcitx::EventWatcherPhase::Default, [this](fcitx::Event& event) {
                                         auto& icEvent = static_cast<fcitx::InputContextEvent&>(event);
                                         if (icEvent.inputContext() == current_) {
                                           AbandonWord(engine_);
                                           current_ = nullptr;
                                         }
                                       });
  }

  std::vector<fcitx::InputMethodEntry> listInputMethods() override {
    std::vector<fcitx::InputMethodEntry> entries;
    entries.emplace_back("tonvira", "Tonvira", "vi", "tonvira");
    entries.back()
        .setNativeName("Tiếng Việt (Tonvira)")
        .setIcon("input-keyboard")
        .setLabel("VI")
        .setConfigurable(true);
    return entries;
  }

  void keyEvent(const fcitx::InputMethodEntry&, fcitx::KeyEvent& event) override {
    if (event.isRelease()) return;
    fcitx::InputContext* ic = event.inputContext();
    Focus(ic);
    const fcitx::Key& key = event.key();
    if (key.isModifier()) return;
    if (key.states().testAny(kShortcutStates)) {
      Apply(*ic, session_.CommitWord(false), event);  // the shortcut acts after the word
      return;
    }
    switch (key.sym()) {
      case FcitxKey_BackSpace: {
        std::optional<std::u16string> before = TextBeforeCaret(*ic);
        Apply(*ic, session_.Backspace(before ? &*before : nullptr), event);
        return;
      }
      case FcitxKey_Return:
      case FcitxKey_KP_Enter:
        Apply(*ic, session_.CommitWord(true), event);
        return;
      case FcitxKey_Tab:
        Apply(*ic, session_.CommitWord(false), event);
        return;
      default:
        break;
    }
    uint32_t c = fcitx::Key::keySymToUnicode(key.sym());
    if (c >= 0x20 && c != 0x7F && c < 0xD800) {
      Apply(*ic, session_.TypeCharacter(static_cast<char16_t>(c)), event);
    } else {
      Apply(*ic, session_.KeepWordAsShown(), event);  // arrows, Escape, Delete…: the caret moves
    }
  }

  void reset(const fcitx::InputMethodEntry&, fcitx::InputContextEvent& event) override {
    KeepWord(event.inputContext());
  }

  const fcitx::Configuration* getConfig() const override {
    const Settings& s = data_->settings;
    config_.method.setValue(s.method == 1 ? TypingMethod::Vni : TypingMethod::Telex);
    config_.modernTone.setValue(s.old_tone != 0);
    config_.smart.setValue(s.smart != 0);
    config_.autofix.setValue(s.autofix != 0);
    config_.abbrev.setValue(s.abbrev != 0);
    return &config_;
  }

  void setConfig(const fcitx::RawConfig& raw) override {
    config_.load(raw, true);
    Settings& s = data_->settings;
    bool vni = *config_.method == TypingMethod::Vni;
    if (vni != (s.method == 1)) s.method = vni ? 1 : 0;  // a hand-written value that acts as Telex stays
    s.old_tone = *config_.modernTone;
    s.smart = *config_.smart;
    s.autofix = *config_.autofix;
    s.abbrev = *config_.abbrev;
    if (!SaveFrontEndSettings(*data_)) FCITX_ERROR() << "Tonvira: settings.txt was not written";
    ApplyFrontEndData(engine_, *data_);
  }

  void reloadConfig() override {
    ReadUserFiles(*data_);
    ApplyFrontEndData(engine_, *data_);
    classifiedCaps_.reset();  // the rules may have changed
  }

 private:
  // The field of this key, classified when it is another field than the last key's or its
  // capabilities changed (not at every key). Another field's word was kept when it lost focus.
  void Focus(fcitx::InputContext* ic) {
    fcitx::CapabilityFlags caps = ic->capabilityFlags();
    if (ic == current_ && classifiedCaps_ == caps) return;
    classifiedCaps_ = caps;
    LinuxFieldFacts facts;
    facts.program = Utf8ToUtf16(ic->program());
    facts.password =
        caps.test(fcitx::CapabilityFlag::Password) || caps.test(fcitx::CapabilityFlag::Sensitive);
    facts.urlOrEmail = caps.test(fcitx::CapabilityFlag::Url) || caps.test(fcitx::CapabilityFlag::Email);
    facts.terminal = caps.test(fcitx::CapabilityFlag::Terminal);
    if (ic != current_) {
      if (current_) KeepWord(current_);
      current_ = ic;
    }
    LinuxField field = ClassifyLinuxField(facts, data_->rules);
    session_.SetField(field.program, field.fieldClass, field.blocked, field.mayReopen);
  }

  void KeepWord(fcitx::InputContext* ic) {
    if (!ic || ic != current_) return;
    const FieldEdit& edit = session_.KeepWordAsShown();
    if (!edit.commit.empty()) ic->commitString(Utf16ToUtf8(edit.commit));
    ShowPreedit(*ic, {});
  }

  void Apply(fcitx::InputContext& ic, const FieldEdit& edit, fcitx::KeyEvent& event) {
    if (edit.deleteBefore > 0) {
      ic.deleteSurroundingText(-static_cast<int>(edit.deleteBefore),
                               static_cast<unsigned>(edit.deleteBefore));
    }
    if (!edit.commit.empty()) ic.commitString(Utf16ToUtf8(edit.commit));
    ShowPreedit(ic, edit.preedit);
    if (edit.keyHandled) event.filterAndAccept();
  }

  void ShowPreedit(fcitx::InputContext& ic, std::u16string_view preedit) {
    fcitx::Text text;
    if (!preedit.empty()) {
      std::string utf8 = Utf16ToUtf8(preedit);
      text.append(utf8, fcitx::TextFormatFlag::Underline);
      text.setCursor(static_cast<int>(utf8.size()));
    }
    if (ic.capabilityFlags().test(fcitx::CapabilityFlag::Preedit)) {
      ic.inputPanel().setClientPreedit(text);
    } else {
      ic.inputPanel().setPreedit(text);
    }
    ic.updatePreedit();
    ic.updateUserInterface(fcitx::UserInterfaceComponent::InputPanel);
  }

  fcitx::Instance* instance_;
  std::unique_ptr<FrontEndData> data_ = std::make_unique<FrontEndData>();
  Engine engine_;
  PreeditSession session_{engine_};
  fcitx::InputContext* current_ = nullptr;  // the field of the last key, classified
  std::optional<fcitx::CapabilityFlags> classifiedCaps_;
  mutable TonviraConfig config_;
  std::unique_ptr<fcitx::HandlerTableEntry<fcitx::EventHandler>> focusOut_;
  std::unique_ptr<fcitx::HandlerTableEntry<fcitx::EventHandler>> destroyed_;
};

class TonviraFactory final : public fcitx::AddonFactory {
 public:
  fcitx::AddonInstance* create(fcitx::AddonManager* manager) override {
    return new TonviraEngine(manager->instance());
  }
};

}  // namespace
}  // namespace tonvira

FCITX_ADDON_FACTORY(tonvira::TonviraFactory);
