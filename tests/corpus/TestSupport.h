#pragma once
// In-memory hosts and a prepared state for the corpus tests, with the
// temporary folder and file helpers they use.

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "corpus/CorpusState.h"
#include "corpus/Loader.h"
#include "corpus/Saver.h"
#include "tests/TempDir.h"

namespace vyk::test {

// The lists of the window as plain vectors; sorted lists insert after equal
// items, as the window's list control does.
class MemoryLoaderHost : public LoaderHost {
public:
  struct Item {
    std::string text;
    int record;
  };

  void ListClear(SutraList list) override { lists_[list].clear(); }
  void ListAddItem(SutraList list, const std::string& text, int record) override {
    auto& items = lists_[list];
    if (IsSorted(list)) {
      auto at = std::upper_bound(items.begin(), items.end(), text, [](const std::string& value, const Item& item) {
        return CompareListText(value, item.text) < 0;
      });
      items.insert(at, Item{text, record});
    } else {
      items.push_back(Item{text, record});
    }
  }
  int ListCount(SutraList list) const override {
    auto found = lists_.find(list);
    return found == lists_.end() ? 0 : static_cast<int>(found->second.size());
  }
  std::string ListItem(SutraList list, int index) const override { return lists_.at(list).at(static_cast<std::size_t>(index)).text; }
  void ListSetIndex(SutraList list, int index) override {
    selections.emplace_back(list, index);
    if (onSelect) onSelect(list, index);
  }
  void UpdateIndexCaption() override { ++captionUpdates; }
  void DoEvents() override {
    ++events;
    if (onEvents) onEvents();
  }
  void SetHourglass(bool on) override { hourglass.push_back(on); }
  void ShowUnknownFileFormat(const MessageText& message) override {
    ++unknownFormatMessages;
    unknownFormatText = message.text;
  }

  std::vector<std::string> Texts(SutraList list) const {
    std::vector<std::string> texts;
    if (auto found = lists_.find(list); found != lists_.end())
      for (const Item& item : found->second) texts.push_back(item.text);
    return texts;
  }
  std::vector<int> Records(SutraList list) const {
    std::vector<int> records;
    if (auto found = lists_.find(list); found != lists_.end())
      for (const Item& item : found->second) records.push_back(item.record);
    return records;
  }

  std::vector<std::pair<SutraList, int>> selections;
  std::vector<bool> hourglass;
  int captionUpdates = 0;
  int events = 0;
  int unknownFormatMessages = 0;
  std::string unknownFormatText;  // of the last one
  std::function<void()> onEvents;
  std::function<void(SutraList, int)> onSelect;

private:
  static bool IsSorted(SutraList list) {
    return list == SutraList::lstVykEy0 || list == SutraList::lstVykEy1 || list == SutraList::lstVykEy2;
  }
  std::map<SutraList, std::vector<Item>> lists_;
};

// A saver host that records what the saver asked of the window and answers
// the terminate question from a script.
class ScriptedSaverHost : public SaverHost {
public:
  void CommitEdit() override {
    ++commits;
    if (onCommit) onCommit();
  }
  void DoEvents() override {
    ++events;
    if (onEvents) onEvents(events);
  }
  bool AskTerminate(const MessageText& message) override {
    questions.push_back(message.text);
    return terminateAnswer;
  }
  void ReportSaveError(const MessageText& message) override {
    errors.push_back(message.text);
    reports.push_back(message);
  }
  bool AskReplace(const MessageText& question) override {
    replaceQuestions.push_back(question.text);
    return replaceAnswer;
  }
  void SetHourglass(bool on) override { hourglass.push_back(on); }
  void SaveCompleted() override { ++completed; }
  void SaveTerminated() override { ++terminated; }

  bool terminateAnswer = false;
  bool replaceAnswer = false;
  int commits = 0;
  int events = 0;
  int completed = 0;
  int terminated = 0;
  std::vector<std::string> questions;
  std::vector<std::string> replaceQuestions;
  std::vector<std::string> errors;
  std::vector<MessageText> reports;  // the errors with their marked paths
  std::vector<bool> hourglass;
  std::function<void()> onCommit;
  std::function<void(int)> onEvents;
};

// A state whose data file is `folder`/sutra.vyk, with weights built, as Main
// prepares it before a load.
inline void PrepareState(CorpusState& state, const std::string& folder) {
  state.gDataDir = folder;
  state.gDataFile = folder + "/sutra.vyk";
  state.gHeaderByte8 = DefaultHeaderByte8;
  state.gHeaderTag = DefaultHeaderTag;
  InitSortWeights(state.gSortWeight);
}

// Writes `bytes` as sutra.vyk into `folder` and loads it into `state`.
inline bool LoadBytes(CorpusState& state, MemoryLoaderHost& host, const TempDir& folder, std::string_view bytes) {
  WriteBytes(folder.File("sutra.vyk"), bytes);
  PrepareState(state, folder.path());
  return LoadSutraFile(state, host);
}

}  // namespace vyk::test
