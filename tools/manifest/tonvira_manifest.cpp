// tonvira-manifest: the release process's check of a signed update manifest with the
// program's own verification and evaluation.
//
//   tonvira-manifest verify [--key P1.blob [--key B1.blob]] DOCUMENT
//   tonvira-manifest evaluate [--key P1.blob [--key B1.blob]] --from URL --running VERSION
//                    [--max-seq N] [--policy 0|1|2] [--stuck V] [--blocked V] DOCUMENT
//
// Without --key the keys built into this program are used (TONVIRA_UPDATE_KEYS).
// verify prints "accepted" and the manifest's fields as key=value lines (exit 0), or "refused"
// (exit 1). evaluate prints the evaluation's flags and reason after the same check. Wrong
// arguments or unreadable files: a message on standard error, exit 2.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "update/dotted_version.h"
#include "update/evaluation.h"
#include "update/signature.h"

namespace {

using namespace tonvira;

constexpr int kRefused = 1;
constexpr int kUsage = 2;

struct Arguments {
  std::string command;
  std::vector<std::string> keys;
  std::string document;
  std::string from;
  std::string running;
  std::string maxSeq = "0";
  std::string policy = "2";
  std::string stuck;
  std::string blocked;
};

std::optional<std::string> ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

int Usage(const char* problem) {
  std::fprintf(
      stderr,
      "tonvira-manifest: %s\n"
      "usage: tonvira-manifest verify [--key P1.blob [--key B1.blob]] DOCUMENT\n"
      "       tonvira-manifest evaluate [--key P1.blob [--key B1.blob]] --from URL --running VERSION\n"
      "                        [--max-seq N] [--policy 0|1|2] [--stuck V] [--blocked V] DOCUMENT\n",
      problem);
  return kUsage;
}

// Returns an error text, or nothing when the arguments parsed.
std::optional<std::string> Parse(int argc, char** argv, Arguments& args) {
  if (argc < 2) return "no command";
  args.command = argv[1];
  if (args.command != "verify" && args.command != "evaluate") return "unknown command " + args.command;
  for (int i = 2; i < argc; ++i) {
    std::string_view arg = argv[i];
    std::string* target = nullptr;
    if (arg == "--key") {
      args.keys.emplace_back();
      target = &args.keys.back();
    } else if (args.command == "evaluate" && arg == "--from") {
      target = &args.from;
    } else if (args.command == "evaluate" && arg == "--running") {
      target = &args.running;
    } else if (args.command == "evaluate" && arg == "--max-seq") {
      target = &args.maxSeq;
    } else if (args.command == "evaluate" && arg == "--policy") {
      target = &args.policy;
    } else if (args.command == "evaluate" && arg == "--stuck") {
      target = &args.stuck;
    } else if (args.command == "evaluate" && arg == "--blocked") {
      target = &args.blocked;
    } else if (arg.starts_with("--") || !args.document.empty()) {
      return "unexpected argument " + std::string(arg);
    } else {
      args.document = arg;
      continue;
    }
    if (++i == argc) return "missing value after " + std::string(arg);
    *target = argv[i];
  }
  if (args.keys.size() > 2) return "at most two --key blobs";
  if (args.document.empty()) return "no document";
  if (args.command == "evaluate") {
    if (args.from.empty() || args.running.empty()) return "evaluate needs --from and --running";
    if (!IsShortDecimal(args.maxSeq)) return "--max-seq takes a decimal number";
    if (args.policy != "0" && args.policy != "1" && args.policy != "2") return "--policy takes 0, 1 or 2";
  }
  return std::nullopt;
}

void PrintFields(const Manifest& m) {
  std::printf("product=%s\nchannel=%s\nversion=%s\n", m.product.c_str(), m.channel.c_str(),
              m.version.c_str());
  if (m.min) std::printf("min=%s\n", m.min->c_str());
  std::printf("published=%s\nmsi=%s\nsha256=%s\nseq=%llu\nsize=%llu\n", m.published.c_str(), m.msi.c_str(),
              m.sha256.c_str(), static_cast<unsigned long long>(m.seq),
              static_cast<unsigned long long>(m.size));
  for (const std::string& note : m.notes) std::printf("note=%s\n", note.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  Arguments args;
  if (std::optional<std::string> problem = Parse(argc, argv, args)) return Usage(problem->c_str());

  VerificationKeys keys = args.keys.empty() ? BuiltInKeys() : VerificationKeys{{{"p1", {}}, {"b1", {}}}};
  for (size_t i = 0; i < args.keys.size(); ++i) {
    std::optional<std::string> blob = ReadWhole(args.keys[i]);
    if (!blob || blob->size() != keys[i].blob.size()) {
      return Usage(("not a 72-byte key blob: " + args.keys[i]).c_str());
    }
    for (size_t b = 0; b < blob->size(); ++b) keys[i].blob[b] = static_cast<uint8_t>((*blob)[b]);
  }
  std::optional<std::string> document = ReadWhole(args.document);
  if (!document) return Usage(("cannot read " + args.document).c_str());

  std::optional<Manifest> manifest = VerifyManifest(*document, keys);
  if (!manifest) {
    std::printf("refused\n");
    return kRefused;
  }
  if (args.command == "verify") {
    std::printf("accepted\n");
    PrintFields(*manifest);
    return 0;
  }
  UpdateContext context;
  context.sourceUrl = args.from;
  context.runningVersion = args.running;
  context.max_seq = ShortDecimalValue(args.maxSeq);
  context.policy = static_cast<UpdatePolicy>(args.policy[0] - '0');
  context.stuck = args.stuck;
  context.blocked = args.blocked;
  UpdateEvaluation evaluation = EvaluateUpdate(*manifest, context);
  std::printf("has_update=%d\nforced=%d\nnotify_only=%d\nreason=%.*s\n", evaluation.has_update ? 1 : 0,
              evaluation.forced ? 1 : 0, evaluation.notify_only ? 1 : 0,
              static_cast<int>(evaluation.reason.size()), evaluation.reason.data());
  return 0;
}
