// Tools, "DBF to VYK": the converter launch and the reload after it.

#include <QProcess>
#include <QTest>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "tests/window/EditingAccess.h"
#include "tests/window/WindowFixture.h"

namespace vyk::test {
namespace {

namespace fs = std::filesystem;

class ConvertTest : public WindowFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(Start({Record("1.1.1", "vrddhir adaic", 1, 1), Record("1.1.2", "adeN gunah", 2, 2)}));
        onRunMain = [this] {
            visibleAtReload = Window().isVisible();
            Start();
        };
        // Well in the past, so that any rewrite shows as a new time.
        AgeDataFile();

        // The converted corpus the stand-in converters copy into place.
        std::string error;
        ASSERT_TRUE(WriteCorpusFile(dir.File("converted.vyk"), {Record("8.4.68", "a a iti", 0, 0)},
                                    DefaultHeaderByte8, &error))
            << error;
    }

    void AgeDataFile() {
        if (fs::exists(corpus.gDataFile))
            fs::last_write_time(corpus.gDataFile, fs::file_time_type::clock::now() - std::chrono::hours(1));
    }

    // A shell script named vykConvert in the data folder.
    void WriteConverter(const std::string& body) {
        const std::string path = dir.File("vykConvert");
        std::ofstream(path) << "#!/bin/sh\ncd \"$(dirname \"$0\")\"\n" << body << "\n";
        fs::permissions(path, fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read);
    }
    void WriteRewritingConverter() { WriteConverter("cp converted.vyk sutra.vyk"); }

    // The converter runs to its end before the time check: the case of a
    // converter quicker than the handler.
    void StartConvertersToTheirEnd() {
        EditingTestAccess::SetProgramStarter(Window(), [this](const std::string& program) -> std::optional<std::string> {
            started.push_back(program);
            if (QProcess::execute(QString::fromStdString(program), {}) < 0) return "cannot start";
            return std::nullopt;
        });
    }

    void Convert(MsgAnswer answer = MsgAnswer::OK) {
        dialogs.Plan(answer);
        Window().mnuToolsConvert->trigger();
    }

    std::vector<std::string> started;
    bool visibleAtReload = true;
};

TEST_F(ConvertTest, CancelInTheWarningStartsNothing) {
    StartConvertersToTheirEnd();
    WriteRewritingConverter();
    Convert(MsgAnswer::Cancel);

    ASSERT_EQ(dialogs.asked.size(), 1u);
    const MsgRequest& warning = dialogs.asked[0];
    EXPECT_EQ(warning.text, "Vyakorsutravali may require restart after conversion.");
    EXPECT_EQ(warning.title, "Convert");
    EXPECT_EQ(warning.buttons, MsgButtons::OKCancel);
    EXPECT_EQ(warning.icon, MsgIcon::Information);
    EXPECT_TRUE(started.empty());
    EXPECT_EQ(runMainCalls, 0);
    EXPECT_EQ(Ref(), "Vyakor: 1.1.1");
}

TEST_F(ConvertTest, AMissingConverterIsReportedAndNothingReloads) {
    Convert();

    ASSERT_EQ(dialogs.asked.size(), 2u);
    const MsgRequest& report = dialogs.asked[1];
    const std::string tail = "\r\nError Loading " + dir.path() + "/vykConvert";
    ASSERT_GT(report.text.size(), tail.size());
    EXPECT_TRUE(report.text.ends_with(tail)) << report.text;
    EXPECT_EQ(report.text.substr(0, report.text.size() - tail.size()), "No such file or directory");
    EXPECT_EQ(report.title, "Convert");
    EXPECT_EQ(report.buttons, MsgButtons::OK);
    EXPECT_EQ(report.icon, MsgIcon::Information);
    EXPECT_EQ(runMainCalls, 0);
    EXPECT_TRUE(Window().isVisible());
}

TEST_F(ConvertTest, AConverterThatHasNotChangedTheFileYetLeavesTheCorpus) {
    const std::string marker = dir.File("converter-ran");
    WriteConverter("touch converter-ran");
    Convert();

    EXPECT_EQ(dialogs.asked.size(), 1u) << "no message after the warning";
    EXPECT_EQ(runMainCalls, 0);
    EXPECT_EQ(Ref(), "Vyakor: 1.1.1");
    // It was really started, from the data folder, without waiting for it.
    EXPECT_TRUE(QTest::qWaitFor([&] { return fs::exists(marker); }, 5000));
}

TEST_F(ConvertTest, AConverterThatRewroteTheFileReloadsTheWindow) {
    StartConvertersToTheirEnd();
    WriteRewritingConverter();
    Convert();

    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0], dir.path() + "/vykConvert");
    EXPECT_EQ(runMainCalls, 1);
    EXPECT_FALSE(visibleAtReload) << "the window hides while the corpus reloads";
    EXPECT_TRUE(Window().isVisible());
    EXPECT_EQ(Ref(), "Vyakor: 8.4.68");
}

TEST_F(ConvertTest, TypingPendingAtTheReloadIsNotCommittedIntoTheNewCorpus) {
    StartConvertersToTheirEnd();
    WriteRewritingConverter();
    TypeIntoPane(" typed");

    Convert();

    EXPECT_EQ(runMainCalls, 1);
    EXPECT_FALSE(TextChanged());
    EXPECT_FALSE(HasEdit(corpus, 1));
    EXPECT_EQ(PaneText().find("typed"), std::string::npos);
    EXPECT_EQ(PaneText(), "Sutra\r\na a iti\r\n");
}

TEST_F(ConvertTest, AMissingDataFileIsMadeByTheConverterAndThenLoaded) {
    fs::remove(corpus.gDataFile);
    StartConvertersToTheirEnd();
    WriteRewritingConverter();

    Convert();

    EXPECT_EQ(started.size(), 1u);
    EXPECT_EQ(runMainCalls, 1);
    EXPECT_EQ(endProgramCalls, 0);
    EXPECT_EQ(Ref(), "Vyakor: 8.4.68");
}

TEST_F(ConvertTest, AMissingDataFileThatStaysMissingReloadsNothing) {
    fs::remove(corpus.gDataFile);
    StartConvertersToTheirEnd();
    WriteConverter("exit 0");

    Convert();

    EXPECT_EQ(started.size(), 1u);
    EXPECT_EQ(runMainCalls, 0);
    EXPECT_EQ(endProgramCalls, 0);
    EXPECT_TRUE(Window().isVisible());
}

TEST_F(ConvertTest, NoConversionWhileASaveRuns) {
    StartConvertersToTheirEnd();
    WriteRewritingConverter();
    corpus.gSaving = true;
    Window().mnuToolsConvert_Click();
    corpus.gSaving = false;
    EXPECT_TRUE(dialogs.asked.empty());
    EXPECT_TRUE(started.empty());
}

}  // namespace
}  // namespace vyk::test
