#include "platform/Registry.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include "tests/TempDir.h"

namespace vyk {
namespace {

constexpr char MsInfoKey[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr char LocationKey[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location";

class RegistryTest : public ::testing::Test {
protected:
    std::string WriteRegistry(const std::string& content) { return folder.Write(RegistryFileName, content); }
    test::TempDir folder;
};

TEST_F(RegistryTest, MissingFileOrKeyFailsTheOpen) {
    EXPECT_FALSE(RegistryKey::Open(folder.File(RegistryFileName), MsInfoKey));
    const std::string file = WriteRegistry(std::string("[") + LocationKey + "]\nMSINFO=/usr/bin\n");
    EXPECT_FALSE(RegistryKey::Open(file, MsInfoKey));
    EXPECT_TRUE(RegistryKey::Open(file, LocationKey));
}

TEST_F(RegistryTest, FifoOrEndlessDeviceIsNoRegistry) {
    const std::string fifo = test::MakeFifo(folder.File(RegistryFileName));
    const std::string zero = folder.File("zero.ini");
    ASSERT_EQ(::symlink("/dev/zero", zero.c_str()), 0);
    for (const std::string& file : {fifo, zero})
        EXPECT_EQ(test::RunInChild([&] { return !RegistryKey::Open(file, MsInfoKey); }), "") << file;
}

TEST_F(RegistryTest, TextValueIsRegSz) {
    const std::string file = WriteRegistry(std::string("[") + MsInfoKey + "]\nPATH=/usr/bin/hardinfo\n");
    const auto key = RegistryKey::Open(file, MsInfoKey);
    ASSERT_TRUE(key);
    const auto value = key->Query("PATH");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, RegSz);
    EXPECT_EQ(value->data, "/usr/bin/hardinfo");
}

TEST_F(RegistryTest, DwordValueIsFourLittleEndianBytes) {
    const std::string file = WriteRegistry(std::string("[") + MsInfoKey + "]\nFlags=dword:1a2b\nAll=DWORD:FFFFFFFF\n");
    const auto key = RegistryKey::Open(file, MsInfoKey);
    ASSERT_TRUE(key);
    const auto flags = key->Query("Flags");
    ASSERT_TRUE(flags);
    EXPECT_EQ(flags->type, RegDword);
    EXPECT_EQ(flags->data, std::string("\x2b\x1a\0\0", 4));
    EXPECT_EQ(key->Query("All")->data, std::string("\xff\xff\xff\xff", 4));
}

TEST_F(RegistryTest, MissingOrMalformedValueFailsTheQuery) {
    const std::string file =
        WriteRegistry(std::string("[") + MsInfoKey + "]\nBad=dword:xyz\nLong=dword:123456789\nEmpty=dword:\n");
    const auto key = RegistryKey::Open(file, MsInfoKey);
    ASSERT_TRUE(key);
    EXPECT_FALSE(key->Query("PATH"));
    EXPECT_FALSE(key->Query("Bad"));
    EXPECT_FALSE(key->Query("Long"));
    EXPECT_FALSE(key->Query("Empty"));
}

TEST_F(RegistryTest, KeyAndValueNamesIgnoreCase) {
    const std::string file = WriteRegistry(std::string("[") + MsInfoKey + "]\nPath=/x\n");
    const auto key = RegistryKey::Open(file, "hkey_local_machine\\software\\microsoft\\shared tools\\msinfo");
    ASSERT_TRUE(key);
    EXPECT_EQ(key->Query("PATH")->data, "/x");
}

}  // namespace
}  // namespace vyk
