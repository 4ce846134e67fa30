#pragma once
// The shell's share of the program state.

#include <string>

namespace vyk {

// Where the program looks for its own folder, the settings and registry
// files and the user's fonts. The program takes them from the platform;
// tests point every one of them at temporary folders.
struct ShellPaths {
    std::string programDir;  // the folder the executable runs from
    std::string windowsDir;  // holds vyakor.ini and registry.ini
    std::string fontsDir;    // where a missing display font is copied
};

struct ShellState {
    ShellPaths paths;

    // The settings file's bare name; it lives in the Windows directory.
    std::string gIniFile;

    // Set by the folder chooser's Cancel, cleared by its Ok; lives across
    // reloads, so a chooser closed by its close box repeats the last answer.
    bool gSrcDirCancelled = false;
};

}  // namespace vyk
