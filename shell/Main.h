#pragma once
// The start-up sequence, which is also the whole reload of the program.

#include <string>

namespace vyk {

class Application;

// "Vyakorsutravali (ver. 1.0) - <copyright> Talvorek."
std::string FrameTitle();

// Settles the data folder and the fonts, sets up the main window, loads the
// corpus and shows the first sutra. At a reload (the windows exist) it runs
// every step again on them. When the user or a missing font ends the program
// it returns early with app.ProgramEnded() true.
void Main(Application& app);

}  // namespace vyk
