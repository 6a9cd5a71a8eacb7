#include "settings/IniFile.h"

#include "model/Text.h"
#include "support/TempFolder.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kolvane {
namespace {

using testing::TempFolder;

TEST(IniFile, SettingAValueChangesOneLineAndKeepsEveryOtherByteForByte) {
    // Comments, a key outside any section, an unknown line, undecodable bytes, a repeated key and
    // section (the first counts), a blank line, LF line ends and a last line without one.
    IniFile ini =
        IniFile::Parse("; c\nstray=1\n[ data ]\n  pref = 13 \nnot a key\nPref=99\nRaw=\xFF\x81\nE=\n\n"
                       "[Data]\nLocale=1\n[Last]\nTail=x");
    EXPECT_EQ(ini.Get("DATA", "PREF", ""), "13");
    EXPECT_EQ(ini.Get("Data", "E", "default"), "") << "present but empty is not the default";
    EXPECT_EQ(ini.Get("Data", "Locale", "none"), "none") << "a repeated section is not searched";
    ASSERT_TRUE(ini.Set("Data", "Pref", "2"));
    ASSERT_TRUE(ini.Set("Data", "Locale", "44132"));
    ASSERT_TRUE(ini.Set("Last", "New", "y"));
    ASSERT_TRUE(ini.Set("Added", "K", "z"));
    EXPECT_EQ(ini.Serialize(),
              "; c\nstray=1\n[ data ]\npref=2\nnot a key\nPref=99\nRaw=\xFF\x81\nE=\nLocale=44132\n\n"
              "[Data]\nLocale=1\n[Last]\nTail=x\nNew=y\n[Added]\nK=z\n");

    // Each line keeps its own line end; new lines take the first line's.
    IniFile mixed = IniFile::Parse("[A]\r\nk=1\nj=2\r\n");
    ASSERT_TRUE(mixed.Set("A", "k", "3") && mixed.Set("A", "n", "4"));
    EXPECT_EQ(mixed.Serialize(), "[A]\r\nk=3\nj=2\r\nn=4\r\n");

    // A file cut between CR and LF: the CR is the line's end, not part of the value, and adding a
    // line after it completes the CR LF.
    IniFile cut = IniFile::Parse("[Path]\r\nLoad=/data/\r");
    EXPECT_EQ(cut.Get("Path", "Load", ""), "/data/");
    EXPECT_EQ(cut.Serialize(), "[Path]\r\nLoad=/data/\r");
    ASSERT_TRUE(cut.Set("Data", "Pref", "13"));
    EXPECT_EQ(cut.Serialize(), "[Path]\r\nLoad=/data/\r\n[Data]\r\nPref=13\r\n");
    EXPECT_EQ(IniFile::Parse(cut.Serialize()).Get("Path", "Load", ""), "/data/");

    // 転 is 0x93 0x5D in CP932: its second byte is "]" and must not end the section name.
    IniFile japanese = IniFile::Parse(EncodeCp932("[転送]\r\n場所=表\r\n"));
    EXPECT_EQ(japanese.Get("転送", "場所", ""), "表");
}

TEST(IniFile, ReadValuesAreCutTo255BytesWithoutBreakingACharacter) {
    std::string kanji128, kana256;
    for (int i = 0; i < 128; ++i)
        kanji128 += "東"; // two CP932 bytes each
    for (int i = 0; i < 256; ++i)
        kana256 += "ｱ"; // one CP932 byte each
    const std::string kanji127 = kanji128.substr(0, 127 * 3);
    IniFile ini;
    ASSERT_TRUE(ini.Set("S", "Ascii", std::string(300, 'a')) && ini.Set("S", "Even", kanji128) &&
                ini.Set("S", "Odd", "a" + kanji128) && ini.Set("S", "Kana", kana256));
    EXPECT_EQ(ini.Get("S", "Ascii", ""), std::string(255, 'a'));
    EXPECT_EQ(ini.Get("S", "Even", ""), kanji127) << "254 bytes: no half character at the end";
    EXPECT_EQ(ini.Get("S", "Odd", ""), "a" + kanji127);
    EXPECT_EQ(ini.Get("S", "Kana", ""), kana256.substr(0, 255 * 3));
}

TEST(IniFile, RefusesWhatCouldNotBeReadBackAndNeverLosesAFile) {
    TempFolder temp;
    const std::string good = "[Data]\r\nPref=13\r\n; keep me\r\n";
    const std::string path = temp.Write("kolvane.ini", good);
    IniFile ini = IniFile::Load(path);
    EXPECT_FALSE(ini.Set("Data", "Pref", "1\r\n[Evil]"));
    EXPECT_FALSE(ini.Set("Data", "Pref", std::string("1\0", 2)));
    EXPECT_FALSE(ini.Set("Da]ta", "Pref", "1") || ini.Set("Data", "Pr=ef", "1") || ini.Set("", "Pref", "1"));
    EXPECT_EQ(ini.Serialize(), good);
    EXPECT_EQ(WriteIniValue(path, "Data", "Pref", "a\nb"), EINVAL);
    EXPECT_NE(WriteIniValue(temp.File("missing/kolvane.ini"), "Data", "Pref", "1"), 0);
    EXPECT_EQ(TempFolder::Read(path), good);

    // A file that exists but cannot be read is not replaced by one holding only the new key.
    if (::geteuid() == 0) GTEST_SKIP() << "root reads a file without read permission";
    ASSERT_EQ(::chmod(path.c_str(), 0200), 0);
    EXPECT_EQ(WriteIniValue(path, "Data", "Pref", "1"), EACCES);
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    EXPECT_EQ(TempFolder::Read(path), good);
    EXPECT_EQ(temp.EntryCount(), 1);
}

} // namespace
} // namespace kolvane
