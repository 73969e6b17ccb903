#include "update/evaluation.h"

#include "update/dotted_version.h"
#include "update/url_rules.h"

namespace tonvira {

UpdatePolicy UpdatePolicyFromValue(std::optional<uint32_t> value) {
  if (value == 0u) return UpdatePolicy::Off;
  if (value == 1u) return UpdatePolicy::NotifyOnly;
  return UpdatePolicy::Automatic;
}

UpdateEvaluation EvaluateUpdate(const Manifest& m, const UpdateContext& context) {
  UpdateEvaluation result;
  auto decide = [&result](std::string_view reason) {
    result.reason = reason;
    return result;
  };
  if (context.policy == UpdatePolicy::Off) return decide("chinh sach tat cap nhat");
  if (m.channel != "stable") return decide("kenh khac stable");
  if (m.seq < context.max_seq) return decide("manifest cu hon ban da thay (phat lai?)");
  // Two URLs without an origin do not share one: the installer must come from a named host.
  std::string msiOrigin = UrlOrigin(m.msi);
  if (!UrlAllowed(m.msi) || msiOrigin.empty() || msiOrigin != UrlOrigin(context.sourceUrl)) {
    return decide("msi khac nguon manifest");
  }
  if (InstallerFileName(m.msi).empty()) return decide("ten file msi la");
  VersionComparison offered = CompareVersions(m.version, context.runningVersion);
  if (!offered.ok) return decide("khong doc duoc phien ban");
  if (offered.sign <= 0) return decide("da la ban moi nhat");

  result.has_update = true;
  result.reason = "co ban moi";
  if (!m.min) return result;
  VersionComparison running = CompareVersions(context.runningVersion, *m.min);
  if (!running.ok || running.sign >= 0) return result;
  VersionComparison minimum = CompareVersions(m.version, *m.min);
  if (!minimum.ok || minimum.sign < 0) return decide("min > version - bo qua ep");
  // A version that could not be installed here is only offered, so typing is never held up
  // for it again.
  if (!context.stuck.empty() && SameVersion(context.stuck, m.version)) {
    result.notify_only = true;
    return decide("da cai ban nay ma khong len duoc - chi thong bao");
  }
  if (!context.blocked.empty() && SameVersion(context.blocked, m.version)) {
    result.notify_only = true;
    return decide("chinh sach may chan cai ban nay - chi thong bao");
  }
  if (context.policy == UpdatePolicy::NotifyOnly) {
    result.notify_only = true;
    return decide("chinh sach chi thong bao");
  }
  result.forced = true;
  return decide("ban dang chay thap hon muc toi thieu");
}

}  // namespace tonvira
