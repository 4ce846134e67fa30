// The About box and the System Info launcher over the registry stand-in.

#include <QElapsedTimer>
#include <QFontInfo>
#include <QPixmap>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include "shell/SystemInfo.h"
#include "tests/LookSupport.h"
#include "tests/shell/ShellFixture.h"

namespace vyk::test {
namespace {

class FrmAboutTest : public ShellTest {
protected:
    std::string Registry() const { return windowsDir + "/registry.ini"; }
    void WriteRegistry(const std::string& text) {
        QFile file(QtPath(Registry()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.data(), static_cast<qint64>(text.size()));
    }
    // A tool that leaves a mark when it runs.
    std::string MakeTool(const std::string& path) {
        const std::string mark = path + ".ran";
        QFile tool(QtPath(path));
        EXPECT_TRUE(tool.open(QIODevice::WriteOnly | QIODevice::Truncate));
        tool.write(("#!/bin/sh\ntouch '" + mark + "'\n").c_str());
        tool.close();
        tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return mark;
    }
    static bool AppearsWithin(const std::string& path, int milliseconds) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < milliseconds) {
            if (QFile::exists(QtPath(path))) return true;
            QThread::msleep(20);
        }
        return false;
    }
    void ExpectUnavailableMessage() {
        ASSERT_EQ(dialogs.asked.size(), 1u);
        EXPECT_EQ(dialogs.asked[0].text, "System Information Is Unavailable At This Time");
        EXPECT_EQ(dialogs.asked[0].icon, MsgIcon::None);
        EXPECT_EQ(dialogs.asked[0].buttons, MsgButtons::OK);
        EXPECT_EQ(dialogs.asked[0].title, "");
    }
};

TEST_F(FrmAboutTest, SetUpWritesTheCaptionAndLabels) {
    FrmAbout& about = app->frmAbout();
    EXPECT_EQ(about.windowTitle(), "About Vyakorsutravali");
    EXPECT_EQ(about.lblVersion->text(), "Version 1.0 Jan, 2000.");
    EXPECT_EQ(about.lblTitle->text().toLatin1().toStdString(), "Vy\xE0kors\xE2tr\xE0val\xE1");
    EXPECT_EQ(about.lblTitle->font().family(), "Times Kovra Roman");
    EXPECT_EQ(about.cmdOK->text(), "OK");
    EXPECT_EQ(about.cmdSysInfo->text(), "&System Info...");
    EXPECT_FALSE(about.picIcon->pixmap().isNull());
    EXPECT_EQ(about.FormLoadCount(), 1);
}

// As Help, About shows it: the title in the Roman face and its dark red,
// every caption whole.
TEST_F(FrmAboutTest, TheShownBoxDrawsTheTitleInDarkRedAndEveryCaptionWhole) {
    AddBothFaces();
    aboutScript = [](FrmAbout& about) {
        EXPECT_EQ(QFontInfo(about.lblTitle->font()).family(), "Times Kovra Roman");
        EXPECT_EQ(CutCaptions(about), std::vector<std::string>{});
        const QImage shot = about.grab().toImage();
        // The strokes of a 20-point bold title hold many pixels of its colour.
        int titlePixels = 0;
        const QRect title = about.lblTitle->geometry();
        for (int y = title.top(); y <= title.bottom(); ++y)
            for (int x = title.left(); x <= title.right(); ++x) titlePixels += shot.pixel(x, y) == qRgb(125, 0, 0);
        EXPECT_GE(titlePixels, 200);
        // Set VYK_SHOTS_DIR to look at the box.
        const QString shots = qEnvironmentVariable("VYK_SHOTS_DIR");
        if (!shots.isEmpty()) {
            EXPECT_TRUE(shot.save(shots + "/about.png"));
        }
        about.cmdOK_Click();
    };
    app->ShowAbout();
    EXPECT_EQ(aboutShown, 1);
}

TEST_F(FrmAboutTest, OkHidesTheBoxAndTheNextShowingFindsTheSameOne) {
    app->ShowAbout();
    FrmAbout* first = &app->frmAbout();
    app->ShowAbout();
    EXPECT_EQ(&app->frmAbout(), first);
    EXPECT_EQ(first->FormLoadCount(), 1);
    EXPECT_EQ(aboutShown, 2);
}

TEST_F(FrmAboutTest, TheRealModalLoopEndsWhenOkIsPressed) {
    app->RunModal = [](QDialog& dialog) { dialog.exec(); };
    FrmAbout& about = app->frmAbout();
    QTimer::singleShot(0, about.cmdOK, &QPushButton::click);
    QTimer::singleShot(5000, &about, &QDialog::hide);  // never hang the suite
    app->ShowAbout();
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

TEST_F(FrmAboutTest, RegistryValuesAreReadAsTextAndNumbers) {
    WriteRegistry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\nName=some text\nCount=dword:00001a2b\n");
    std::string value = "stale";
    EXPECT_TRUE(ReadRegistryValue(Registry(), "HKEY_LOCAL_MACHINE", "SOFTWARE\\Test", "Name", value));
    EXPECT_EQ(value, "some text");
    EXPECT_TRUE(ReadRegistryValue(Registry(), "HKEY_LOCAL_MACHINE", "SOFTWARE\\Test", "Count", value));
    EXPECT_EQ(value, "6699");

    value = "stale";
    EXPECT_FALSE(ReadRegistryValue(Registry(), "HKEY_LOCAL_MACHINE", "SOFTWARE\\Test", "Missing", value));
    EXPECT_EQ(value, "");
    value = "stale";
    EXPECT_FALSE(ReadRegistryValue(Registry(), "HKEY_LOCAL_MACHINE", "SOFTWARE\\None", "Name", value));
    EXPECT_EQ(value, "");
    EXPECT_FALSE(ReadRegistryValue(windowsDir + "/absent.ini", "HKEY_LOCAL_MACHINE", "SOFTWARE\\Test", "Name", value));
}

TEST_F(FrmAboutTest, SystemInfoStartsTheProgramThatPathNames) {
    const std::string mark = MakeTool(top + "/msinfo");
    WriteRegistry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\nPATH=" + top + "/msinfo\n");
    app->frmAbout().cmdSysInfo->click();
    EXPECT_TRUE(dialogs.asked.empty());
    EXPECT_TRUE(AppearsWithin(mark, 5000));
}

TEST_F(FrmAboutTest, SystemInfoNamingAMissingProgramIsUnavailable) {
    WriteRegistry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\nPATH=" + top + "/gone\n");
    app->frmAbout().cmdSysInfo_Click();
    ExpectUnavailableMessage();
}

TEST_F(FrmAboutTest, SystemInfoFallsBackToTheSharedToolsLocation) {
    QDir().mkpath(QtPath(top + "/tools"));
    const std::string mark = MakeTool(top + "/tools/MSINFO32.EXE");
    WriteRegistry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location]\nMSINFO=" + top + "/tools\n");
    app->frmAbout().cmdSysInfo_Click();
    EXPECT_TRUE(dialogs.asked.empty());
    EXPECT_TRUE(AppearsWithin(mark, 5000));
}

TEST_F(FrmAboutTest, SystemInfoLocationWithoutTheToolIsUnavailable) {
    QDir().mkpath(QtPath(top + "/tools"));
    WriteRegistry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location]\nMSINFO=" + top + "/tools\n");
    app->frmAbout().cmdSysInfo_Click();
    ExpectUnavailableMessage();
}

TEST_F(FrmAboutTest, SystemInfoWithoutAnyEntryIsUnavailable) {
    app->frmAbout().cmdSysInfo_Click();
    ExpectUnavailableMessage();
}

}  // namespace
}  // namespace vyk::test
