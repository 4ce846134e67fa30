#include "platform/IniFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QString>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/CheckedFiles.h"
#include "tests/TempDir.h"

namespace vyk {
namespace {

using test::TempDir;

TEST(IniRead, MissingFileSectionOrKeyGivesTheDefault) {
    TempDir folder;
    const std::string ini = folder.Write("vyakor.ini", "[Other]\nDir=/x\n[Settings]\nName=y\n");
    EXPECT_EQ(GetPrivateProfileString("Settings", "Dir", "", folder.File("missing.ini")), "");
    EXPECT_EQ(GetPrivateProfileString("Settings", "Dir", "none", folder.File("missing.ini")), "none");
    EXPECT_EQ(GetPrivateProfileString("Absent", "Dir", "d", ini), "d");
    EXPECT_EQ(GetPrivateProfileString("Settings", "Dir", "d", ini), "d");
}

TEST(IniRead, NamesIgnoreCaseAndBlanksAroundThemAndTheValue) {
    const std::string content = "; comment\r\n  [ settings ]  \r\n  dir  =  /data/Vyakor  \r\n";
    EXPECT_EQ(IniValue(content, "Settings", "Dir"), std::optional<std::string>("/data/Vyakor"));
    EXPECT_TRUE(IniHasSection(content, "SETTINGS"));
    EXPECT_FALSE(IniHasSection(content, "Setting"));
}

TEST(IniRead, FirstSectionAndFirstKeyWin) {
    const std::string content = "[S]\nk=1\nk=2\n[S]\nk=3\nj=4\n";
    EXPECT_EQ(IniValue(content, "S", "k"), std::optional<std::string>("1"));
    EXPECT_EQ(IniValue(content, "S", "j"), std::nullopt);
}

TEST(IniRead, EnclosingQuotesAreRemoved) {
    EXPECT_EQ(IniValue("[S]\nk=\"a b\"\n", "S", "k"), std::optional<std::string>("a b"));
    EXPECT_EQ(IniValue("[S]\nk='a'\n", "S", "k"), std::optional<std::string>("a"));
    EXPECT_EQ(IniValue("[S]\nk=\"a'\n", "S", "k"), std::optional<std::string>("\"a'"));
}

TEST(IniRead, KeyBeforeAnySectionOrAfterTheSectionIsNotSeen) {
    const std::string content = "Dir=/top\n[Settings]\n[Next]\nDir=/next\n";
    EXPECT_EQ(IniValue(content, "Settings", "Dir"), std::nullopt);
}

TEST(IniRead, LongValuesComeBackWhole) {
    TempDir folder;
    const std::string folderName = "/" + std::string(119, 'd');
    const std::string ini = folder.Write("vyakor.ini", "[Settings]\nDir=" + folderName + "\n");
    EXPECT_EQ(GetPrivateProfileString("Settings", "Dir", "", ini), folderName);
}

TEST(IniRead, ValueEndsAtItsFirstNul) {
    using namespace std::string_literals;
    TempDir folder;
    const std::string ini = folder.Write("vyakor.ini", "[Settings]\nDir=/data/sutra.vyk\0x\n"s);
    EXPECT_EQ(GetPrivateProfileString("Settings", "Dir", "", ini), "/data/sutra.vyk");
    EXPECT_FALSE(WritePrivateProfileString("Settings", "Dir", "/a\0b"s, ini));
}

// What is no settings file of ours reads as missing, at once, and is never
// replaced: a FIFO no one writes to, an endless device, a file past 1 MiB.
TEST(IniFile, SpecialAndOversizedFilesReadAsMissingAndStayAsTheyAre) {
    TempDir folder;
    const std::string fifo = test::MakeFifo(folder.File("fifo.ini"));
    const std::string zero = folder.File("zero.ini");
    ASSERT_EQ(::symlink("/dev/zero", zero.c_str()), 0);
    const std::string bigContent = "[Settings]\nDir=/d\n" + std::string(1 << 20, ';');
    const std::string big = folder.Write("big.ini", bigContent);
    for (const std::string& ini : {fifo, zero, big}) {
        EXPECT_EQ(test::RunInChild([&] {
                      return GetPrivateProfileString("Settings", "Dir", "none", ini) == "none" &&
                             !WritePrivateProfileString("Settings", "Dir", "/new", ini);
                  }),
                  "")
            << ini;
    }
    struct stat status {};
    EXPECT_TRUE(::lstat(fifo.c_str(), &status) == 0 && S_ISFIFO(status.st_mode));
    EXPECT_TRUE(::lstat(zero.c_str(), &status) == 0 && S_ISLNK(status.st_mode));
    EXPECT_TRUE(test::ReadBytes(big) == bigContent);
}

TEST(IniWrite, CreatesFileFolderSectionAndKey) {
    TempDir folder;
    const std::string ini = folder.File("config/sub/vyakor.ini");
    EXPECT_TRUE(WritePrivateProfileString("Settings", "Dir", "/data/vyakor", ini));
    EXPECT_EQ(test::ReadBytes(ini), "[Settings]\nDir=/data/vyakor\n");
    EXPECT_EQ(GetPrivateProfileString("Settings", "Dir", "", ini), "/data/vyakor");
}

TEST(IniWrite, ReplacesTheKeyAndKeepsEveryOtherLine) {
    TempDir folder;
    const std::string before = "; settings of the program\n[Settings]\nFont=11\ndir = /old\n\n[Window]\nMax=1\n";
    const std::string ini = folder.Write("vyakor.ini", before);
    EXPECT_TRUE(WritePrivateProfileString("Settings", "Dir", "/new", ini));
    EXPECT_EQ(test::ReadBytes(ini),
              "; settings of the program\n[Settings]\nFont=11\nDir=/new\n\n[Window]\nMax=1\n");
}

TEST(IniWrite, NewKeyGoesAfterTheLastLineOfItsSection) {
    const std::string before = "[Settings]\nFont=11\n\n[Window]\nMax=1\n";
    EXPECT_EQ(IniWithValue(before, "settings", "Dir", "/d"), "[Settings]\nFont=11\nDir=/d\n\n[Window]\nMax=1\n");
    EXPECT_EQ(IniWithValue("[Settings]", "Settings", "Dir", "/d"), "[Settings]\nDir=/d\n");
    EXPECT_EQ(IniWithValue("[Settings]\nA=1", "Settings", "Dir", "/d"), "[Settings]\nA=1\nDir=/d\n");
}

TEST(IniWrite, NewSectionGoesAtTheEnd) {
    EXPECT_EQ(IniWithValue("[Window]\nMax=1", "Settings", "Dir", "/d"), "[Window]\nMax=1\n[Settings]\nDir=/d\n");
    EXPECT_EQ(IniWithValue("", "Settings", "Dir", "/d"), "[Settings]\nDir=/d\n");
}

TEST(IniWrite, KeepsTheFilesCrLfLineEnds) {
    EXPECT_EQ(IniWithValue("[Window]\r\nMax=1\r\n", "Settings", "Dir", "/d"),
              "[Window]\r\nMax=1\r\n[Settings]\r\nDir=/d\r\n");
    EXPECT_EQ(IniWithValue("[Settings]\r\nDir=/a\r\n", "Settings", "Dir", "/b"), "[Settings]\r\nDir=/b\r\n");
}

TEST(IniWrite, QuotesAValueThatReadingWouldChange) {
    TempDir folder;
    const std::string ini = folder.File("vyakor.ini");
    const std::pair<std::string, std::string> rows[] = {
        {"/data/Sutras ", "\"/data/Sutras \""}, {"\t/data", "\"\t/data\""},
        {"\"/quoted\"", "\"\"/quoted\"\""},      {"/a \"b\" c", "/a \"b\" c"},
    };
    for (const auto& [value, stored] : rows) {
        ASSERT_TRUE(WritePrivateProfileString("Settings", "Dir", value, ini));
        EXPECT_EQ(test::ReadBytes(ini), "[Settings]\nDir=" + stored + "\n");
        EXPECT_EQ(GetPrivateProfileString("Settings", "Dir", "", ini), value);
    }
}

TEST(IniWrite, RefusesValuesThatWouldBreakTheFile) {
    TempDir folder;
    const std::string ini = folder.Write("vyakor.ini", "[Settings]\nDir=/a\n");
    EXPECT_FALSE(WritePrivateProfileString("Settings", "Dir", "/a\n[Evil]", ini));
    EXPECT_FALSE(WritePrivateProfileString("Settings", "Dir", "/a\r", ini));
    EXPECT_FALSE(WritePrivateProfileString("Settings", "A=B", "x", ini));
    EXPECT_FALSE(WritePrivateProfileString("Set]tings", "Dir", "x", ini));
    EXPECT_FALSE(WritePrivateProfileString("Settings", "", "x", ini));
    EXPECT_EQ(test::ReadBytes(ini), "[Settings]\nDir=/a\n");
}

TEST(IniWrite, UnwritablePlaceFailsAndLeavesNoTrace) {
    TempDir folder;
    const std::string blocker = folder.Write("file", "x");
    EXPECT_FALSE(WritePrivateProfileString("Settings", "Dir", "/d", blocker + "/vyakor.ini"));
    const std::string ini = folder.Write("vyakor.ini", "[Settings]\nDir=/a\n");
    EXPECT_TRUE(WritePrivateProfileString("Settings", "Dir", "/b", ini));
    // The write went through a temporary file that is gone again.
    EXPECT_EQ(QDir(QString::fromStdString(folder.path())).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

// The sudo habit: root runs the program with a user's HOME. The settings
// file must stay the user's, or they can never read it again; what root
// makes there is the user's too.
TEST(IniWrite, RewriteByRootKeepsTheFilesOwnerGroupAndMode) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can write another user's file";
    TempDir folder;
    ASSERT_EQ(::chmod(folder.path().c_str(), 0755), 0);
    const std::string ini = folder.Write("vyakor.ini", "[Settings]\nDir=/old\n");
    ASSERT_EQ(::chown(ini.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(ini.c_str(), 0600), 0);
    ASSERT_TRUE(WritePrivateProfileString("Settings", "Dir", "/new", ini));
    struct stat written {};
    ASSERT_EQ(::stat(ini.c_str(), &written), 0);
    EXPECT_EQ(written.st_uid, 65534u);
    EXPECT_EQ(written.st_gid, 65534u);
    EXPECT_EQ(written.st_mode & 07777, 0600u);
    ASSERT_EQ(::chown(folder.path().c_str(), 65534, 65534), 0);
    ASSERT_TRUE(WritePrivateProfileString("Settings", "Dir", "/d", folder.File("config/vyakor.ini")));
    for (const char* made : {"config", "config/vyakor.ini"}) {
        ASSERT_EQ(::stat(folder.File(made).c_str(), &written), 0);
        EXPECT_EQ(written.st_uid, 65534u) << made;
        EXPECT_EQ(written.st_gid, 65534u) << made;
    }
}

// Dotfiles kept in a folder of their own and linked in stay linked: the
// write goes to the file the link names, and creates it when only the link
// is there yet; a link into a folder that is gone makes no folder.
TEST(IniWrite, LinkedSettingsFileIsWrittenThroughAndStaysALink) {
    TempDir folder;
    for (const char* made : {"dotfiles", "config"}) std::filesystem::create_directory(folder.File(made));
    const std::string ini = folder.File("config/vyakor.ini");
    ASSERT_EQ(::symlink("../dotfiles/vyakor.ini", ini.c_str()), 0);

    EXPECT_TRUE(WritePrivateProfileString("Settings", "Dir", "/d", ini));
    EXPECT_EQ(test::ReadBytes(folder.File("dotfiles/vyakor.ini")), "[Settings]\nDir=/d\n");
    struct stat status {};
    ASSERT_EQ(::lstat(ini.c_str(), &status), 0);
    EXPECT_TRUE(S_ISLNK(status.st_mode));

    const std::string intoNowhere = folder.File("config/other.ini");
    ASSERT_EQ(::symlink(folder.File("gone/other.ini").c_str(), intoNowhere.c_str()), 0);
    EXPECT_FALSE(WritePrivateProfileString("Settings", "Dir", "/d", intoNowhere));
    EXPECT_FALSE(test::Exists(folder.File("gone")));
}

// Run as root with a user's home (sudo keeps HOME), a link the user made
// must not send the settings into a file of root's: root follows only its
// own links, at the file and on the way to it, and such a file is neither
// read nor rewritten. A user still follows their own links.
TEST(IniFile, RootFollowsNoLinkAnotherUserOwns) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can make links of two owners and run as both";
    constexpr uid_t Root = 0, User = 65534;
    struct Row {
        bool folderLinked;  // the settings folder is the link, else the file is
        bool present;       // the file the link leads to exists
        uid_t linkOwner, follower;
        bool followed;
    };
    const Row rows[] = {
        {false, true, User, Root, false}, {true, true, User, Root, false}, {true, false, User, Root, false},
        {false, true, Root, Root, true},  {true, true, Root, Root, true},  {false, true, User, User, true},
        {true, false, User, User, true},
    };
    for (const Row& row : rows) {
        const std::string label = std::to_string(&row - rows), before = "[Settings]\nDir=/old\n";
        TempDir folder;
        // Where the link leads belongs to the follower: for root, a folder
        // no one else may even look into.
        const std::string target = folder.File("target"), home = folder.File("home"), ini = home + "/config/vyakor.ini";
        ASSERT_TRUE(::chmod(folder.path().c_str(), 0755) == 0 && ::mkdir(target.c_str(), 0700) == 0 &&
                    ::chown(target.c_str(), row.follower, row.follower) == 0 && ::mkdir(home.c_str(), 0755) == 0 &&
                    ::chown(home.c_str(), User, User) == 0 && (row.folderLinked || ::mkdir(FolderOf(ini).c_str(), 0755) == 0));
        if (row.present) {
            ASSERT_EQ(::chown(folder.Write("target/vyakor.ini", before).c_str(), row.follower, row.follower), 0);
        }
        const std::string link = row.folderLinked ? FolderOf(ini) : ini;
        ASSERT_EQ(::symlink((row.folderLinked ? target : target + "/vyakor.ini").c_str(), link.c_str()), 0);
        ASSERT_EQ(::lchown(link.c_str(), row.linkOwner, row.linkOwner), 0);

        const std::string read = row.followed && row.present ? "/old" : "none";
        EXPECT_EQ(test::RunInChild([&] {
                      if (row.follower != Root && (::setgid(User) != 0 || ::setuid(User) != 0)) return false;
                      return GetPrivateProfileString("Settings", "Dir", "none", ini) == read &&
                             WritePrivateProfileString("Settings", "Dir", "/new", ini) == row.followed;
                  }),
                  "")
            << label;
        const std::string after = row.followed ? "[Settings]\nDir=/new\n" : row.present ? before : "";
        EXPECT_EQ(test::Names(target), after.empty() ? std::vector<std::string>{} : std::vector<std::string>{"vyakor.ini"})
            << label;
        EXPECT_EQ(test::ReadBytes(target + "/vyakor.ini"), after) << label;
    }
}

}  // namespace
}  // namespace vyk
