#include "cli/Cli.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

#include "Version.h"
#include "cli/Lines.h"
#include "cli/Locale.h"
#include "cli/Options.h"
#include "cli/Text.h"
#include "cli/Writers.h"
#include "engine/Search.h"
#include "engine/Wanted.h"

namespace cli {
namespace {

constexpr const char kLongLine[] = N_("a line holds at most 65536 bytes");
static_assert(kLongestLine == 65536);

// The wanted values of a run through its kind of search to its writer, and what it says of them.
class Lister {
 public:
  Lister(Kind& kind, Format format, std::FILE* out, std::FILE* err)
      : kind_(kind), writer_(MakeWriter(format, kind, out)), out_(out), err_(err) {}

  // Lists one wanted text; false when it was refused. line numbers its origin in messages.
  bool List(std::string_view text, long line) {
    if (const char* reason = kind_.Search(text, block_)) return Refuse(text, line, reason);
    writer_->Listed(block_);
    ++accepted_;
    unfound_ += block_.cells.empty();
    return true;
  }

  // Names a wanted text that is refused, and why; false.
  bool Refuse(std::string_view text, long line, const char* reason) {
    if (reason != kLongLine && text.find(' ') != text.npos) reason = kBlankInside;
    const std::string quoted = Quoted(text);
    Say(line > 0 ? Trf("line %ld: refused %s: %s", line, quoted.c_str(), Tr(reason).c_str())
                 : Trf("refused %s: %s", quoted.c_str(), Tr(reason).c_str()));
    writer_->Refused(text, reason);
    return false;
  }

  // A message, in step with the output before it.
  void Say(const std::string& message) {
    writer_->Flush();
    std::fprintf(err_, "ohmsift-cli: %s\n", message.c_str());
  }

  // Says how many values found nothing; the errno of a failed write, or 0.
  int Finish() {
    if (unfound_ > 0) Say(kind_.Unfound(unfound_, accepted_));
    writer_->Flush();
    return writer_->Failure() != 0 ? writer_->Failure() : (std::ferror(out_) ? EIO : 0);
  }

 private:
  Kind& kind_;
  std::unique_ptr<Writer> writer_;
  Block block_;
  std::FILE* out_;
  std::FILE* err_;
  long accepted_ = 0, unfound_ = 0;
};

int OutputFailed(std::FILE* err, int failure) {
  std::fprintf(err, "ohmsift-cli: %s\n",
               Trf("the output could not be written: %s", std::strerror(failure)).c_str());
  return kOutputFailed;
}

int UsageError(std::FILE* err, const std::string& problem) {
  std::fprintf(err, "ohmsift-cli: %s\n%s\n", problem.c_str(),
               Tr("Try 'ohmsift-cli --help' for more information.").c_str());
  return kUsageError;
}

}  // namespace

int Run(int argc, char** argv, std::FILE* in, std::FILE* out, std::FILE* err) {
  Options options;
  std::string problem;
  if (!ParseArguments(argc, argv, options, problem)) return UsageError(err, problem);
  if (options.help || options.version) {
    const std::string text =
        options.help ? Usage() : std::string("ohmsift-cli ") + kVersion + "\n" + kLicence;
    if (std::fputs(text.c_str(), out) < 0 || std::fflush(out) != 0) return OutputFailed(err, errno);
    return kAllAccepted;
  }
  if (options.Stock() && Distinct(options.only).size() > std::size_t{engine::kMaxValues})
    return UsageError(err, Trf("--only: at most %d different values", engine::kMaxValues));
  // A sweep writes hundreds of megabytes: in large blocks, but to a terminal line by line, so
  // that a value typed there is answered at once.
  const int outFd = fileno(out);
  if (outFd < 0 || !isatty(outFd)) std::setvbuf(out, nullptr, _IOFBF, 1 << 17);
  const std::unique_ptr<Kind> kind = MakeKind(options, problem);
  if (!kind) return UsageError(err, problem);
  for (const std::string& note : kind->Notes())
    std::fprintf(err, "ohmsift-cli: %s\n", note.c_str());
  Lister lister(*kind, options.format, out, err);
  bool allAccepted = true;
  int readFailure = 0;
  bool utf16 = false;
  if (options.wanted.empty()) {
    // Standard input as a list file holds values: items of lines, comments, empty lines.
    readFailure = ReadLines(in, [&](std::string_view line, long number, bool cut) {
      if (LooksUtf16(line, number)) {
        utf16 = true;
        return false;
      }
      if (cut) {
        allAccepted = lister.Refuse(line, number, kLongLine) && allAccepted;
        return true;
      }
      ForItems(line, true, [&](std::string_view item) {
        allAccepted = lister.List(item, number) && allAccepted;
        return true;
      });
      return true;
    });
  } else {
    for (const std::string_view text : options.wanted) {
      allAccepted = lister.List(text, 0) && allAccepted;
    }
  }
  const int failure = lister.Finish();
  if (failure != 0) return OutputFailed(err, failure);
  if (readFailure != 0 || utf16) {
    std::fprintf(err, "ohmsift-cli: %s\n",
                 utf16 ? Tr("standard input is in UTF-16, not UTF-8: give it as UTF-8 text").c_str()
                       : Trf("cannot read standard input: %s", std::strerror(readFailure)).c_str());
    return kUsageError;
  }
  return allAccepted ? kAllAccepted : kSomeRefused;
}

}  // namespace cli
