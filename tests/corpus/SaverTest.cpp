#include "corpus/Saver.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <sys/wait.h>
#include <unistd.h>

#include "corpus/SutraRecord.h"
#include "tests/RealCorpus.h"
#include "tests/corpus/CorpusBuilder.h"
#include "tests/corpus/TestSupport.h"

namespace vyk {
namespace {

using test::CorpusFileBuilder;
using test::MemoryLoaderHost;
using test::RecordBuilder;
using test::ScriptedSaverHost;

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out += static_cast<char>(v);
  return out;
}

// A loaded corpus in a temporary data folder, ready to be saved.
class SaverTest : public ::testing::Test {
protected:
  void LoadFile(const std::string& bytes) {
    ASSERT_TRUE(test::LoadBytes(state, loader, dir, bytes));
    original = bytes;
  }
  void LoadTexts(const std::vector<std::string>& texts) {
    CorpusFileBuilder file;
    for (const auto& text : texts) file.Record(text);
    LoadFile(file.Bytes());
  }
  // A fresh host and a loaded corpus whose record 1 is edited.
  void LoadAndEdit(const std::vector<std::string>& texts) {
    host = ScriptedSaverHost();
    LoadTexts(texts);
    StoreEdit(state, 1, "edited");
  }
  // Another program's file put at the data file's name, as by a rename.
  void PutAtTheName(const std::string& bytes) {
    test::WriteBytes(dir.File("new.vyk"), bytes);
    std::filesystem::rename(dir.File("new.vyk"), dir.File("sutra.vyk"));
  }
  SaveOutcome Save(const SaveOptions& options = {}) { return SaveSutraFile(state, host, options); }
  std::string OnDisk() const { return test::ReadBytes(dir.File("sutra.vyk")); }
  bool TempLeft() const { return test::Exists(dir.File("sutra.tmp")); }

  // Saves with a write fault at operation 0, 1, 2, ... until a save gets
  // through; `check` looks at the folder after each one that failed.
  // Returns how many failed.
  int SaveThroughFaults(const std::function<void()>& check) {
    for (int failAt = 0; failAt < 1000; ++failAt) {
      host = ScriptedSaverHost();
      SaveOptions options;
      options.faultHook = [failAt](int operation) { return operation == failAt ? ENOSPC : 0; };
      const SaveOutcome outcome = Save(options);
      if (outcome == SaveOutcome::Saved) return failAt;
      EXPECT_EQ(outcome, SaveOutcome::Failed) << failAt;
      check();
    }
    ADD_FAILURE() << "no save got through";
    return -1;
  }

  // The texts a fresh load of sutra.vyk yields, by record number.
  std::vector<std::string> Reloaded() {
    CorpusState fresh;
    MemoryLoaderHost lists;
    test::PrepareState(fresh, dir.path());
    EXPECT_TRUE(LoadSutraFile(fresh, lists));
    std::vector<std::string> texts;
    for (int k = 1; k <= fresh.gRecordCount; ++k) texts.push_back(ReadRecordText(fresh, k).value_or("<unreadable>"));
    return texts;
  }

  test::TempDir dir;
  CorpusState state;
  MemoryLoaderHost loader;
  ScriptedSaverHost host;
  std::string original;
};

// ---- the file written ----

TEST_F(SaverTest, NoEditSaveRewritesTheFileWholeAndDropsWhatNoRecordUses) {
  const std::string a = RecordBuilder().Label("a").Sutra("first").Numbers(5, 0).Text();
  const std::string b = RecordBuilder().Label("b").Sutra("second").WithoutTrailingZeros().Text();
  CorpusFileBuilder file;
  file.HeaderByte(7, 'x').HeaderByte(8, 0x07).HeaderByte(13, 'y');
  file.Unreferenced("junk").Record(a).RawEntry(15, 2, 2).Unreferenced("more junk").Record(b);
  LoadFile(file.Bytes());

  ASSERT_EQ(Save(), SaveOutcome::Saved);
  const std::string saved = OnDisk();
  std::string expected = BuildHeader(0x01, 0x07) + a + b;
  const int32_t indexStart = static_cast<int32_t>(expected.size()) + 1;
  expected.replace(9, 3, *EncodeOffset(indexStart));
  expected += *FormatIndexEntry(15, static_cast<int32_t>(a.size()));
  expected += *FormatIndexEntry(15 + static_cast<int32_t>(a.size()), static_cast<int32_t>(b.size()));
  EXPECT_EQ(saved, expected);
  EXPECT_FALSE(TempLeft());
}

TEST_F(SaverTest, TenByteRecordGivesTheListedBytes) {
  LoadTexts({"0123456789"});
  ASSERT_EQ(Save(), SaveOutcome::Saved);
  const std::string saved = OnDisk();
  ASSERT_EQ(saved.size(), 30u);
  EXPECT_EQ(saved.substr(0, 14), std::string("QMVYK\x01\x00\x1B \x19\x00\x00  ", 14));
  EXPECT_EQ(saved.substr(14, 10), "0123456789");
  EXPECT_EQ(saved.substr(24), Bytes({0x0F, 0x00, 0x00, 0x0A, 0x00, 0x01}));
}

TEST_F(SaverTest, EmptyCorpusGivesFourteenBytes) {
  LoadTexts({});
  ASSERT_EQ(Save(), SaveOutcome::Saved);
  EXPECT_EQ(OnDisk(), std::string("QMVYK\x01\x00\x1B \x0F\x00\x00  ", 14));
}

TEST_F(SaverTest, TextOf255BytesGetsLengthFF00) {
  LoadTexts({std::string(255, 'x')});
  ASSERT_EQ(Save(), SaveOutcome::Saved);
  EXPECT_EQ(OnDisk().substr(14 + 255), Bytes({0x0F, 0x00, 0x00, 0xFF, 0x00, 0x01}));
}

TEST_F(SaverTest, EditedRecordsComeFromTheCacheAndGapsCloseUp) {
  LoadFile(CorpusFileBuilder()
               .Record(RecordBuilder().Label("a").Text())
               .RawEntry(0, 0, 1)
               .Record(RecordBuilder().Label("c").Text())
               .Bytes());
  const std::string edited = RecordBuilder().Label("C").Sutra("new").Numbers(1, 2).Text();
  StoreEdit(state, 3, edited);
  state.gDataModified = true;
  ASSERT_EQ(Save(), SaveOutcome::Saved);
  EXPECT_EQ(Reloaded(), (std::vector<std::string>{RecordBuilder().Label("a").Text(), edited}));
  EXPECT_FALSE(state.gDataModified);
  EXPECT_TRUE(state.gSaveIndex[2].empty());
  EXPECT_EQ(state.gSaveIndex[3].size(), 6u);
}

TEST_F(SaverTest, EmptyTextIsPassedOnAsAnEntryOfLengthZero) {
  LoadTexts({"", "x"});
  ASSERT_EQ(Save(), SaveOutcome::Saved);
  EXPECT_EQ(Reloaded(), (std::vector<std::string>{"", "x"}));
}

TEST_F(SaverTest, PendingTypingIsCommittedBeforeAnythingIsWritten) {
  LoadTexts({RecordBuilder().Label("a").Text()});
  const std::string typed = RecordBuilder().Label("a").Sutra("typed").Text();
  host.onCommit = [&] {
    EXPECT_FALSE(TempLeft()) << "the commit comes before the temporary file";
    state.gDataModified = true;
    StoreEdit(state, 1, typed);
  };
  ASSERT_EQ(Save(), SaveOutcome::Saved);
  EXPECT_EQ(host.commits, 1);
  EXPECT_EQ(Reloaded(), (std::vector<std::string>{typed}));
}

TEST_F(SaverTest, CompletedSaveReportsClosesTheOldFileAndClearsTheFlags) {
  LoadTexts({"x"});
  state.gDataModified = true;
  bool savingSeen = false;
  host.onEvents = [&](int) { savingSeen = savingSeen || state.gSaving; };
  ASSERT_EQ(Save(), SaveOutcome::Saved);
  EXPECT_TRUE(savingSeen);
  EXPECT_FALSE(state.gSaving);
  EXPECT_FALSE(state.gDataModified);
  EXPECT_FALSE(state.gDataFileNo.IsOpen());
  EXPECT_EQ(host.completed, 1);
  EXPECT_EQ(host.terminated, 0);
  EXPECT_TRUE(host.errors.empty());
  EXPECT_EQ(host.hourglass, (std::vector<bool>{true, false}));
}

TEST_F(SaverTest, IndexHoldsOnlyTheRecordsOfThisSave) {
  LoadTexts({"a", "b", "c"});
  ASSERT_EQ(Save(), SaveOutcome::Saved);
  EXPECT_FALSE(state.gSaveIndex[3].empty());
  LoadTexts({"a"});
  ASSERT_EQ(Save(), SaveOutcome::Saved);
  EXPECT_TRUE(state.gSaveIndex[2].empty());
  EXPECT_TRUE(state.gSaveIndex[3].empty());
  EXPECT_EQ(OnDisk().size(), 14u + 1 + 6);
}

// ---- terminate ----

TEST_F(SaverTest, TerminateAnsweredNoLetsTheSaveComplete) {
  LoadTexts({"a", "b", "c"});
  host.onEvents = [&](int n) { state.gTerminateSave = (n == 1); };
  host.terminateAnswer = false;
  ASSERT_EQ(Save(), SaveOutcome::Saved);
  ASSERT_EQ(host.questions.size(), 1u) << "the question comes again only after a new press";
  EXPECT_EQ(host.questions[0], "Terminate Saving the File: " + state.gDataFile);
  EXPECT_EQ(Reloaded(), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(SaverTest, TerminateAnsweredYesChangesNothing) {
  LoadTexts({"a", "b", "c"});
  StoreEdit(state, 2, "edited");
  state.gDataModified = true;
  host.onEvents = [&](int n) { state.gTerminateSave = (n == 2); };
  host.terminateAnswer = true;
  ASSERT_EQ(Save(), SaveOutcome::Terminated);
  EXPECT_EQ(OnDisk(), original);
  EXPECT_FALSE(TempLeft());
  EXPECT_EQ(host.terminated, 1);
  EXPECT_EQ(host.completed, 0);
  EXPECT_TRUE(state.gDataModified);
  EXPECT_EQ(state.gEditedText[2], "edited");
  EXPECT_TRUE(state.gDataFileNo.IsOpen());
  EXPECT_EQ(ReadRecordText(state, 3), "c");
  EXPECT_FALSE(state.gSaving);
}

TEST_F(SaverTest, LeftOverTerminateRequestDoesNotStopTheNextSave) {
  LoadTexts({"a"});
  state.gTerminateSave = true;
  host.terminateAnswer = true;
  ASSERT_EQ(Save(), SaveOutcome::Saved);
  EXPECT_TRUE(host.questions.empty());
}

TEST_F(SaverTest, SecondSaveWhileSavingIsRefused) {
  LoadTexts({"a", "b"});
  std::vector<SaveOutcome> nested;
  ScriptedSaverHost inner;
  host.onEvents = [&](int) { nested.push_back(SaveSutraFile(state, inner)); };
  ASSERT_EQ(Save(), SaveOutcome::Saved);
  ASSERT_FALSE(nested.empty());
  for (auto outcome : nested) EXPECT_EQ(outcome, SaveOutcome::Refused);
  EXPECT_TRUE(inner.hourglass.empty()) << "a refused nested save does nothing at all";
}

// ---- corpora beyond the format are refused before anything is written ----

TEST_F(SaverTest, RecordLongerThanTheFormatIsRefusedByNumber) {
  LoadTexts({"a", "b"});
  StoreEdit(state, 2, std::string(32768, 'x'));
  state.gDataModified = true;
  ASSERT_EQ(Save(), SaveOutcome::Refused);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_NE(host.errors[0].find("record 2 is 32,768 bytes"), std::string::npos) << host.errors[0];
  EXPECT_NE(host.errors[0].find(state.gDataFile), std::string::npos);
  EXPECT_EQ(OnDisk(), original);
  EXPECT_FALSE(TempLeft());
  EXPECT_TRUE(state.gDataModified);
  EXPECT_EQ(host.completed, 0);
}

TEST_F(SaverTest, RecordOf32767BytesIsStillSaved) {
  LoadTexts({std::string(32767, 'x')});
  ASSERT_EQ(Save(), SaveOutcome::Saved);
  EXPECT_EQ(Reloaded()[0].size(), 32767u);
}

TEST_F(SaverTest, TextsPastTheLastAddressablePositionAreRefused) {
  LoadTexts({});
  // 256 records of 32,700 bytes end past 8,355,839; the check needs no reads.
  for (int k = 1; k <= 256; ++k) PlaceRecord(state, k, 15, 32700);
  ASSERT_EQ(Save(), SaveOutcome::Refused);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_NE(host.errors[0].find("8,355,839"), std::string::npos) << host.errors[0];
  EXPECT_EQ(OnDisk(), original);
  EXPECT_FALSE(TempLeft());
  // 255 records of 32,767 bytes and one of 240 end at byte 8,355,839; the index cannot start.
  for (int k = 1; k <= 256; ++k) PlaceRecord(state, k, 15, k < 256 ? 32767 : 240);
  ASSERT_EQ(Save(), SaveOutcome::Refused);
  EXPECT_NE(host.errors[1].find("the index would start at byte 8,355,840, beyond the last position 8,355,839"),
            std::string::npos) << host.errors[1];
}

TEST_F(SaverTest, CorpusThatLostRecordsAtLoadIsRefused) {
  CorpusFileBuilder file;
  for (int i = 0; i < MaxSutras + 1; ++i) file.Record("r");
  LoadFile(file.Bytes());
  ASSERT_EQ(state.gExcessRecords, 1);
  ASSERT_EQ(Save(), SaveOutcome::Refused);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_NE(host.errors[0].find("4,500"), std::string::npos) << host.errors[0];
  EXPECT_EQ(OnDisk(), original);
}

// ---- failures: reported, nothing lost ----

void ExpectNothingLost(const SaverTest& test, const CorpusState& state, const ScriptedSaverHost& host,
                       const std::string& original, const std::string& onDisk, bool tempLeft) {
  (void)test;
  EXPECT_EQ(onDisk, original);
  EXPECT_FALSE(tempLeft);
  EXPECT_TRUE(state.gDataModified);
  EXPECT_EQ(host.completed, 0);
  EXPECT_FALSE(state.gSaving);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_NE(host.errors[0].find(state.gDataFile), std::string::npos) << host.errors[0];
}

TEST_F(SaverTest, UnreadableRecordFailsTheSaveAndKeepsEverything) {
  LoadTexts({"a", "b"});
  StoreEdit(state, 1, "edited");
  state.gDataModified = true;
  state.gDataFileNo.Close();  // as after a reload that rejected the file
  ASSERT_EQ(Save(), SaveOutcome::Failed);
  ExpectNothingLost(*this, state, host, original, OnDisk(), TempLeft());
  EXPECT_NE(host.errors[0].find("record 2"), std::string::npos) << host.errors[0];
  EXPECT_EQ(state.gEditedText[1], "edited");
}

TEST_F(SaverTest, MissingDataFolderFailsWithTheCause) {
  LoadTexts({"a"});
  state.gDataModified = true;
  state.gDataDir = dir.File("gone");
  state.gDataFile = state.gDataDir + "/sutra.vyk";
  ASSERT_EQ(Save(), SaveOutcome::Failed);
  ExpectNothingLost(*this, state, host, original, OnDisk(), TempLeft());
  EXPECT_NE(host.errors[0].find("No such file or directory"), std::string::npos) << host.errors[0];
}

TEST_F(SaverTest, FailureAtEveryFileOperationLeavesTheOldCorpus) {
  const std::vector<std::string> texts = test::GenerateCorpusTexts(40, 2000);  // several buffer flushes
  LoadTexts(texts);
  const std::vector<std::string> oldTexts = Reloaded();
  StoreEdit(state, 5, RecordBuilder().Label("new").Text());
  state.gDataModified = true;

  const int failures = SaveThroughFaults([&] {
    ExpectNothingLost(*this, state, host, original, OnDisk(), TempLeft());
    EXPECT_NE(host.errors[0].find("No space left on device"), std::string::npos) << host.errors[0];
    EXPECT_EQ(Reloaded(), oldTexts);
  });
  EXPECT_GE(failures, 5) << "writes, the header patch, the sync and the rename can each fail";
  std::vector<std::string> newTexts = oldTexts;
  newTexts[4] = RecordBuilder().Label("new").Text();
  EXPECT_EQ(Reloaded(), newTexts);
}

// A save killed just before any one of its steps, on the road by rename and
// on the road in place (the data file has a second name, or is a link to a
// file elsewhere that has one): a fresh start then loads the old corpus
// whole or the new one, or refuses the data file naming sutra.tmp, which
// holds the whole new corpus and which no save then removes.
TEST_F(SaverTest, SaveKilledBeforeAnyStepLeavesAWholeCorpusOrNamesIt) {
  const std::vector<std::string> oldTexts = test::GenerateCorpusTexts(16, 2000);  // a few blocks of a write
  std::vector<std::string> newTexts = oldTexts;
  for (std::size_t i = 0; i < newTexts.size(); i += 3) newTexts[i] = RecordBuilder().Label("edited").Sutra(std::to_string(i)).Text();
  CorpusFileBuilder oldFile, newFile;
  for (std::size_t i = 0; i < oldTexts.size(); ++i) oldFile.Record(oldTexts[i]), newFile.Record(newTexts[i]);
  const std::string newBytes = newFile.Bytes();
  const std::string refusal = std::string(UnknownFileFormatText) + "\rA save that was cut off left a whole corpus in " +
                              dir.File("sutra.tmp") + ": copy it over " + dir.File("sutra.vyk") + " to load it.";
  constexpr int Killed = 9;
  enum Road { ByRename, InPlace, InPlaceThroughALink };
  test::TempDir elsewhere;

  for (Road road : {ByRename, InPlace, InPlaceThroughALink}) {
    int sawOld = 0, sawNew = 0, sawRefused = 0;
    for (int killAt = 0;; ++killAt) {
      // A sutra.tmp the last kill left stays: the next save removes it.
      for (const char* name : {"sutra.vyk", "sutra.vyk.second"}) std::filesystem::remove(dir.File(name));
      for (const std::string& name : test::Names(elsewhere.path())) std::filesystem::remove(elsewhere.File(name));
      if (road == InPlaceThroughALink) {
        ASSERT_EQ(::symlink(elsewhere.File("corpus.vyk").c_str(), dir.File("sutra.vyk").c_str()), 0);
      }
      LoadFile(oldFile.Bytes());  // another copy of the program, running on
      if (road != ByRename) {
        const std::string file = road == InPlace ? dir.File("sutra.vyk") : elsewhere.File("corpus.vyk");
        ASSERT_EQ(::link(file.c_str(), (file + ".second").c_str()), 0);
      }
      const pid_t child = ::fork();
      if (child == 0) {
        CorpusState saving;
        MemoryLoaderHost lists;
        test::PrepareState(saving, dir.path());
        if (!LoadSutraFile(saving, lists)) ::_exit(2);
        for (std::size_t i = 0; i < newTexts.size(); i += 3) StoreEdit(saving, static_cast<int>(i) + 1, newTexts[i]);
        ScriptedSaverHost savingHost;
        SaveOptions options;
        options.faultHook = [killAt](int operation) {
          if (operation == killAt) ::_exit(Killed);
          return 0;
        };
        ::_exit(SaveSutraFile(saving, savingHost, options) == SaveOutcome::Saved ? 0 : 3);
      }
      int status = 0;
      ASSERT_EQ(::waitpid(child, &status, 0), child);
      ASSERT_TRUE(WIFEXITED(status) && (WEXITSTATUS(status) == 0 || WEXITSTATUS(status) == Killed)) << killAt;

      CorpusState fresh;
      MemoryLoaderHost lists;
      test::PrepareState(fresh, dir.path());
      if (LoadSutraFile(fresh, lists)) {
        std::vector<std::string> texts;
        for (int k = 1; k <= fresh.gRecordCount; ++k) texts.push_back(ReadRecordText(fresh, k).value_or(""));
        ASSERT_TRUE(texts == oldTexts || texts == newTexts) << road << " " << killAt;
        (texts == oldTexts ? sawOld : sawNew)++;
      } else {
        ++sawRefused;
        EXPECT_EQ(lists.unknownFormatText, refusal) << killAt;
        EXPECT_TRUE(test::ReadBytes(dir.File("sutra.tmp")) == newBytes) << killAt;
        // The copy that ran on sees its reload refused, and saves.
        EXPECT_FALSE(LoadSutraFile(state, loader));
        StoreEdit(state, 2, "edited");
        EXPECT_EQ(Save(), SaveOutcome::Refused) << killAt;
        EXPECT_NE(host.errors.back().find(dir.File("sutra.tmp") + " holds a whole corpus"), std::string::npos);
        EXPECT_TRUE(test::ReadBytes(dir.File("sutra.tmp")) == newBytes) << killAt;
      }
      if (WEXITSTATUS(status) == 0) break;
    }
    EXPECT_GT(sawOld, 0) << road;
    EXPECT_GT(sawNew, 0) << road;
    EXPECT_EQ(sawRefused > 0, road != ByRename);
    EXPECT_FALSE(TempLeft()) << road;
  }
}

// ---- only the data file loaded is replaced, and only files this save made ----

TEST_F(SaverTest, LeftOverTemporaryLinkIsRemovedNotWrittenThrough) {
  LoadTexts({"a"});
  StoreEdit(state, 1, "edited");
  const std::string victim = dir.Write("victim", "not the corpus");
  ASSERT_EQ(::symlink(victim.c_str(), dir.File("sutra.tmp").c_str()), 0);
  ASSERT_EQ(Save(), SaveOutcome::Saved);
  EXPECT_EQ(test::ReadBytes(victim), "not the corpus");
  EXPECT_EQ(Reloaded(), (std::vector<std::string>{"edited"}));
}

TEST_F(SaverTest, LinkedDataFileIsReplacedAtItsTargetAndStaysALink) {
  LoadTexts({"a"});
  test::TempDir elsewhere;
  const std::string target = elsewhere.File("corpus.vyk");
  ASSERT_EQ(::rename(dir.File("sutra.vyk").c_str(), target.c_str()), 0);
  ASSERT_EQ(::symlink(target.c_str(), dir.File("sutra.vyk").c_str()), 0);
  StoreEdit(state, 1, "edited");
  ASSERT_EQ(Save(), SaveOutcome::Saved);
  EXPECT_EQ(std::filesystem::read_symlink(dir.File("sutra.vyk")), target);
  EXPECT_EQ(Reloaded(), (std::vector<std::string>{"edited"}));
  EXPECT_FALSE(TempLeft() || test::Exists(elsewhere.File("sutra.tmp")));
}

// A folder read from the settings up to a NUL and past it once named the
// data file itself as the temporary file.
TEST_F(SaverTest, PathHoldingANulIsRefusedAndTheCorpusStays) {
  using namespace std::string_literals;
  LoadTexts({"a"});
  StoreEdit(state, 1, "edited");
  state.gDataModified = true;
  state.gDataDir = dir.File("sutra.vyk") + "\0x"s;
  state.gDataFile = state.gDataDir + "/sutra.vyk";
  for (int failAt : {-1, 0, 1, 2, 3}) {
    host = ScriptedSaverHost();
    SaveOptions options;
    options.faultHook = [failAt](int operation) { return operation == failAt ? ENOSPC : 0; };
    EXPECT_EQ(Save(options), SaveOutcome::Refused) << failAt;
    EXPECT_EQ(OnDisk(), original) << failAt;
  }
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_NE(host.errors[0].find("NUL"), std::string::npos) << host.errors[0];
  EXPECT_EQ(test::Names(dir.path()), (std::vector<std::string>{"sutra.vyk"}));
}

// sutra.vyk a link to a file named sutra.tmp, in another folder or in the
// data folder itself: that file is the corpus, never a leftover.
TEST_F(SaverTest, LinkedDataFileNamedSutraTmpIsNeverTakenForTheTemporaryFile) {
  test::TempDir store;
  for (const std::string& target : {store.File("sutra.tmp"), dir.File("sutra.tmp")}) {
    std::filesystem::remove(dir.File("sutra.vyk"));
    std::filesystem::remove(target);
    ASSERT_EQ(::symlink(target.c_str(), dir.File("sutra.vyk").c_str()), 0);
    LoadTexts({"a"});
    const std::vector<std::string> names = test::Names(std::filesystem::path(target).parent_path().string());
    StoreEdit(state, 1, "edited");
    state.gDataModified = true;
    SaveThroughFaults([&] {
      EXPECT_EQ(test::ReadBytes(target), original) << target;
      EXPECT_EQ(test::Names(std::filesystem::path(target).parent_path().string()), names) << target;
    });
    EXPECT_EQ(Reloaded(), (std::vector<std::string>{"edited"})) << target;
    EXPECT_EQ(std::filesystem::read_symlink(dir.File("sutra.vyk")), target);
    EXPECT_EQ(test::Names(std::filesystem::path(target).parent_path().string()), names) << target;
  }
}

TEST_F(SaverTest, UsersSutraTmpBesideALinksTargetIsKept) {
  test::TempDir elsewhere;
  const std::string notes = elsewhere.Write("sutra.tmp", "my own notes");
  ASSERT_EQ(::symlink(elsewhere.File("real.vyk").c_str(), dir.File("sutra.vyk").c_str()), 0);
  LoadTexts({"a"});
  StoreEdit(state, 1, "edited");
  state.gDataModified = true;
  const std::vector<std::string> names{"real.vyk", "sutra.tmp"};
  SaveThroughFaults([&] {
    EXPECT_EQ(test::ReadBytes(notes), "my own notes");
    EXPECT_EQ(test::Names(elsewhere.path()), names);
  });
  EXPECT_EQ(test::ReadBytes(notes), "my own notes");
  EXPECT_EQ(test::Names(elsewhere.path()), names);
  EXPECT_EQ(Reloaded(), (std::vector<std::string>{"edited"}));
}

// ---- another program at work on the data file ----

// Removed or moved away, before the save or while it runs: the loaded bytes
// live on behind the held descriptor, and the file is written anew.
TEST_F(SaverTest, DataFileGoneFromItsNameIsWrittenAnewWithTheEdits) {
  const std::string moved = dir.File("sutra.vyk.sync");
  for (int round = 0; round < 4; ++round) {
    LoadAndEdit({"a", "b"});
    auto remove = [&] {
      if (round % 2 == 0) std::filesystem::remove(dir.File("sutra.vyk"));
      else std::filesystem::rename(dir.File("sutra.vyk"), moved);
    };
    if (round < 2) remove();
    else host.onEvents = [&](int n) { if (n == 1) remove(); };
    ASSERT_EQ(Save(), SaveOutcome::Saved) << round;
    EXPECT_EQ(Reloaded(), (std::vector<std::string>{"edited", "b"})) << round;
  }
  EXPECT_EQ(test::ReadBytes(moved), original);
  // A link whose file went: the file is written anew where it points.
  LoadAndEdit({"a"});
  std::filesystem::rename(dir.File("sutra.vyk"), dir.File("corpus.vyk"));
  ASSERT_EQ(::symlink("corpus.vyk", dir.File("sutra.vyk").c_str()), 0);
  std::filesystem::remove(dir.File("corpus.vyk"));
  ASSERT_EQ(Save(), SaveOutcome::Saved);
  EXPECT_EQ(Reloaded(), (std::vector<std::string>{"edited"}));
  EXPECT_EQ(std::filesystem::read_symlink(dir.File("sutra.vyk")), "corpus.vyk");
  // A failure says no word of a file that is not there.
  std::filesystem::remove(dir.File("sutra.vyk"));
  LoadAndEdit({"a"});
  std::filesystem::remove(dir.File("sutra.vyk"));
  ASSERT_EQ(Save({[](int) { return ENOSPC; }}), SaveOutcome::Failed);
  EXPECT_NE(host.errors[0].find("No file was written; the edits are kept"), std::string::npos) << host.errors[0];
}

// A new file put at the name is replaced only on the user's word; a file
// rewritten in place cannot be saved from, and the message says so.
TEST_F(SaverTest, AnotherProgramsFileAtTheNameIsReplacedOnlyWhenTheUserSaysYes) {
  const std::string theirs = CorpusFileBuilder().Record("their record").Bytes();
  for (bool yes : {false, true}) {
    LoadAndEdit({"a", "b"});
    PutAtTheName(theirs);
    host.replaceAnswer = yes;
    ASSERT_EQ(Save(), yes ? SaveOutcome::Saved : SaveOutcome::Declined);
    ASSERT_EQ(host.replaceQuestions.size(), 1u);
    EXPECT_EQ(host.replaceQuestions[0].rfind(state.gDataFile + " is not the file the corpus was loaded from", 0), 0u);
    EXPECT_TRUE(host.errors.empty());
    EXPECT_EQ(OnDisk() == theirs, !yes);
  }
  EXPECT_EQ(Reloaded(), (std::vector<std::string>{"edited", "b"}));

  LoadAndEdit({"a", "b"});
  host.onEvents = [&](int n) { if (n == 1) PutAtTheName(theirs); };
  EXPECT_EQ(Save(), SaveOutcome::Failed) << "put there while the save ran, past the question";
  EXPECT_TRUE(OnDisk() == theirs);

  LoadAndEdit({"a", "b"});
  test::WriteBytes(dir.File("sutra.vyk"), theirs);
  EXPECT_EQ(Save(), SaveOutcome::Refused);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_NE(host.errors[0].find(state.gDataFile + ": another program has rewritten the file since it was loaded"),
            std::string::npos) << host.errors[0];
  EXPECT_TRUE(OnDisk() == theirs);
}

// The bytes decide: a same-size rewrite with its times put back (cp -p) is
// caught, a touch and a chmod (a backup tool's) are not.
TEST_F(SaverTest, ChangedBytesRefuseTheSaveAndChangedTimesOrModeDoNot) {
  LoadAndEdit({"a", "b"});
  struct stat loaded {};
  ASSERT_EQ(::stat(dir.File("sutra.vyk").c_str(), &loaded), 0);
  const timespec times[2] = {loaded.st_atim, loaded.st_mtim};
  test::WriteBytes(dir.File("sutra.vyk"), CorpusFileBuilder().Record("x").Record("y").Bytes());
  ASSERT_EQ(::utimensat(AT_FDCWD, dir.File("sutra.vyk").c_str(), times, 0), 0);
  ASSERT_EQ(OnDisk().size(), original.size());
  EXPECT_EQ(Save(), SaveOutcome::Refused);

  LoadAndEdit({"a", "b"});
  const timespec later[2] = {{loaded.st_mtim.tv_sec + 100, 0}, {loaded.st_mtim.tv_sec + 100, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, dir.File("sutra.vyk").c_str(), later, 0), 0);
  ASSERT_EQ(::chmod(dir.File("sutra.vyk").c_str(), 0640), 0);
  ASSERT_EQ(Save(), SaveOutcome::Saved);
  EXPECT_EQ(Reloaded(), (std::vector<std::string>{"edited", "b"}));
}

// Another copy's save reaches the file between any two steps of this one:
// a copy that loaded it under the same name or under another (a hard link in
// another folder), or that loaded another file put at the name since. It is
// refused and touches nothing, and this one completes; afterwards the other
// copy is asked about the new file at its name or, where this one wrote over
// the file in place, refused by its content check.
TEST_F(SaverTest, SaveMeetingAnotherCopysSaveRefusesAndLeavesItsFileAlone) {
  struct Case {
    bool otherFolder, newFileAtTheName;
    const char* refusal;
    SaveOutcome afterwards;
  };
  static constexpr Case Cases[] = {
      {false, false, "another copy of the program is saving this file just now", SaveOutcome::Declined},
      {true, false, "another copy of the program is saving this file just now", SaveOutcome::Refused},
      {false, true, "another copy of the program is saving into ", SaveOutcome::Declined},
  };
  test::TempDir otherDir;
  for (const Case& c : Cases) {
    for (int at = 0;; ++at) {
      std::filesystem::remove(otherDir.File("sutra.vyk"));
      LoadAndEdit(test::GenerateCorpusTexts(16, 2000));
      if (c.otherFolder) {
        ASSERT_EQ(::link(dir.File("sutra.vyk").c_str(), otherDir.File("sutra.vyk").c_str()), 0);
      }
      if (c.newFileAtTheName) PutAtTheName(original), host.replaceAnswer = true;
      CorpusState second;
      MemoryLoaderHost lists;
      test::PrepareState(second, c.otherFolder ? otherDir.path() : dir.path());
      ASSERT_TRUE(LoadSutraFile(second, lists));
      StoreEdit(second, 2, "second");
      ScriptedSaverHost secondHost;
      std::optional<SaveOutcome> met;
      const SaveOutcome first = Save({[&](int step) {
        if (step == at) met = SaveSutraFile(second, secondHost);
        return 0;
      }});
      const std::string where = std::to_string(&c - Cases) + " at " + std::to_string(at);
      ASSERT_EQ(first, SaveOutcome::Saved) << where;
      const std::vector<std::string> texts = Reloaded();
      EXPECT_TRUE(texts[0] == "edited" && texts[1] != "second") << where;
      if (!met) {
        EXPECT_EQ(SaveSutraFile(second, secondHost), c.afterwards) << where;
        break;
      }
      EXPECT_EQ(*met, SaveOutcome::Failed) << where;
      ASSERT_EQ(secondHost.errors.size(), 1u) << where;
      EXPECT_NE(secondHost.errors[0].find(c.refusal), std::string::npos) << secondHost.errors[0];
    }
  }
}

// The file put in place is the one the save wrote: a temporary file changed
// once written (by a failing disk, or another program) is refused.
TEST_F(SaverTest, TemporaryFileChangedOnceWrittenIsNotPutInPlace) {
  const std::size_t size = CorpusFileBuilder().Record("edited").Record("b").Bytes().size();
  const std::string messages[] = {" does not read back as written",  // its signature changed
                                  " holds " + std::to_string(size + 1) + " bytes instead of " + std::to_string(size)};
  for (int appended : {0, 1}) {
    LoadAndEdit({"a", "b"});
    bool changed = false;
    const SaveOutcome outcome = Save({[&](int) {
      if (!changed && std::filesystem::file_size(dir.File("sutra.tmp")) == size) {
        const FileDescriptor file(::open(dir.File("sutra.tmp").c_str(), O_WRONLY | O_CLOEXEC));
        changed = ::pwrite(file.Get(), "q", 1, appended ? static_cast<off_t>(size) : 0) == 1;
      }
      return 0;
    }});
    ASSERT_TRUE(changed);
    EXPECT_EQ(outcome, SaveOutcome::Failed);
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_NE(host.errors[0].find(dir.File("sutra.tmp") + messages[appended]), std::string::npos) << host.errors[0];
    EXPECT_EQ(OnDisk(), original);
    EXPECT_FALSE(TempLeft());
  }
}

// A name others can write to may be swapped under the save: it neither
// checks nor keeps nor removes a file it did not write.
TEST_F(SaverTest, TemporaryFileSwappedWhileSavingIsNeitherKeptNorRemoved) {
  LoadTexts({"a", "b"});
  StoreEdit(state, 1, "edited");
  state.gDataModified = true;
  host.onEvents = [&](int n) {
    if (n != 1) return;
    std::filesystem::rename(dir.File("sutra.tmp"), dir.File("moved"));
    test::WriteBytes(dir.File("sutra.tmp"), "planted");
  };
  EXPECT_EQ(Save(), SaveOutcome::Failed);
  EXPECT_EQ(OnDisk(), original);
  EXPECT_EQ(test::ReadBytes(dir.File("sutra.tmp")), "planted");
}

TEST_F(SaverTest, SaveByRootKeepsTheFilesOwnerGroupAndMode) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can give a file to another user";
  LoadTexts({"a"});
  ASSERT_EQ(::chown(dir.File("sutra.vyk").c_str(), 1000, 1000), 0);
  ASSERT_EQ(::chmod(dir.File("sutra.vyk").c_str(), 0664), 0);
  StoreEdit(state, 1, "edited");
  ASSERT_EQ(Save(), SaveOutcome::Saved);
  struct stat saved {};
  ASSERT_EQ(::stat(dir.File("sutra.vyk").c_str(), &saved), 0);
  EXPECT_EQ(saved.st_uid, 1000u);
  EXPECT_EQ(saved.st_gid, 1000u);
  EXPECT_EQ(saved.st_mode & 07777, 0664u);
}

// Runs `body` as user 65534 in a child: "" when it returned true, "skip"
// when the child cannot be that user, else what went wrong.
std::string AsNobody(const std::function<bool()>& body) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(77);
    ::_exit(body() ? 0 : 1);
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return "the child did not end";
  if (WEXITSTATUS(status) == 77 || ::geteuid() != 0) return "skip";
  return WEXITSTATUS(status) == 0 ? "" : "returned false";
}

// Root may write any file, so the save runs as user 65534 in a child.
TEST_F(SaverTest, WriteProtectedDataFileIsNotReplaced) {
  LoadTexts({"a"});
  StoreEdit(state, 1, "edited");
  ASSERT_EQ(::chmod(dir.File("sutra.vyk").c_str(), 0444), 0);
  ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
  const std::string outcome = AsNobody([&] {
    return Save() == SaveOutcome::Failed && !host.errors.empty() &&
           host.errors[0].find(state.gDataFile + " is write-protected") != std::string::npos;
  });
  if (outcome == "skip") GTEST_SKIP() << "cannot save as user 65534 in " << dir.path();
  EXPECT_EQ(outcome, "") << "the save was not refused with its cause";
  EXPECT_EQ(OnDisk(), original);
  EXPECT_FALSE(TempLeft());
}

// Files the user may write but not replace, and a sutra.tmp that is a
// folder: the new corpus is written over the file, which stays the same file.
TEST_F(SaverTest, FileThatMayBeWrittenButNotReplacedIsWrittenInPlace) {
  test::TempDir locked;
  for (bool sticky : {true, false}) {
    std::filesystem::remove(dir.File("sutra.vyk"));
    LoadAndEdit({"a", "b"});
    std::string file = dir.File("sutra.vyk");
    if (!sticky) {  // a link into a folder the user may not write
      file = locked.File("corpus.vyk");
      std::filesystem::rename(dir.File("sutra.vyk"), file);
      ASSERT_EQ(::symlink(file.c_str(), dir.File("sutra.vyk").c_str()), 0);
      ASSERT_EQ(::chmod(locked.path().c_str(), 0755), 0);
    }
    ASSERT_EQ(::chmod(dir.path().c_str(), sticky ? 01777 : 0777), 0);
    ASSERT_EQ(::chmod(file.c_str(), 0666), 0);
    struct stat before {};
    ASSERT_EQ(::stat(file.c_str(), &before), 0);
    const std::string outcome = AsNobody([&] { return Save() == SaveOutcome::Saved; });
    if (outcome == "skip") GTEST_SKIP() << "cannot save as user 65534";
    EXPECT_EQ(outcome, "") << sticky;
    EXPECT_EQ(Reloaded(), (std::vector<std::string>{"edited", "b"})) << sticky;
    struct stat after {};
    ASSERT_EQ(::stat(file.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino) << sticky;
    EXPECT_FALSE(TempLeft()) << sticky;
  }
  std::filesystem::remove(dir.File("sutra.vyk"));
  LoadAndEdit({"a"});
  std::filesystem::create_directory(dir.File("sutra.tmp"));
  ASSERT_EQ(Save(), SaveOutcome::Saved);
  EXPECT_EQ(Reloaded(), (std::vector<std::string>{"edited"}));
}

// Other names see the new corpus; a write in place that fails part way
// leaves the whole new corpus at the temporary name.
TEST_F(SaverTest, OtherNamesAndAttributesOfTheFileAreKept) {
  LoadAndEdit({"a"});
  if (::setxattr(dir.File("sutra.vyk").c_str(), "user.origin", "mine", 4, 0) != 0)
    GTEST_SKIP() << "no user attributes here";
  ASSERT_EQ(Save(), SaveOutcome::Saved);
  char value[8] = {};
  EXPECT_EQ(::getxattr(dir.File("sutra.vyk").c_str(), "user.origin", value, sizeof value), 4);
  EXPECT_STREQ(value, "mine");

  LoadAndEdit({"a", "b"});
  ASSERT_EQ(::link(dir.File("sutra.vyk").c_str(), dir.File("other.vyk").c_str()), 0);
  const std::string edited = CorpusFileBuilder().Record("edited").Record("b").Bytes();
  SaveThroughFaults([&] {
    EXPECT_FALSE(OnDisk() == original && TempLeft());
    if (OnDisk() == original) return;
    EXPECT_NE(host.errors[0].find("The whole new corpus is in " + dir.File("sutra.tmp")), std::string::npos);
    EXPECT_TRUE(test::ReadBytes(dir.File("sutra.tmp")) == edited);
    test::WriteBytes(dir.File("sutra.vyk"), original);  // the next round loads what it loaded
    state.gDataFileNo.NoteContent();
  });
  EXPECT_TRUE(test::ReadBytes(dir.File("other.vyk")) == edited && OnDisk() == edited);

  // The copy cut short once the data file's signature is broken: the
  // message says which file failed, and claims no whole copy.
  LoadAndEdit({"a", "b"});
  EXPECT_EQ(Save({[&](int) {
              if (!OnDisk().starts_with("QMVYK")) std::filesystem::resize_file(dir.File("sutra.tmp"), 20);
              return 0;
            }}),
            SaveOutcome::Failed);
  EXPECT_NE(host.errors.at(0).find("cannot read back " + dir.File("sutra.tmp") + " while writing it over "),
            std::string::npos) << host.errors[0];
  EXPECT_EQ(host.errors[0].find("whole new corpus"), std::string::npos) << host.errors[0];
}

// ---- whole corpora ----

TEST_F(SaverTest, RealCorpusSavedWithoutEditsIsByteIdentical) {
  VYK_REQUIRE_REAL_CORPUS();
  const std::string real = test::ReadBytes(VYK_SHARED_CORPUS);
  ASSERT_GT(real.size(), 14u);
  LoadFile(real);
  ASSERT_EQ(Save(), SaveOutcome::Saved);
  EXPECT_TRUE(OnDisk() == real);
}

TEST_F(SaverTest, EditedGeneratedCorpusRoundTrips) {
  std::vector<std::string> texts = test::GenerateCorpusTexts(MaxSutras);
  LoadTexts(texts);
  for (int k = 1; k <= MaxSutras; k += 45) {
    texts[static_cast<std::size_t>(k - 1)] = RecordBuilder().Label(test::Numbered("e", k)).Numbers(k, 0).Text();
    StoreEdit(state, k, texts[static_cast<std::size_t>(k - 1)]);
  }
  ASSERT_EQ(Save(), SaveOutcome::Saved);
  EXPECT_EQ(Reloaded(), texts);
}

TEST(WriteCorpusFileTest, WritesALoadableFileOrRefusesWithACause) {
  test::TempDir dir;
  std::string error;
  ASSERT_TRUE(WriteCorpusFile(dir.File("sutra.vyk"), {"a", "bb"}, 0x07, &error)) << error;
  const std::string bytes = test::ReadBytes(dir.File("sutra.vyk"));
  EXPECT_EQ(bytes.substr(0, 8), std::string("QMVYK\x01\x00\x07", 8));
  EXPECT_EQ(bytes.size(), 14u + 3 + 12);
  EXPECT_FALSE(test::Exists(dir.File("sutra.vyk.tmp")));

  EXPECT_FALSE(WriteCorpusFile(dir.File("sutra.vyk"), {"a", std::string(40000, 'x')}, 0x1B, &error));
  EXPECT_NE(error.find("record 2"), std::string::npos) << error;
  EXPECT_EQ(test::ReadBytes(dir.File("sutra.vyk")), bytes);
  EXPECT_FALSE(WriteCorpusFile(dir.File("sutra.vyk"), std::vector<std::string>(MaxSutras + 1, "r"), 0x1B, &error));
  EXPECT_NE(error.find("4,501 records"), std::string::npos) << error;
  EXPECT_FALSE(WriteCorpusFile(dir.File("sutra.vyk"), std::vector<std::string>(256, std::string(32700, 'x')), 0x1B,
                               &error));
  EXPECT_NE(error.find("8,355,839"), std::string::npos) << error;
  EXPECT_EQ(test::ReadBytes(dir.File("sutra.vyk")), bytes);
  EXPECT_FALSE(WriteCorpusFile(dir.File("missing/sutra.vyk"), {"a"}, 0x1B, &error));
  EXPECT_NE(error.find("No such file"), std::string::npos) << error;
  EXPECT_FALSE(WriteCorpusFile(dir.File("missing/sutra.vyk"), {"a"}, 0x1B, nullptr));
}

}  // namespace
}  // namespace vyk
