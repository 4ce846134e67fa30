#pragma once
// The settings file vyakor.ini and the choice of the data folder.

#include <string>
#include <string_view>

#include "platform/MessageText.h"

namespace vyk {

class Application;
struct CorpusState;
struct ShellPaths;
struct ShellState;

inline constexpr std::string_view IniFileName = "vyakor.ini";
inline constexpr std::string_view SettingsSection = "Settings";
inline constexpr std::string_view DirKey = "Dir";
inline constexpr std::string_view DataFileName = "sutra.vyk";

inline constexpr std::string_view SrcDirCaption = "Missing Vyakor File(s)";
inline constexpr std::string_view SrcDirPrompt = "Locate the Path for Vyakor Files.";

// The settings file's full path: the Windows directory and gIniFile.
std::string IniPath(const ShellState& shell);

// gDataDir = the remembered folder, empty when the file, section or key is
// missing. The value is read whole.
void LoadDirSetting(const ShellState& shell, CorpusState& corpus);

// Remembers gDataDir only when nothing is remembered yet.
void RegisterDataDir(const ShellState& shell, const CorpusState& corpus);

// The settings entry that every start-up writes: Dir = gDataDir.
void WriteDirSetting(const ShellState& shell, const CorpusState& corpus);

// Main's settings entry. A folder name that the settings file cannot hold
// (a line break in it) is not written, and a message tells the user so.
void RememberDataDir(Application& app);

// `dir` without one trailing "/", and the data file in it.
std::string WithoutTrailingSlash(std::string dir);
std::string DataFilePath(const std::string& dataDir);

// `dir` with exactly one trailing "/".
std::string WithOneTrailingSlash(std::string dir);

// The Windows directory (where the settings and registry files live), with
// exactly one trailing "/".
std::string GetWindowsDir(const ShellPaths& paths);

// A file in the Windows directory; none when there is no such folder (no
// home at all), so that nothing is read or written at the root or in the
// working folder in its place.
std::string WindowsDirFile(const ShellPaths& paths, std::string_view name);

// The three-line question of a missing data file.
MessageText DataDirQuestion(const std::string& oldPath, const std::string& rememberedPath);

// Decides gDataDir: the program folder when it holds the data file, else the
// remembered folder, the question and the folder chooser. Returns false when
// the user ended the program (Cancel in the question).
bool DecideDataDir(Application& app);

}  // namespace vyk
