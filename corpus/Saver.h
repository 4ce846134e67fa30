#pragma once
// SaveSutraFile: writes the corpus anew into a temporary file and puts it in
// place of the data file by a rename or, where a rename would lose what the
// file is, by a write over it from that complete copy.

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
  // Another file than the one loaded stands at the data file's name; Yes
  // (true) replaces it with the corpus as loaded and edited.
  virtual bool AskReplace(const MessageText& question) = 0;
  virtual void SetHourglass(bool on) = 0;
  // Window: frStore/picSutra hidden, mnuToolsSave disabled, imgMainPg shown;
  // then the host runs Main (the reload).
  virtual void SaveCompleted() = 0;
  virtual void SaveTerminated() = 0;  // window: lblStatus hidden
};

enum class SaveOutcome {
  Saved,       // sutra.vyk written, gDataModified cleared, SaveCompleted ran
  Terminated,  // the user stopped it; nothing changed on disk
  Declined,    // the user kept the file another program put at the name
  Failed,      // a file operation failed, sutra.vyk is write-protected,
               // another copy is saving, or the file at the name changed
               // while the save ran; reported, edits kept
  Refused,     // a save was running already, the corpus is beyond the format,
               // no file was loaded, the loaded file was rewritten by another
               // program, the path holds a NUL, or the data file does not
               // read as a corpus while sutra.tmp holds a whole one; nothing
               // written
};

inline constexpr std::string_view ReplaceQuestionTail =
    " is not the file the corpus was loaded from: another program has put it there since.\r"
    "Replace it with the corpus as loaded, with your edits?";
inline constexpr std::string_view TerminateQuestion = "Terminate Saving the File: ";
inline constexpr std::string_view TerminateTitle = "Abort";

// Fault injection for tests: called before each operation on the new file
// with its running number from 0; a non-zero result makes that operation
// fail with that errno value. The operations: the temporary file's mode,
// each write into it and its sync, then the rename; or, on the road in
// place, each block of a copy into the data folder and its sync, the sync
// of the copy's folder, the break of the data file's signature and its
// sync, each block of the body, the truncation and the sync, the header
// and the last sync.
using SaveFaultHook = std::function<int(int operation)>;

struct SaveOptions {
  SaveFaultHook faultHook;
};

SaveOutcome SaveSutraFile(CorpusState& state, SaverHost& host, const SaveOptions& options = {});

// Writes a complete data file with the given record texts (at most MaxSutras,
// each within the format; header tag 0x01) to `path`, through a temporary
// file of a fresh name beside it, as a save does, replacing whatever file is
// there. A `path` that is a link keeps it: the file it names is written. On
// failure returns false with the cause in *error (when error is not null).
bool WriteCorpusFile(const std::string& path, const std::vector<std::string>& texts,
                     char headerByte8, std::string* error);

}  // namespace vyk
