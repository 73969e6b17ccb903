// The addon inside a real fcitx5 instance, driven through fcitx5's test front end: what the
// application would be given (commits, preedit, deletions before the caret, keys let through),
// and the user's files in a fresh configuration folder. One process, one instance, the cases in
// turn; any mismatch is printed and fails the run.
#include <fcitx-config/iniparser.h>
#include <fcitx-config/rawconfig.h>
#include <fcitx-utils/capabilityflags.h>
#include <fcitx-utils/eventdispatcher.h>
#include <fcitx-utils/log.h>
#include <fcitx-utils/testing.h>
#include <fcitx/addoninstance.h>
#include <fcitx/addonmanager.h>
#include <fcitx/event.h>
#include <fcitx/inputcontext.h>
#include <fcitx/inputcontextmanager.h>
#include <fcitx/inputmethodgroup.h>
#include <fcitx/inputmethodmanager.h>
#include <fcitx/inputpanel.h>
#include <fcitx/instance.h>
#include <testfrontend_public.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

int failures = 0;

void Check(bool ok, const std::string& what) {
  std::cout << (ok ? "ok   " : "FAIL ") << what << "\n";
  if (!ok) ++failures;
}

void CheckEqual(const std::string& got, const std::string& want, const std::string& what) {
  Check(got == want, what + ": got \"" + got + "\", want \"" + want + "\"");
}

// A configuration as fcitx5 writes it to a file.
std::string IniText(const fcitx::RawConfig& config) {
  char* buffer = nullptr;
  size_t size = 0;
  std::FILE* out = open_memstream(&buffer, &size);
  fcitx::writeAsIni(config, out);
  std::fclose(out);
  std::string text(buffer, size);
  std::free(buffer);
  return text;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// fcitx5's test front end logs what it hands the application: each commit, each key with whether
// the input method took it, each deletion it was asked for.
std::stringstream frontendLog;

class Harness {
 public:
  explicit Harness(fcitx::Instance& instance) : instance_(instance) {
    frontend_ = instance.addonManager().addon("testfrontend");
  }

  // A new field of `program`, with Tonvira on and these capabilities.
  fcitx::InputContext* Open(const std::string& program,
                            fcitx::CapabilityFlag flag = fcitx::CapabilityFlag::NoFlag) {
    uuid_ = frontend_->call<fcitx::ITestFrontend::createInputContext>(program);
    fcitx::InputContext* ic = instance_.inputContextManager().findByUUID(uuid_);
    ic->setCapabilityFlags(fcitx::CapabilityFlags(flag));
    ic->focusIn();
    instance_.setCurrentInputMethod(ic, "tonvira", true);
    Forget();
    return ic;
  }

  // Characters as keys; "\b" is BackSpace, "\n" Return, "\x1b" Escape.
  void Type(const std::string& keys) {
    for (char c : keys) {
      fcitx::Key key(static_cast<fcitx::KeySym>(static_cast<unsigned char>(c)));
      if (c == '\b') key = fcitx::Key(FcitxKey_BackSpace);
      if (c == '\n') key = fcitx::Key(FcitxKey_Return);
      if (c == '\x1b') key = fcitx::Key(FcitxKey_Escape);
      frontend_->call<fcitx::ITestFrontend::keyEvent>(uuid_, key, false);
    }
  }

  std::string Preedit(fcitx::InputContext* ic) {
    fcitx::InputPanel& panel = ic->inputPanel();
    return ic->capabilityFlags().test(fcitx::CapabilityFlag::Preedit) ? panel.clientPreedit().toString()
                                                                      : panel.preedit().toString();
  }

  // The field's text as the application has it: the commits and the keys let through, in order.
  std::string Shown() const {
    std::string text;
    std::istringstream log(frontendLog.str());
    for (std::string line; std::getline(log, line);) {
      if (size_t at = line.find("] Commit: "); at != std::string::npos) {
        text += line.substr(at + 10);
      } else if (size_t key = line.find("] KeyEvent key: ");
                 key != std::string::npos && line.ends_with(" isRelease: 0 accepted: 0")) {
        std::string name = line.substr(key + 16, line.size() - key - 16 - 25);
        fcitx::Key typed(name);
        uint32_t c = fcitx::Key::keySymToUnicode(typed.sym());
        if (c >= 0x20 && c < 0x7F) text.push_back(static_cast<char>(c));
        while (typed.sym() == FcitxKey_BackSpace && !text.empty()) {  // one character, however many bytes
          bool lead = (text.back() & 0xC0) != 0x80;
          text.pop_back();
          if (lead) break;
        }
      }
    }
    return text;
  }
  int LetThrough() const {
    std::string log = frontendLog.str();
    int count = 0;
    for (size_t at = log.find("isRelease: 0 accepted: 0"); at != std::string::npos;
         at = log.find("isRelease: 0 accepted: 0", at + 1))
      ++count;
    return count;
  }
  void Forget() { frontendLog.str(""); }

 private:
  fcitx::Instance& instance_;
  fcitx::AddonInstance* frontend_ = nullptr;
  fcitx::ICUUID uuid_{};
};

void RunCases(fcitx::Instance& instance, const fs::path& userFolder) {
  // Keyboard first (off), Tonvira second (on), as a user's group would be.
  fcitx::InputMethodGroup group = instance.inputMethodManager().currentGroup();
  group.inputMethodList().clear();
  group.inputMethodList().emplace_back("keyboard-us");
  group.inputMethodList().emplace_back("tonvira");
  instance.inputMethodManager().setGroup(group);
  Harness h(instance);

  // The user's files: copied from the shipped ones on the first start, settings.txt read as found.
  Check(fs::exists(userFolder / "abbrev.txt") && fs::exists(userFolder / "context.txt"),
        "abbrev.txt and context.txt are created in the user's folder");
  fcitx::InputContext* ic = h.Open("gedit");
  h.Type("tie61ng Vie65t ");
  CheckEqual(h.Shown(), "tiếng Việt ", "VNI from the user's settings.txt (method=1)");

  // The configuration tool writes settings.txt, the only store.
  fcitx::AddonInstance* tonvira = instance.addonManager().addon("tonvira");
  fcitx::RawConfig config;
  tonvira->getConfig()->save(config);
  fcitx::RawConfig description;
  tonvira->getConfig()->dumpDescription(description);
  std::string described = IniText(description);
  for (const char* wanted : {"Telex", "VNI", "Đoán thông minh", "Tự sửa lỗi gõ khi kết thúc từ", "Bật gõ tắt",
                             "Đặt dấu thanh kiểu mới"}) {
    Check(described.find(wanted) != std::string::npos,
          std::string("the configuration tool describes \"") + wanted + "\"");
  }
  config.setValueByPath("Method", "Telex");
  tonvira->setConfig(config);
  std::string settings = ReadFile(userFolder / "settings.txt");
  Check(settings.find("\nmethod=0\n") != std::string::npos,
        "the configuration tool's Telex is written to settings.txt");
  Check(settings.find("\nsmart=1\n") != std::string::npos, "settings.txt keeps every other setting");

  ic = h.Open("gedit");
  h.Type("tieengs Vieetj laf ngoon nguwx cuar nguwowif Vieetj Nam.");
  CheckEqual(h.Preedit(ic), "Nam.", "the word in progress is the preedit");
  h.Type(" ");
  CheckEqual(h.Shown(), "tiếng Việt là ngôn ngữ của người Việt Nam. ", "a Telex sentence");

  ic = h.Open("gedit");
  h.Type("Anh xem lai cais slide nayf nhes, test file nhes ");
  CheckEqual(h.Shown(), "Anh xem lai cái slide này nhé, test file nhé ",
             "English words in a Vietnamese sentence");

  ic = h.Open("gedit", fcitx::CapabilityFlag::Preedit);
  h.Type("vieetj");
  CheckEqual(h.Preedit(ic), "việt", "client-side preedit");
  h.Type("\b");
  CheckEqual(h.Preedit(ic), "việ", "Backspace edits the preedit");
  h.Type("\bt\n");
  CheckEqual(h.Shown(), "vit", "the edited word is committed at Return");
  Check(h.LetThrough() == 1, "Return itself goes on to the application");

  ic = h.Open("gedit", fcitx::CapabilityFlag::SurroundingText);
  h.Type("tieengs ");
  ic->surroundingText().setText("tiếng ", 6, 6);
  ic->updateSurroundingText();
  h.Forget();
  h.Type("\b");
  Check(frontendLog.str().find("DeleteSurrounding: -6 6") != std::string::npos,
        "Backspace after a word deletes it and its space");
  CheckEqual(h.Preedit(ic), "tiếng", "and takes it back into the preedit");
  h.Type("f ");
  CheckEqual(h.Shown(), "tiềng ", "a tone typed then corrects it in place");

  ic = h.Open("gedit");  // no surrounding text: the application deletes one character
  h.Type("tieengs ");
  h.Forget();
  h.Type("\b");
  Check(h.Preedit(ic).empty() && h.LetThrough() == 1,
        "without surrounding text Backspace goes to the application and nothing is reopened");

  ic = h.Open("gedit", fcitx::CapabilityFlag::Password);
  h.Type("vieetj ");
  CheckEqual(h.Shown() + h.Preedit(ic), "vieetj ", "a password field gets every key untouched");
  // fcitx5 itself keeps input methods out of password fields; a field marked sensitive reaches us.
  ic = h.Open("gedit", fcitx::CapabilityFlag::Sensitive);
  h.Type("vieetj ");
  CheckEqual(h.Shown() + h.Preedit(ic), "vieetj ", "a sensitive field gets every key untouched");

  ic = h.Open("xterm");
  h.Type("vieetj ");
  CheckEqual(h.Shown(), "vieetj ", "a terminal types English");

  ic = h.Open("gedit");
  h.Type("vieetj");
  ic->focusOut();
  CheckEqual(h.Shown(), "việt", "the word is committed when the field loses focus");
  ic->focusIn();
  h.Type("nam");
  ic->reset();
  CheckEqual(h.Shown(), "việtnam", "and when the input context is reset");
}

}  // namespace

int main() {
  // A fresh configuration folder holding only a settings.txt that chooses VNI; the shipped
  // files from the repository's data/.
  fs::path config = fs::temp_directory_path() / ("tonvira-fcitx5-test-" + std::to_string(::getpid()));
  fs::remove_all(config);
  fs::create_directories(config / "Tonvira");
  std::ofstream(config / "Tonvira" / "settings.txt") << "ver=145\nmethod=1\n";
  setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  setenv("TONVIRA_SHARE_DIR", TONVIRA_SOURCE_DIR, 1);

  fcitx::setupTestingEnvironment("/", {TONVIRA_ADDON_BUILD_DIR, FCITX5_ADDON_DIR},
                                 {TONVIRA_ADDON_BUILD_DIR, FCITX5_DATA_DIR "/testing", FCITX5_DATA_DIR});
  char arg0[] = "fcitx5_headless_test";
  char arg1[] = "--disable=all";
  char arg2[] = "--enable=testfrontend,keyboard,tonvira";
  char* argv[] = {arg0, arg1, arg2};
  fcitx::Log::setLogStream(frontendLog);
  fcitx::Instance instance(3, argv);
  instance.addonManager().registerDefaultLoader(nullptr);
  fcitx::EventDispatcher dispatcher;
  dispatcher.attach(&instance.eventLoop());
  dispatcher.schedule([&] {
    RunCases(instance, config / "Tonvira");
    dispatcher.detach();
    instance.exit();
  });
  instance.exec();
  fs::remove_all(config);
  std::cout << (failures ? "FAILED: " : "passed: ") << failures << " failures\n";
  return failures ? 1 : 0;
}
