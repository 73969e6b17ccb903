// An updater holding a mandatory 1.4.13 whose package is downloaded and checked: the state in
// which "Cập nhật ngay" can run, for the installation tests.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "text/utf8.h"
#include "update/updater.h"

namespace tonvira::testing {

struct ReadyUpdate {
  std::string dataFolder;
  FileDigest package{std::string(64, 'a'), 4000};
  UpdateState state;
  PackageSigners signers{};
  std::function<void()> statusChanged;
};

inline std::unique_ptr<Updater> MakeReadyUpdater(ReadyUpdate r) {
  UpdaterSetup s;
  s.manifestUrl = "https://capnhat.tonvira.vn/cap-nhat.txt";
  s.runningVersion = "1.4.12";
  s.dataFolder = Utf8ToUtf16(r.dataFolder);
  s.installed = true;
  s.ableToElevate = [] { return true; };
  s.statusChanged = std::move(r.statusChanged);
  s.packageSigners = r.signers;
  auto u = std::make_unique<Updater>(std::move(s));
  Manifest m;
  m.channel = "stable";
  m.version = "1.4.13";
  m.min = "1.4.13";
  m.msi = "https://capnhat.tonvira.vn/tonvira-1.4.13-x64.msi";
  m.sha256 = r.package.sha256;
  m.size = r.package.size;
  m.seq = 5;
  u->held = m;
  u->packageReady = true;
  u->confirmedOnline = true;
  u->state = std::move(r.state);
  u->stateLoaded = true;
  PublishUpdateStatus(*u);
  return u;
}

}  // namespace tonvira::testing
