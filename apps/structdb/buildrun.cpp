#include "buildrun.h"

#include <climits>
#include <cstdio>

#include "core/settings.h"

namespace {

const char* const kReasonNames[] = {"no key",           "malformed key", "bad check digit",
                                    "key out of range", "repeated key",  "refused"};

}  // namespace

CBuildRun::CBuildRun(const BuildOptions& options, long long totalBytes)
    : options_(options),
      writer_(options.out),
      progress_(options.quiet, totalBytes),
      next_(options.numberFrom) {
  ReadSettings(&info_);
}

bool CBuildRun::Open() {
  std::string why;
  if (writer_.Open(why)) return true;
  std::fprintf(stderr, "structdb: %s\n", why.c_str());
  failed_ = true;
  return false;
}

void CBuildRun::Count(SkipReason reason) { ++skipped_[static_cast<int>(reason)]; }

void CBuildRun::Skip(const std::string& file, long long number, SkipReason reason,
                     const std::string& why) {
  ++read_;
  Count(reason);
  progress_.Clear();
  std::fprintf(stderr, "structdb: %s: structure %lld: %s\n", file.c_str(), number, why.c_str());
}

void CBuildRun::FileProblem(const std::string& file, const std::string& why) {
  ++fileProblems_;
  progress_.Clear();
  std::fprintf(stderr, "structdb: %s: %s\n", file.c_str(), why.c_str());
}

void CBuildRun::Take(const std::string& file, long long number, StdStructure s) {
  if (failed_) return;
  if (options_.numbered) {
    if (next_ > INT32_MAX)
      return Skip(file, number, SkipReason::kKeyOutOfRange, "numbering passed 2147483647");
    s.lKey = static_cast<LONG>(next_);
  }
  if (writer_.HasKey(s.lKey))
    return Skip(file, number, SkipReason::kRepeatedKey,
                "key " + std::to_string(s.lKey) + " repeated (the first one stays)");
  std::string why;
  if (options_.circles) {
    // What the record cannot hold is refused before the ring search.
    std::vector<BYTE> body;
    if (!EncodeStandardRecord(s, body, why))
      return Skip(file, number, SkipReason::kRefused, "refused: " + why);
    MarkAromaticRings(s);
  }
  switch (writer_.Add(s, why)) {
    case CStdLibraryWriter::kAdded:
      ++read_;
      ++next_;
      break;
    case CStdLibraryWriter::kNotStorable:
      return Skip(file, number, SkipReason::kRefused, "refused: " + why);
    case CStdLibraryWriter::kRepeatedKey:
      return Skip(file, number, SkipReason::kRepeatedKey, why);
    case CStdLibraryWriter::kFailed:
      ++read_;
      progress_.Clear();
      std::fprintf(stderr, "structdb: %s\n", why.c_str());
      failed_ = true;
      break;
  }
  progress_.Update(bytesDone_, read_, writer_.Count());
}

void CBuildRun::Progress(long long bytesDone) {
  bytesDone_ = bytesDone;
  progress_.Update(bytesDone_, read_, writer_.Count());
}

int CBuildRun::Finish() {
  progress_.Clear();
  bool placed = false;
  if (!failed_ && writer_.Count() > 0) {
    std::string why;
    placed = writer_.Commit(why);
    if (!placed) std::fprintf(stderr, "structdb: %s\n", why.c_str());
  }
  long long skipped = 0;
  for (long long n : skipped_) skipped += n;
  std::string summary = std::to_string(read_) + " read, " +
                        std::to_string(placed ? writer_.Count() : 0) + " written, " +
                        std::to_string(skipped) + " skipped";
  std::string reasons;
  for (int i = 0; i < kReasons; ++i)
    if (skipped_[i])
      reasons +=
          (reasons.empty() ? "" : ", ") + std::to_string(skipped_[i]) + " " + kReasonNames[i];
  if (!reasons.empty()) summary += " (" + reasons + ")";
  if (fileProblems_)
    summary += ", " + std::to_string(fileProblems_) +
               (fileProblems_ == 1 ? " file not read whole" : " files not read whole");
  if (!placed) summary += "; no files replaced";
  std::fprintf(stderr, "structdb: %s\n", summary.c_str());
  if (!placed) return 2;
  std::printf("%lld structures written to %s\n", writer_.Count(), options_.out.c_str());
  return skipped || fileProblems_ ? 1 : 0;
}
