#include "tools/vl4unzip/extraction.h"

#include <algorithm>

#include "platform/text.h"
#include "tools/vl4unzip/terminal.h"

namespace vl4::unzip_tool {

namespace {

using zip::TSkipReason;
using zip::TZipReader;

// Why the reader cannot extract the member (it fails it at once); empty when it can.
std::string Unextractable(const zip::TZipHeaderInfo& member) {
  if (member.CompressedSize < 0 || member.UncompressedSize < 0) return "too large (2 GiB or more)";
  const int method = member.CompressionMethod;
  if (method <= 6 || method == 8) return "";  // the methods the reader knows
  return Format("unsupported compression method %d", method) + (method == 99 ? " (AES)" : "");
}

// Ctrl-C ends the run wherever it comes: also while stored data is copied (the reader lets no
// messages in there) and at the questions. A member in progress then loses its file.
void StopIfInterrupted() {
  if (Interrupted()) throw zip::EUserCanceled("User Aborted Operation");
}

// What unzip says it does to a member.
std::string Verb(const zip::TZipHeaderInfo& member, bool testing) {
  if (member.Filename().empty()) return testing ? "testing" : "creating";
  if (testing) return "testing";
  switch (member.CompressionMethod) {
    case 1:
      return "unshrinking";
    case 2:
    case 3:
    case 4:
    case 5:
      return "unreducing";
    case 6:
      return "exploding";
    case 8:
      return "inflating";
  }
  return "extracting";
}

// The run seen from the terminal: the reader's events become member lines, questions and the
// progress bar; the outcome becomes the exit status.
class Session {
 public:
  Session(TZipReader& reader, const Options& options, Console& console)
      : reader_(reader),
        options_(options),
        console_(console),
        testing_(options.action == Options::Action::kTest) {}

  int Run();

 private:
  void Configure();
  void Report(int index, const std::string& name, const std::string& outcome,
              const char* verb = nullptr);
  std::string ShownName(int index, const std::string& path) const;
  void AskOverwrite(bool& overwrite, const std::string& path);
  void OfferPassword(int index, std::string& password);
  void AddPassword(const std::string& as_typed);

  TZipReader& reader_;
  const Options& options_;
  Console& console_;
  const bool testing_;

  int selected_ = 0;
  int64_t total_bytes_ = 0;
  int failed_ = 0;
  int current_ = -1;  // the member between OnStartUnZip and its outcome
  std::string current_path_;
  std::string note_;  // what a message box said about the current member
  enum class AllAnswer { kNone, kYes, kNo } all_answer_ = AllAnswer::kNone;
  std::vector<std::string> passwords_;  // to offer, in order
  int password_member_ = -1;
  size_t next_password_ = 0;
};

void Session::Configure() {
  reader_.SetTestOnly(testing_);
  reader_.SetRecreateDirs(true);
  reader_.SetDoAll(options_.masks.empty());
  reader_.SetFilesList(options_.masks);
  if (!testing_) reader_.SetDestDir(options_.dest_dir);
  reader_.SetOverwriteMode(
      options_.overwrite == Options::Overwrite::kAlways  ? zip::TUZOverwriteMode::Always
      : options_.overwrite == Options::Overwrite::kNever ? zip::TUZOverwriteMode::Never
                                                         : zip::TUZOverwriteMode::Prompt);
  if (options_.password) {
    AddPassword(*options_.password);
    reader_.SetPassword(passwords_.front());
  }

  zip::ZipReaderHost host;
  host.message_box = [this](const std::string& text, const std::string&, zip::ZipMsgKind,
                            zip::ZipMsgButtons buttons) {
    if (current_ >= 0) note_ = text;
    return buttons == zip::ZipMsgButtons::kOK ? zip::ZipMsgResult::kOK : zip::ZipMsgResult::kCancel;
  };
  host.process_messages = [this] {
    if (Interrupted()) reader_.SetCancel(true);
  };
  reader_.SetHost(host);

  reader_.OnStartUnZipInfo = [this](TZipReader&, int num_files, int64_t total_bytes, bool&) {
    selected_ = num_files;
    total_bytes_ = total_bytes;
  };
  reader_.OnStartUnZip = [this](TZipReader& r, int index, const std::string& fname, bool&) {
    StopIfInterrupted();
    if (r.Filename(index).empty()) {
      Report(index, fname, "OK");  // a directory entry: its directory is there
      return;
    }
    current_ = index;
    current_path_ = fname;
    note_.clear();
  };
  reader_.OnEndUnZip = [this](TZipReader&, int index, const std::string& fname) {
    Report(index, fname, "OK");
  };
  reader_.OnBadCRC = [this](TZipReader& r, int calc_crc, int stored_crc, int index) {
    ++failed_;
    std::string outcome = Unextractable(r.Member(index));
    if (outcome.empty()) outcome = note_;
    if (outcome.empty()) {
      outcome = Format("bad CRC %08x (should be %08x)", static_cast<unsigned>(calc_crc),
                       static_cast<unsigned>(stored_crc));
    }
    Report(index, current_path_, outcome);
  };
  reader_.OnSkippingFile = [this](TZipReader& r, TSkipReason reason, const std::string& fname,
                                  int index) {
    std::string outcome = "not overwritten";
    if (reason != TSkipReason::srNoOverwrite) {
      ++failed_;
      outcome = Unextractable(r.Member(index));
      if (outcome.empty()) outcome = "incorrect password";
    }
    Report(index, fname, outcome, "skipping");
  };
  reader_.OnPromptForOverwrite = [this](TZipReader&, bool& overwrite, int, std::string& fname) {
    AskOverwrite(overwrite, fname);
  };
  reader_.OnBadPassword = [this](TZipReader&, int index, std::string& new_password) {
    OfferPassword(index, new_password);
  };
  reader_.OnTotalPercentDone = [this](TZipReader&, int percent) {
    StopIfInterrupted();
    console_.Progress(percent, total_bytes_ * percent / 100, total_bytes_);
  };
}

// Paths as given to the events are Windows paths; a test run shows the stored names instead.
std::string Session::ShownName(int index, const std::string& path) const {
  if (testing_ || path.empty()) return console_.Show(reader_.FullName(index));
  return console_.Show(path);
}

void Session::Report(int index, const std::string& name, const std::string& outcome,
                     const char* verb_given) {
  if (!options_.quiet || outcome != "OK") {
    const std::string verb = verb_given ? verb_given : Verb(reader_.Member(index), testing_);
    console_.Line(
        Format("%11s: %s  %s", verb.c_str(), ShownName(index, name).c_str(), outcome.c_str()));
  }
  current_ = -1;
  current_path_.clear();
}

void Session::AskOverwrite(bool& overwrite, const std::string& path) {
  if (all_answer_ != AllAnswer::kNone) {
    overwrite = all_answer_ == AllAnswer::kYes;
    return;
  }
  for (;;) {
    console_.Prompt("replace " + console_.Show(path) + "? [y]es, [n]o, [A]ll, [N]one: ");
    const std::optional<std::string> answer = ReadLine();
    StopIfInterrupted();
    if (answer && !StdinIsTerminal())
      console_.Line(*answer);  // the answer as the terminal shows it
    if (!answer) {
      console_.Line("(end of input: taken as [N]one)");
      all_answer_ = AllAnswer::kNo;
      return;
    }
    const std::string a = Trim(*answer);
    if (a == "y" || a == "Y") {
      overwrite = true;
      return;
    }
    if (a == "n") return;
    if (a == "A") {
      all_answer_ = AllAnswer::kYes;
      overwrite = true;
      return;
    }
    if (a == "N") {
      all_answer_ = AllAnswer::kNo;
      return;
    }
  }
}

// A password typed (or given with -P) is tried as the program's ANSI text and, where that differs,
// as the bytes typed: tools on other systems encrypt with the bytes of their own text.
void Session::AddPassword(const std::string& as_typed) {
  passwords_.clear();
  passwords_.push_back(console_.FromHost(as_typed));
  if (as_typed != passwords_.front()) passwords_.push_back(as_typed);
}

// OnBadPassword: the next password not yet tried on this member; then, without -P and on a
// terminal, one typed by the user. Handing back the same password gives the member up.
void Session::OfferPassword(int index, std::string& password) {
  if (index != password_member_) {
    password_member_ = index;
    next_password_ = 0;
  }
  while (next_password_ < passwords_.size()) {
    const std::string& candidate = passwords_[next_password_++];
    if (candidate != password) {
      password = candidate;
      return;
    }
  }
  if (options_.password || !StdinIsTerminal()) return;
  const std::optional<std::string> typed = ReadHidden(Printable(
      "[" + options_.archive + "] " + console_.Show(reader_.FullName(index)) + " password: "));
  StopIfInterrupted();
  if (!typed || typed->empty()) return;
  AddPassword(*typed);
  next_password_ = 0;
  OfferPassword(index, password);
}

int Session::Run() {
  Configure();
  try {
    reader_.UnZip();
    StopIfInterrupted();  // a Ctrl-C that came after the last check still ends the run
  } catch (const Exception& e) {
    // The member in progress, if any, gets its line (its file is gone); the run ends here.
    console_.EndProgress();
    if (current_ >= 0) {
      Report(current_, current_path_, "error: " + e.Message());
    } else {
      console_.Error("vl4unzip: " + e.Message());
    }
    if (dynamic_cast<const zip::EUserCanceled*>(&e) && Interrupted()) return kExitInterrupted;
    return kExitRunFailed;
  }
  console_.EndProgress();
  if (selected_ == 0 && !options_.masks.empty()) {
    console_.Error("vl4unzip: no member matches the names given");
    return kExitNothingMatched;
  }
  if (testing_) {
    console_.Line(failed_ == 0
                      ? "No errors detected in compressed data of " + options_.archive + "."
                      : Format("%d member%s of ", failed_, failed_ == 1 ? "" : "s") +
                            options_.archive + " failed the test.");
  } else if (failed_ > 0) {
    console_.Error(Format("vl4unzip: %d member%s not extracted", failed_, failed_ == 1 ? "" : "s"));
  }
  return failed_ == 0 ? kExitOk : kExitMembersFailed;
}

}  // namespace

int ExtractArchive(TZipReader& reader, const Options& options, Console& console) {
  return Session(reader, options, console).Run();
}

}  // namespace vl4::unzip_tool
