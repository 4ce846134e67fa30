// The settings entry and the pieces of the data folder decision.

#include "corpus/CorpusState.h"
#include "tests/shell/ShellFixture.h"

namespace vyk::test {
namespace {

class SettingsTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        app->shell.gIniFile = "vyakor.ini";
    }
    CorpusState& corpus() { return app->corpus; }
};

TEST_F(SettingsTest, MissingFileSectionOrKeyReadsEmpty) {
    corpus().gDataDir = "left over";
    LoadDirSetting(app->shell, corpus());
    EXPECT_EQ(corpus().gDataDir, "");

    ASSERT_TRUE(WritePrivateProfileString("Other", "Dir", "/x", IniFile()));
    LoadDirSetting(app->shell, corpus());
    EXPECT_EQ(corpus().gDataDir, "");
}

TEST_F(SettingsTest, LongRememberedFolderIsReadWhole) {
    const std::string longDir = "/" + std::string(119, 'd');
    Remember(longDir);
    LoadDirSetting(app->shell, corpus());
    EXPECT_EQ(corpus().gDataDir, longDir);
}

TEST_F(SettingsTest, RegisterDataDirWritesOnlyWhenNothingIsRemembered) {
    corpus().gDataDir = programDir;
    RegisterDataDir(app->shell, corpus());
    EXPECT_EQ(Remembered(), programDir);

    corpus().gDataDir = dataDir;
    RegisterDataDir(app->shell, corpus());
    EXPECT_EQ(Remembered(), programDir);
}

TEST_F(SettingsTest, SettingsEntryIsOverwrittenAndOtherLinesKept) {
    ASSERT_TRUE(WritePrivateProfileString("Window", "Left", "10", IniFile()));
    Remember("/old");
    corpus().gDataDir = "/New/Place";
    WriteDirSetting(app->shell, corpus());
    EXPECT_EQ(Remembered(), "/New/Place");
    EXPECT_EQ(GetPrivateProfileString("Window", "Left", "", IniFile()), "10");
}

TEST_F(SettingsTest, SettingsFileLivesInTheWindowsDirectory) {
    EXPECT_EQ(IniPath(app->shell), windowsDir + "/vyakor.ini");
    app->shell.paths.windowsDir = windowsDir + "/";
    EXPECT_EQ(IniPath(app->shell), windowsDir + "/vyakor.ini");
}

TEST_F(SettingsTest, WindowsDirGetsExactlyOneTrailingSlash) {
    EXPECT_EQ(GetWindowsDir({"", "/home/u/.config", ""}), "/home/u/.config/");
    EXPECT_EQ(GetWindowsDir({"", "/home/u/.config/", ""}), "/home/u/.config/");
    EXPECT_EQ(GetWindowsDir({"", "/", ""}), "/");
}

TEST_F(SettingsTest, QuestionHasItsThreeNumberedLines) {
    const MessageText question = DataDirQuestion("/opt/Vyakor", "/home/u/Data");
    EXPECT_EQ(question.text,
              "1. Vyakor Sutra File Not Found in \r\n   /opt/Vyakor\r\n\r\n"
              "2. Continue with the Previous Path?\r\n   /home/u/Data\r\n\r\n"
              "3. Click on 'NO' to Select a New Path.\r\n");
    // Both folders are marked as the file system's names.
    EXPECT_EQ(question.paths, (std::vector<TextSpan>{{39, 11}, {94, 12}}));
}

TEST_F(SettingsTest, DataFilePathHasExactlyOneSlash) {
    EXPECT_EQ(DataFilePath(WithoutTrailingSlash("/srv/Data/")), "/srv/Data/sutra.vyk");
    EXPECT_EQ(DataFilePath(WithoutTrailingSlash("/srv/Data")), "/srv/Data/sutra.vyk");
    EXPECT_EQ(DataFilePath(WithoutTrailingSlash("/")), "/sutra.vyk");
}

TEST_F(SettingsTest, ProgramFolderWithDataRegistersItAndAsksNothing) {
    PutCorpus(programDir);
    corpus().gDataDir = programDir;
    corpus().gDataFile = DataFilePath(programDir);
    EXPECT_TRUE(DecideDataDir(*app));
    EXPECT_EQ(corpus().gDataDir, programDir);
    EXPECT_EQ(Remembered(), programDir);
    EXPECT_TRUE(dialogs.asked.empty());
}

TEST_F(SettingsTest, ChooserClosedByItsCloseBoxRepeatsTheLastAnswer) {
    Remember(programDir);
    corpus().gDataDir = programDir;
    corpus().gDataFile = DataFilePath(programDir);
    // No button pressed in this process: the decision ends with the
    // remembered folder, no question.
    chooserScript = [](FrmSrcDir& chooser) { chooser.close(); };
    EXPECT_TRUE(DecideDataDir(*app));
    EXPECT_EQ(chooserShown, 1);
    EXPECT_TRUE(dialogs.asked.empty());
    EXPECT_FALSE(app->hasFrmSrcDir());  // unloaded by the close box
}

}  // namespace
}  // namespace vyk::test
