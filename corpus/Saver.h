#pragma once
// SaveSutraFile: writes the corpus anew through sutra.tmp.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/MessageText.h"

namespace vyk {

struct CorpusState;

class SaverHost {
public:
  virtual ~SaverHost() = default;
  // Commits typing still pending in the window, if any, before anything is written.
  virtual void CommitEdit() = 0;
  virtual void DoEvents() = 0;    // pending input (Terminate button) runs here
  // "Terminate Saving the File: " + gDataFile; Yes -> true.
  virtual bool AskTerminate(const MessageText& message) = 0;
  // A clear message naming the file and the cause.
  virtual void ReportSaveError(const MessageText& message) = 0;
  virtual void SetHourglass(bool on) = 0;
  // Window: frStore/picSutra hidden, mnuToolsSave disabled, imgMainPg shown;
  // then the host runs Main (the reload).
  virtual void SaveCompleted() = 0;
  virtual void SaveTerminated() = 0;  // window: lblStatus hidden
};

enum class SaveOutcome {
  Saved,       // sutra.vyk replaced, gDataModified cleared, SaveCompleted ran
  Terminated,  // the user stopped it; nothing changed on disk
  Failed,      // a file operation failed, sutra.vyk is write-protected, or
               // another program replaced or rewrote it since the load;
               // reported, sutra.vyk untouched, edits kept
  Refused,     // a save was running already, the corpus is beyond the format,
               // no file was loaded, or the path holds a NUL; nothing written
};

inline constexpr std::string_view TempFileName = "sutra.tmp";
inline constexpr std::string_view TerminateQuestion = "Terminate Saving the File: ";
inline constexpr std::string_view TerminateTitle = "Abort";

// Fault injection for tests: called before each operation on the new file
// (every write, the sync, the rename) with its running number from 0; a
// non-zero result makes that operation fail with that errno value.
using SaveFaultHook = std::function<int(int operation)>;

struct SaveOptions {
  SaveFaultHook faultHook;
};

SaveOutcome SaveSutraFile(CorpusState& state, SaverHost& host, const SaveOptions& options = {});

// Writes a complete data file with the given record texts (at most MaxSutras,
// each within the format; header tag 0x01) to `path`, through a temporary
// file of a fresh name beside it and an atomic rename. A `path` that is a
// link keeps it: the file it names is replaced, through a temporary file
// beside that file. On failure returns false with the cause in *error (when
// error is not null); `path` is untouched.
bool WriteCorpusFile(const std::string& path, const std::vector<std::string>& texts,
                     char headerByte8, std::string* error);

}  // namespace vyk
