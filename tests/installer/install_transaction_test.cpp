// The install transaction on a sandbox PC, without windows: the placement rules, files in use,
// the shared-DLL counts of the system files, the commit, and the rollback with a fault injected at
// each kind of step.
#include "installer/install_transaction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "installer/uninstall_record.h"
#include "platform/file_tree.h"
#include "platform/path.h"
#include "platform/sandbox/sandbox_platform.h"
#include "platform/text.h"
#include "platform/text_file.h"
#include "tests/installer/installer_pc.h"
#include "tests/support/test_world.h"

namespace vl4::test {
namespace {

using platform::RootKey;
using platform::sandbox::Fault;

// A PC with an installation going into Apps\VL4, its system files into Windows\System32, and
// the user answering the file-in-use question from a script.
class TransactionPc {
 public:
  TestWorld world;
  const std::string dest = world.Path("Apps\\VL4");
  const std::string system = world.Path("Windows\\System32");

  const std::string system_list = dest + "\\UNINST\\vl4.sys";

  TransactionPc() {
    platform::ForceDirectories(files(), dest);
    platform::ForceDirectories(files(), system);
    world.registry().CreateKey(RootKey::kLocalMachine, kSharedDllsKey);  // every Windows has it
  }

  platform::Files& files() { return world.files(); }
  platform::SandboxPlatform& pc() { return *world.sandbox(); }

  // The transaction: VB6 is not installed, RESULTS.DAT and VL.INI are the user's. Each question
  // is noted and answered by `answer` (Next when there is none). It works on `through` when given.
  InstallTransaction Make(platform::Files* through = nullptr) {
    return InstallTransaction(through ? *through : files(), world.registry(),
                              {dest, system, {"RESULTS.DAT", "VL.INI"}, {"VB6"}},
                              [this](const std::string& path) {
                                asked.push_back(path);
                                return answer ? answer(asked.size()) : InUseAnswer::kNext;
                              });
  }
  // The same with its directories made.
  InstallTransaction Start(platform::Files* through = nullptr) {
    InstallTransaction t = Make(through);
    EXPECT_EQ(t.Begin({}, dest + "\\UNINST"), std::nullopt);
    return t;
  }

  std::optional<uint32_t> Count(const std::string& path) {
    return world.registry().ReadDword(RootKey::kLocalMachine, kSharedDllsKey, path);
  }
  std::optional<std::vector<std::string>> SystemList() {
    return platform::ReadTextFile(files(), system_list);
  }

  // A file with its time and attributes, its directories made; false when the PC refuses.
  bool Put(const std::string& path, const std::string& data, uint32_t time = kJan2025,
           uint32_t attributes = platform::kAttrArchive) {
    return platform::ForceDirectories(files(), ExtractFileDir(path)) &&
           WriteWholeFile(files(), path, data) && files().SetFileTime(path, time) &&
           files().SetAttributes(path, attributes);
  }
  // A member unpacked into the staging directory, as the zip reader writes it.
  bool Stage(const InstallTransaction& t, const DataMember& m) {
    return Put(t.StagingDir() + "\\" + m.path, m.data, m.dos_time, m.attributes);
  }
  std::optional<std::string> Read(const std::string& path) { return ReadWholeFile(files(), path); }

  std::vector<std::string> asked;
  std::function<InUseAnswer(size_t nth)> answer;
};

TEST(InstallTransaction, EachMemberGoesWhereItsRulesSay) {
  struct Case {
    const char* name;
    DataMember member;
    const char* existing;  // the file at the target before, or nothing
    uint32_t existing_time;
    PlaceOutcome outcome;
    const char* target;  // relative to the scratch folder
    const char* after;   // the target's contents afterwards, or nothing
  };
  const Case cases[] = {
      {"new",
       {"readme.txt", "new"},
       nullptr,
       0,
       PlaceOutcome::kPlaced,
       "Apps\\VL4\\readme.txt",
       "new"},
      {"replaces a read-only file",
       {"DELPHI7\\vl4.pas", "new"},
       "old",
       kJan2026,
       PlaceOutcome::kPlaced,
       "Apps\\VL4\\DELPHI7\\vl4.pas",
       "new"},
      // A member of an environment not chosen stays in the staging directory.
      {"excluded", {"VB6\\Lib\\x.dll", "x"}, nullptr, 0, PlaceOutcome::kExcluded, "", nullptr},
      {"preserved and there",
       {"results.dat", "shipped"},
       "the student's results",
       kJan2024,
       PlaceOutcome::kKept,
       "Apps\\VL4\\results.dat",
       "the student's results"},
      {"preserved, not there",
       {"RESULTS.DAT", "shipped"},
       nullptr,
       0,
       PlaceOutcome::kPlaced,
       "Apps\\VL4\\RESULTS.DAT",
       "shipped"},
      // A system file is replaced only by a later one, except the product's own libraries.
      {"system, new",
       {"SYSTEM\\other.dll", "new", kJan2025},
       nullptr,
       0,
       PlaceOutcome::kPlaced,
       "Windows\\System32\\other.dll",
       "new"},
      {"system, later",
       {"SYSTEM\\other.dll", "new", kJan2025},
       "old",
       kJan2024,
       PlaceOutcome::kPlaced,
       "Windows\\System32\\other.dll",
       "new"},
      {"system, as new",
       {"SYSTEM\\other.dll", "new", kJan2025},
       "old",
       kJan2025,
       PlaceOutcome::kKept,
       "Windows\\System32\\other.dll",
       "old"},
      {"system, the product's own",
       {"SYSTEM\\sub\\VL4TOOLS.DLL", "new", kJan2024},
       "old",
       kJan2026,
       PlaceOutcome::kPlaced,
       "Windows\\System32\\sub\\VL4TOOLS.DLL",
       "new"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TransactionPc pc;
    const std::string target = *c.target ? pc.world.Path(c.target) : "";
    if (c.existing) {
      ASSERT_TRUE(pc.Put(target, c.existing, c.existing_time, platform::kAttrReadOnly));
    }
    InstallTransaction t = pc.Start();
    ASSERT_TRUE(pc.Stage(t, c.member));
    const PlaceResult result = t.Place(c.member.path);
    EXPECT_EQ(result.outcome, c.outcome);
    EXPECT_EQ(result.target, target);
    EXPECT_EQ(result.in_system_dir, StartsText("SYSTEM\\", c.member.path));
    if (c.after) {
      EXPECT_EQ(pc.Read(target), c.after);
    }
    EXPECT_FALSE(pc.files().DirectoryExists(pc.dest + "\\VB6"));
    EXPECT_TRUE(pc.asked.empty());
  }
}

// A file of the system directory that is there after its placement is counted among the shared
// DLLs and listed in vl4.sys, the two always in step; whatever cannot be counted is not listed.
TEST(InstallTransaction, SystemFilesAreCountedAndListedTogether) {
  enum class Existing { kNone, kOlder, kSameDate, kLocked };
  enum class Trouble { kNone, kCountIsText, kNoRegistryRights, kListNotWritten, kListUnreadable };
  struct Case {
    const char* name;
    Existing existing;
    std::optional<uint32_t> count;  // before; nothing: no value
    std::vector<std::string> list;  // vl4.sys before (names in the system directory); {}: none
    Trouble trouble;
    PlaceOutcome outcome;
    std::optional<uint32_t> count_after;
    bool listed;  // vl4.sys names the file afterwards
  };
  const uint32_t kMax = 0xFFFFFFFF;
  const Case cases[] = {
      {"placed new", Existing::kNone, {}, {}, Trouble::kNone, PlaceOutcome::kPlaced, 1, true},
      // One count for the file's earlier owner, whom the installer does not know.
      {"replaced", Existing::kOlder, {}, {}, Trouble::kNone, PlaceOutcome::kPlaced, 2, true},
      {"replaced, counted by others",
       Existing::kOlder,
       3,
       {"earlier.dll"},
       Trouble::kNone,
       PlaceOutcome::kPlaced,
       4,
       true},
      {"kept as new", Existing::kSameDate, {}, {}, Trouble::kNone, PlaceOutcome::kKept, 2, true},
      {"in use, Next",
       Existing::kLocked,
       {},
       {},
       Trouble::kNone,
       PlaceOutcome::kNotUpdated,
       2,
       true},
      // A count of 0 counts nobody, for the uninstaller too.
      {"a count of 0", Existing::kOlder, 0, {}, Trouble::kNone, PlaceOutcome::kPlaced, 2, true},
      // An earlier installation into the same directory holds its count already.
      {"listed already",
       Existing::kOlder,
       1,
       {"OTHER.DLL"},
       Trouble::kNone,
       PlaceOutcome::kPlaced,
       1,
       true},
      {"a count at its largest",
       Existing::kOlder,
       kMax,
       {},
       Trouble::kNone,
       PlaceOutcome::kPlaced,
       kMax,
       false},
      // A value of another type is nobody's count this program could keep honest.
      {"a count that is text",
       Existing::kOlder,
       {},
       {},
       Trouble::kCountIsText,
       PlaceOutcome::kPlaced,
       std::nullopt,
       false},
      {"no rights to the registry",
       Existing::kNone,
       {},
       {},
       Trouble::kNoRegistryRights,
       PlaceOutcome::kPlaced,
       std::nullopt,
       false},
      {"the list cannot be written",
       Existing::kOlder,
       3,
       {"earlier.dll"},
       Trouble::kListNotWritten,
       PlaceOutcome::kPlaced,
       3,
       false},
      {"the list cannot be read",
       Existing::kNone,
       {},
       {"earlier.dll"},
       Trouble::kListUnreadable,
       PlaceOutcome::kPlaced,
       std::nullopt,
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TransactionPc pc;
    const std::string dll = pc.system + "\\other.dll";
    if (c.existing != Existing::kNone) {
      ASSERT_TRUE(pc.Put(dll, "old", c.existing == Existing::kSameDate ? kJan2025 : kJan2024));
    }
    if (c.existing == Existing::kLocked) {
      ASSERT_TRUE(pc.pc().LockFile(dll));
    }
    if (c.count) {
      pc.world.registry().WriteDword(RootKey::kLocalMachine, kSharedDllsKey, dll, *c.count);
    }
    if (c.trouble == Trouble::kCountIsText) {
      pc.world.registry().WriteString(RootKey::kLocalMachine, kSharedDllsKey, dll, "1");
    }
    std::vector<std::string> list;
    for (const std::string& name : c.list) list.push_back(pc.system + "\\" + name);
    if (!list.empty()) {
      ASSERT_TRUE(platform::ForceDirectories(pc.files(), ExtractFileDir(pc.system_list)));
      ASSERT_TRUE(platform::WriteTextFile(pc.files(), pc.system_list, list));
      // The installer clears the attribute, as it does for the log.
      pc.files().SetAttributes(pc.system_list, platform::kAttrReadOnly);
    }
    if (c.trouble == Trouble::kNoRegistryRights) {
      // A standard user whose administrator let the Users group change the system directory.
      ASSERT_TRUE(pc.files().AllowUsersToModify(pc.system));
      ASSERT_TRUE(pc.files().AllowUsersToModify(pc.dest));
      pc.pc().SetAdministrator(false);
    }
    std::vector<std::string> unreadable;
    if (c.trouble == Trouble::kListUnreadable) unreadable.push_back(pc.system_list);
    UnreadableFiles shielded(pc.files(), unreadable);
    InstallTransaction t = pc.Start(&shielded);
    ASSERT_TRUE(pc.Stage(t, {"SYSTEM\\other.dll", "new", kJan2025}));
    if (c.trouble == Trouble::kListNotWritten) pc.pc().FailNth(Fault::kWrite, 2);  // after the copy
    EXPECT_EQ(t.Place("SYSTEM\\other.dll").outcome, c.outcome);
    pc.pc().ClearFaults();
    pc.pc().UnlockFile(dll);
    t.Commit();

    if (c.trouble == Trouble::kCountIsText) {
      EXPECT_EQ(pc.world.registry().ReadString(RootKey::kLocalMachine, kSharedDllsKey, dll), "1");
    } else {
      EXPECT_EQ(pc.Count(dll), c.count_after);
    }
    std::vector<std::string> list_after = list;
    const bool listed_before = std::any_of(list.begin(), list.end(),
                                           [&](const std::string& p) { return SameText(p, dll); });
    if (c.listed && !listed_before) list_after.push_back(dll);
    if (list_after.empty()) {
      EXPECT_FALSE(pc.files().FileExists(pc.system_list));
    } else {
      EXPECT_EQ(pc.SystemList(), list_after);
    }
  }
}

// The question is for a file that some program holds: only then can closing programs help.
TEST(InstallTransaction, AFileIsAskedAboutOnlyWhileAProgramHoldsIt) {
  enum class Trouble {
    kLocked,      // a program holds it (its copy and its deletion fail)
    kNotDeleted,  // its deletion fails, once
    kNotCopied,   // its copy aside fails, once, as on a full disk; nobody holds it
  };
  struct Case {
    const char* name;
    Trouble trouble;
    bool released;  // the program ends while the first question is up
    std::vector<InUseAnswer> answers;
    PlaceOutcome outcome;
  };
  const Case cases[] = {
      {"locked, released, Repeat",
       Trouble::kLocked,
       true,
       {InUseAnswer::kRepeat},
       PlaceOutcome::kPlaced},
      {"locked, Repeat, Next",
       Trouble::kLocked,
       false,
       {InUseAnswer::kRepeat, InUseAnswer::kNext},
       PlaceOutcome::kNotUpdated},
      {"not deleted, Next",
       Trouble::kNotDeleted,
       false,
       {InUseAnswer::kNext},
       PlaceOutcome::kNotUpdated},
      {"not copied aside", Trouble::kNotCopied, false, {}, PlaceOutcome::kNotCopiedAside},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TransactionPc pc;
    const std::string demo = pc.dest + "\\VL4Demo.exe";
    ASSERT_TRUE(pc.Put(demo, "running demo", kJan2024, platform::kAttrReadOnly));
    if (c.trouble == Trouble::kLocked) {
      ASSERT_TRUE(pc.pc().LockFile(demo));
    }
    pc.answer = [&](size_t nth) {
      if (c.released) pc.pc().UnlockFile(demo);
      return c.answers.at(nth - 1);
    };
    InstallTransaction t = pc.Start();
    ASSERT_TRUE(pc.Stage(t, {"VL4Demo.exe", "demo"}));
    if (c.trouble == Trouble::kNotDeleted) pc.pc().FailNth(Fault::kDelete, 1);
    if (c.trouble == Trouble::kNotCopied) pc.pc().FailNth(Fault::kWrite, 1);
    EXPECT_EQ(t.Place("VL4Demo.exe").outcome, c.outcome);
    EXPECT_EQ(pc.asked, std::vector<std::string>(c.answers.size(), demo));
    if (c.outcome == PlaceOutcome::kPlaced) {
      EXPECT_EQ(pc.Read(demo), "demo");
    } else {
      // A file given up on is as it was, its attributes too, and no copy of it is left.
      EXPECT_EQ(pc.Read(demo), "running demo");
      EXPECT_EQ(pc.files().GetAttributes(demo), platform::kAttrReadOnly);
      EXPECT_TRUE(Snapshot(pc.files(), t.StagingDir() + "\\$VL4BAK").empty());
    }
  }
}

// The file in the way was deleted, but neither the new file nor the old one can be moved to its
// place: the old one is kept beside it (where the copy was made when even that fails), and the
// result says where. The commit leaves it there, whatever fails then; a rollback puts it back.
TEST(InstallTransaction, AReplacedFileThatCannotBePutBackIsKept) {
  struct Case {
    const char* name;
    bool copy_held;    // the copy of the old file cannot be moved either
    bool commit;       // else the run fails
    const char* kept;  // where the old file is, relative to the destination
  };
  const Case cases[] = {
      {"beside", false, true, "VL4Demo.exe.bak2"},
      {"where it was copied", true, true, "TEMP\\$VL4BAK\\1"},
      {"beside, rolled back", false, false, "VL4Demo.exe.bak2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TransactionPc pc;
    const std::string demo = pc.dest + "\\VL4Demo.exe";
    ASSERT_TRUE(pc.Put(demo, "old demo", kJan2024, platform::kAttrReadOnly));
    ASSERT_TRUE(pc.Put(demo + ".bak", "the user's own"));
    InstallTransaction t = pc.Start();
    ASSERT_TRUE(pc.Stage(t, {"VL4Demo.exe", "demo"}));
    const std::string staged = t.StagingDir() + "\\VL4Demo.exe";
    const std::string copy = t.StagingDir() + "\\$VL4BAK\\1";
    const std::string kept = pc.dest + "\\" + c.kept;
    // The first deletion fails; while the question is up, a program takes the new file (and the
    // copy of the old one), and the next move fails.
    pc.pc().FailNth(Fault::kDelete, 1);
    pc.answer = [&](size_t) {
      pc.pc().LockFile(staged);
      if (c.copy_held) pc.pc().LockFile(copy);
      pc.pc().FailNth(Fault::kMove, 1);
      return InUseAnswer::kRepeat;
    };
    const PlaceResult result = t.Place("VL4Demo.exe");
    EXPECT_EQ(result.outcome, PlaceOutcome::kNotUpdated);
    EXPECT_EQ(result.old_file, kept);
    EXPECT_FALSE(pc.files().FileExists(demo));
    EXPECT_EQ(pc.Read(kept), "old demo");
    pc.pc().UnlockFile(staged);
    pc.pc().UnlockFile(copy);
    pc.pc().FailNth(Fault::kMove, 1);  // should the commit move it, that fails too
    if (c.commit) {
      t.Commit();
      EXPECT_EQ(pc.Read(kept), "old demo");
      EXPECT_FALSE(pc.files().FileExists(demo));
    } else {
      pc.pc().ClearFaults();
      t.Rollback();
      EXPECT_EQ(pc.Read(demo), "old demo");
      EXPECT_EQ(pc.files().GetAttributes(demo), platform::kAttrReadOnly);
      EXPECT_FALSE(pc.files().FileExists(kept));
    }
    EXPECT_EQ(pc.Read(demo + ".bak"), "the user's own");
  }
}

// The staging directory never takes a folder that was there before: a drive root's TEMP, say.
TEST(InstallTransaction, CommitKeepsThePlacedFilesAndRemovesOnlyWhatItStaged) {
  TransactionPc pc;
  ASSERT_TRUE(pc.Put(pc.dest + "\\TEMP\\notes.txt", "the user's notes"));
  ASSERT_TRUE(pc.Put(pc.dest + "\\TEMP\\VL4INST", "a file of the user's"));
  ASSERT_TRUE(pc.Put(pc.dest + "\\readme.txt", "old readme", kJan2024, platform::kAttrReadOnly));
  const auto temp_before = Snapshot(pc.files(), pc.dest + "\\TEMP");
  InstallTransaction t = pc.Start();
  EXPECT_EQ(t.StagingDir(), pc.dest + "\\TEMP\\VL4INST2");
  for (const DataMember& m : {DataMember{"readme.txt", "new readme"}, DataMember{"VB6\\x", "x"}}) {
    ASSERT_TRUE(pc.Stage(t, m));
    t.Place(m.path);
  }
  t.Commit();
  EXPECT_EQ(pc.Read(pc.dest + "\\readme.txt"), "new readme");
  EXPECT_EQ(Snapshot(pc.files(), pc.dest + "\\TEMP"), temp_before);
  EXPECT_FALSE(pc.files().DirectoryExists(pc.dest + "\\VB6"));
}

// A fault at any write, move, delete or directory creation while the run begins, unpacks and
// places the members; then the run fails (a damaged second part): whatever the fault did, the
// rollback leaves everything as it was, the shared-DLL counts and the list of an earlier
// installation's system files too. Every question is answered Repeat.
TEST(InstallTransaction, RollbackHoldsWithAFaultAtEachStep) {
  const std::vector<DataMember> members = {
      {"readme.txt", "Read me"},
      {"VL4Demo.exe", "demo"},
      {"RESULTS.DAT", "shipped"},
      {"DELPHI7\\sub\\deep\\er\\still\\vl4.pas", "pas"},  // more levels than four passes remove
      {"LIB\\vl4.lib", "lib", kJan2025, platform::kAttrReadOnly},
      {"SYSTEM\\vl4.dll", "new vl4.dll"},
      {"SYSTEM\\vl4new.dll", "a library new to the PC"},
  };
  for (Fault kind : {Fault::kWrite, Fault::kMove, Fault::kDelete, Fault::kCreateDirectory}) {
    for (int k = 1; k <= 16; ++k) {
      SCOPED_TRACE("fault kind " + std::to_string(static_cast<int>(kind)) + " at " +
                   std::to_string(k));
      TransactionPc pc;
      // The destination as the user had it: files of an earlier version, a preserved file, and
      // a TEMP directory of their own.
      const std::string& d = pc.dest;
      ASSERT_TRUE(pc.Put(d + "\\readme.txt", "old readme"));
      ASSERT_TRUE(pc.Put(d + "\\VL4Demo.exe", "old demo", kJan2024, platform::kAttrReadOnly));
      ASSERT_TRUE(pc.Put(d + "\\results.dat", "the student's results"));
      ASSERT_TRUE(pc.Put(d + "\\SAMPLES\\a", "a sample of the student's"));
      ASSERT_TRUE(pc.Put(d + "\\TEMP\\notes.txt", "the user's notes"));
      ASSERT_TRUE(pc.Put(d + "\\TEMP\\readme.txt", "the user's readme"));
      ASSERT_TRUE(pc.Put(pc.system + "\\vl4.dll", "old vl4.dll"));
      // Other programs count vl4.dll; an earlier installation here lists a file of its own.
      pc.world.registry().WriteDword(RootKey::kLocalMachine, kSharedDllsKey,
                                     pc.system + "\\vl4.dll", 3);
      ASSERT_TRUE(pc.Put(pc.system_list, pc.system + "\\earlier.dll\r\n"));
      const auto before = Snapshot(pc.files(), pc.world.Scratch());
      const std::string registry_before = RegistryText(pc.pc());
      pc.answer = [](size_t nth) { return nth <= 3 ? InUseAnswer::kRepeat : InUseAnswer::kNext; };

      InstallTransaction t = pc.Make();
      pc.pc().FailNth(kind, k);
      // The run stops where the reader or the beginning would stop it.
      bool going = !t.Begin({}, d + "\\UNINST");
      for (const DataMember& m : members) {
        going = going && pc.Stage(t, m);
        if (going) t.Place(m.path);
      }
      pc.pc().ClearFaults();
      t.Rollback();
      EXPECT_EQ(Snapshot(pc.files(), pc.world.Scratch()), before);
      EXPECT_EQ(RegistryText(pc.pc()), registry_before);
    }
  }
}

}  // namespace
}  // namespace vl4::test
