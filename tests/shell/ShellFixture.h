#pragma once
// A fresh application per test: program, settings, fonts and data folders in
// a temporary tree, scripted message boxes and scripted modal windows.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <string>

#include "platform/Dialogs.h"
#include "platform/Fonts.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "shell/Application.h"
#include "shell/FrmAbout.h"
#include "shell/FrmSrcDir.h"
#include "shell/Settings.h"
#include "tests/QtTestSupport.h"
#include "tests/ScriptedDialogs.h"

namespace vyk::test {

// The build's data folder: the sample corpus and the two display fonts.
inline const std::string BuildDataDir = VYK_BUILD_DATA_DIR;

// Fontconfig and QStandardPaths must never see the real home: the font
// tests need the display faces to be missing at the start, and nothing a
// test does may land in the user's folders.
inline void IsolateHome() {
    static QTemporaryDir* home = [] {
        auto* dir = new QTemporaryDir;
        const QByteArray path = dir->path().toUtf8();
        qputenv("HOME", path);
        qputenv("XDG_CONFIG_HOME", path + "/.config");
        qputenv("XDG_DATA_HOME", path + "/.local/share");
        qputenv("XDG_CACHE_HOME", path + "/.cache");
        return dir;
    }();
    (void)home;
}

inline void CopyInto(const std::string& fileName, const std::string& fromDir, const std::string& toDir) {
    QDir().mkpath(QtPath(toDir));
    const QString target = QtPath(toDir + "/" + fileName);
    QFile::remove(target);
    ASSERT_TRUE(QFile::copy(QtPath(fromDir + "/" + fileName), target)) << fileName << " into " << toDir;
}

class ShellTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        IsolateHome();
        EnsureApp();
    }

    void SetUp() override {
        // Faces added by an earlier test of this process are gone again.
        QFontDatabase::removeAllApplicationFonts();
        ASSERT_TRUE(root.isValid());
        top = BytePath(root.path());
        programDir = top + "/Program Files/Vyakor";
        windowsDir = top + "/config";
        fontsDir = top + "/fonts";  // missing, as on a fresh account
        dataDir = top + "/Data/Sutras";
        otherDataDir = top + "/Data/Other";
        QDir().mkpath(QtPath(programDir));
        QDir().mkpath(QtPath(windowsDir));
        QDir().mkpath(QtPath(dataDir));
        QDir().mkpath(QtPath(otherDataDir));
        MakeApp();
    }

    void TearDown() override { app.reset(); }

    void MakeApp() {
        app = std::make_unique<Application>(dialogs, ShellPaths{programDir, windowsDir, fontsDir});
        app->RunModal = [this](QDialog& dialog) { RunScript(dialog); };
    }

    // The corpus and both font files, as the build lays out a data folder.
    void PutData(const std::string& dir) {
        PutCorpus(dir);
        PutFontFiles(dir);
    }
    void PutCorpus(const std::string& dir) { CopyInto("sutra.vyk", BuildDataDir, dir); }
    void PutFontFiles(const std::string& dir) {
        CopyInto("tmskrmn.ttf", BuildDataDir, dir);
        CopyInto("velka.ttf", BuildDataDir, dir);
    }
    // Both faces known before start-up, as after an earlier run.
    static void AddBothFaces() { ASSERT_TRUE(AddBuiltDisplayFonts()); }

    std::string IniFile() const { return windowsDir + "/vyakor.ini"; }
    void Remember(const std::string& dir) { ASSERT_TRUE(WritePrivateProfileString("Settings", "Dir", dir, IniFile())); }
    std::string Remembered() const { return GetPrivateProfileString("Settings", "Dir", "<none>", IniFile()); }

    // The user's actions in a modal window; each must leave it hidden.
    std::function<void(FrmSrcDir&)> chooserScript;
    std::function<void(FrmAbout&)> aboutScript;
    int chooserShown = 0;
    int aboutShown = 0;

    QTemporaryDir root;
    std::string top, programDir, windowsDir, fontsDir, dataDir, otherDataDir;
    ScriptedDialogService dialogs;
    std::unique_ptr<Application> app;

private:
    void RunScript(QDialog& dialog) {
        dialog.show();
        if (auto* chooser = qobject_cast<FrmSrcDir*>(&dialog)) {
            ++chooserShown;
            if (chooserScript) {
                chooserScript(*chooser);
            } else {
                chooser->cbCancel_Click();
            }
        } else if (auto* about = qobject_cast<FrmAbout*>(&dialog)) {
            ++aboutShown;
            if (aboutScript) {
                aboutScript(*about);
            } else {
                about->cmdOK_Click();
            }
        }
        if (dialog.isVisible()) {
            ADD_FAILURE() << "a modal window stayed open: " << dialog.objectName().toStdString();
            dialog.hide();
        }
    }
};

// A chooser script: type the folder into the path box and press Ok.
inline std::function<void(FrmSrcDir&)> ChooseFolder(const std::string& dir) {
    return [dir](FrmSrcDir& chooser) {
        chooser.tbsrcPath->setText(QtPath(dir));
        chooser.cbOk_Click();
    };
}

}  // namespace vyk::test
