#include "settings/profile_file.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace lomi {
namespace {

using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

class ProfileFileTest : public ::testing::Test {
protected:
    std::string Read(std::string_view bytes, const std::string& section, const std::string& key) {
        WriteBytes(file_, bytes);
        return ReadProfileString(Path(), section, key);
    }

    // The file after writing one key into the given bytes.
    std::string Write(std::string_view bytes, const std::string& section, const std::string& key,
                      const std::string& value) {
        WriteBytes(file_, bytes);
        const WriteResult result = WriteProfileString(Path(), section, key, value);
        EXPECT_TRUE(result.ok) << result.message;
        EXPECT_TRUE(result.keptKeys.empty());
        return ReadBytes(file_);
    }

    std::string Path() const { return file_.string(); }

    TempFolder folder_;
    std::filesystem::path file_ = folder_ / "Lomi.ini";
};

TEST_F(ProfileFileTest, MissingFileSectionOrKeyReadsEmpty) {
    EXPECT_EQ(ReadProfileString(Path(), "DEF", "PATH"), "");
    EXPECT_FALSE(std::filesystem::exists(file_)) << "reading never creates the file";
    EXPECT_EQ(Read("[OTHER]\r\nPATH=x\r\n", "DEF", "PATH"), "");
    EXPECT_EQ(Read("[DEF]\r\nCON1=1\r\n", "DEF", "PATH"), "");
    EXPECT_EQ(Read("", "DEF", "PATH"), "");
    EXPECT_EQ(Read("PATH=before any section\r\n[DEF]\r\n", "DEF", "PATH"), "");
}

TEST_F(ProfileFileTest, NamesMatchWithoutRegardToLetterCase) {
    EXPECT_EQ(Read("[def]\r\npath=C:\\A\r\n", "DEF", "PATH"), "C:\\A");
    EXPECT_EQ(Read("[Def]\r\nPaTh=C:\\A\r\n", "DEF", "path"), "C:\\A");
    EXPECT_EQ(Read("[DEF]\r\nCON1=5\r\n", "def", "con1"), "5");
}

TEST_F(ProfileFileTest, BlanksAroundNamesAndValuesAreIgnored) {
    EXPECT_EQ(Read("  [ DEF ]  \r\n \t PATH \t=\t C:\\A B \t\r\n", "DEF", "PATH"), "C:\\A B");
    EXPECT_EQ(Read("[DEF]\r\nCON1=\r\n", "DEF", "CON1"), "");
    EXPECT_EQ(Read("[DEF]\r\nCON1=   \r\n", "DEF", "CON1"), "");
}

TEST_F(ProfileFileTest, EnclosingQuotesAreRemoved) {
    EXPECT_EQ(Read("[DEF]\r\nPATH=\" C:\\A \"\r\n", "DEF", "PATH"), " C:\\A ");
    EXPECT_EQ(Read("[DEF]\r\nPATH='C:\\A'\r\n", "DEF", "PATH"), "C:\\A");
    EXPECT_EQ(Read("[DEF]\r\nPATH=\"\"\r\n", "DEF", "PATH"), "");
    // Only a matching pair encloses.
    EXPECT_EQ(Read("[DEF]\r\nPATH=\"C:\\A\r\n", "DEF", "PATH"), "\"C:\\A");
    EXPECT_EQ(Read("[DEF]\r\nPATH=\"C:\\A'\r\n", "DEF", "PATH"), "\"C:\\A'");
    EXPECT_EQ(Read("[DEF]\r\nPATH=\"\r\n", "DEF", "PATH"), "\"");
}

TEST_F(ProfileFileTest, FirstOfDuplicateKeysAndSectionsCounts) {
    EXPECT_EQ(Read("[DEF]\r\nCON1=1\r\ncon1=2\r\n", "DEF", "CON1"), "1");
    EXPECT_EQ(Read("[DEF]\r\nCON1=1\r\n[DEF]\r\nCON1=2\r\nCON2=3\r\n", "DEF", "CON1"), "1");
    EXPECT_EQ(Read("[DEF]\r\nCON1=1\r\n[DEF]\r\nCON2=3\r\n", "DEF", "CON2"), "");
}

TEST_F(ProfileFileTest, LinesWithoutEqualsAndCommentsAreNotKeys) {
    EXPECT_EQ(Read("[DEF]\r\nCON1\r\nCON1=4\r\n", "DEF", "CON1"), "4");
    EXPECT_EQ(Read("[DEF]\r\n;CON1=9\r\n  ; CON1=8\r\nCON1=4\r\n", "DEF", "CON1"), "4");
    EXPECT_EQ(Read("[DEF]\r\n;CON1=9\r\n", "DEF", ";CON1"), "");
    // A '[' line without ']' neither starts a section nor ends one.
    EXPECT_EQ(Read("[DEF]\r\n[broken\r\nCON1=4\r\n", "DEF", "CON1"), "4");
    // Text after the closing bracket does not belong to the name.
    EXPECT_EQ(Read("[DEF] ; settings\r\nCON1=4\r\n", "DEF", "CON1"), "4");
}

TEST_F(ProfileFileTest, CrLfLoneCrAndLoneLfEachEndALine) {
    EXPECT_EQ(Read("[DEF]\rCON1=1\rCON2=2\r", "DEF", "CON2"), "2");
    EXPECT_EQ(Read("[DEF]\nCON1=1\nCON2=2", "DEF", "CON2"), "2");
    EXPECT_EQ(Read("[DEF]\r\n\r\r\nCON1=1\n\rCON2=2", "DEF", "CON2"), "2");
    EXPECT_EQ(Read("[DEF]\rCON1=1\r", "DEF", "CON1"), "1");
}

TEST_F(ProfileFileTest, ValuesAreCodePage932) {
    // 競馬\データ, and ソ/表 whose second bytes are a backslash.
    EXPECT_EQ(
        Read("[DEF]\r\nPATH=C:\\\x8b\xa3\x94\x6e\\\x83\x66\x81\x5b\x83\x5e\r\n", "DEF", "PATH"),
        "C:\\競馬\\データ");
    EXPECT_EQ(Read("[DEF]\r\nPATH=D:\\\x83\x5c\\\x95\x5c\r\n", "DEF", "PATH"), "D:\\ソ\\表");
    // A section name whose last character ends in the byte of ']'.
    EXPECT_EQ(Read("[\x83\x5d]\r\nA=1\r\n", "ゾ", "A"), "1");
    EXPECT_EQ(Read("[DEF]\r\n[\x83\x5d\r\nA=1\r\n", "DEF", "A"), "1") << "[ゾ is no section";
    // The second byte of a character is not an ASCII letter to fold: ア is
    // 83 41 and ヂ is 83 61.
    EXPECT_EQ(Read("[DEF]\r\n\x83\x41=1\r\n", "DEF", "ヂ"), "");
    EXPECT_EQ(Read("[DEF]\r\n\x83\x61=1\r\n", "DEF", "ア"), "");
    EXPECT_EQ(Read("[DEF]\r\n\x83\x61=1\r\n", "DEF", "ヂ"), "1");
}

TEST_F(ProfileFileTest, LongValueIsCutTo254BytesNeverInsideACharacter) {
    const std::string ascii(300, 'a');
    EXPECT_EQ(Read("[DEF]\r\nPATH=" + ascii + "\r\n", "DEF", "PATH"), std::string(254, 'a'));

    // 253 ASCII bytes then a double-byte character: it does not fit whole.
    const std::string value = std::string(253, 'b') + "\x83\x66" + "cc";
    EXPECT_EQ(Read("[DEF]\r\nPATH=" + value + "\r\n", "DEF", "PATH"), std::string(253, 'b'));

    // Quotes come off before the cut.
    EXPECT_EQ(Read("[DEF]\r\nPATH=\"" + std::string(254, 'q') + "\"\r\n", "DEF", "PATH"),
              std::string(254, 'q'));
}

TEST_F(ProfileFileTest, ValueEndsAtTheFirstNul) {
    EXPECT_EQ(Read(std::string("[DEF]\r\nPATH=C:\\A\0B\r\n", 16), "DEF", "PATH"), "C:\\A");
}

TEST_F(ProfileFileTest, WriteReplacesTheValueWhereTheKeyStands) {
    const std::string before =
        "; Lomi\r\n[DEF]\r\n  path = \"old\" \r\nCON1=1\r\n\r\n[OTHER]\r\nPATH=keep\r\n";
    EXPECT_EQ(Write(before, "DEF", "PATH", "C:\\new"),
              "; Lomi\r\n[DEF]\r\npath=C:\\new\r\nCON1=1\r\n\r\n[OTHER]\r\nPATH=keep\r\n");
    // A key that already holds the value stays as written.
    EXPECT_EQ(Write("[DEF]\r\n PATH = \"C:\\x\" \r\nCON1=1", "DEF", "PATH", "C:\\x"),
              "[DEF]\r\n PATH = \"C:\\x\" \r\nCON1=1");
    // Only the first of duplicate keys changes.
    EXPECT_EQ(Write("[DEF]\r\nCON1=1\r\nCON1=2\r\n", "def", "con1", "3"),
              "[DEF]\r\nCON1=3\r\nCON1=2\r\n");
    // A replaced line gets CR LF, the others keep their own line breaks.
    EXPECT_EQ(Write("[DEF]\nCON1=1\nCON2=2", "DEF", "CON2", "5"), "[DEF]\nCON1=1\nCON2=5\r\n");
    EXPECT_EQ(Write("[DEF]\rCON1=1\rCON2=2\r", "DEF", "CON1", "5"), "[DEF]\rCON1=5\r\nCON2=2\r");
}

TEST_F(ProfileFileTest, WriteAddsAMissingKeyAtTheEndOfItsSection) {
    EXPECT_EQ(Write("[DEF]\r\nCON1=1\r\n; note\r\n\r\n\r\n[OTHER]\r\nX=1\r\n", "DEF", "CON2", "2"),
              "[DEF]\r\nCON1=1\r\n; note\r\nCON2=2\r\n\r\n\r\n[OTHER]\r\nX=1\r\n");
    EXPECT_EQ(Write("[DEF]\r\n[OTHER]\r\n", "DEF", "CON2", "2"), "[DEF]\r\nCON2=2\r\n[OTHER]\r\n");
    // The file's last line has no line break: one is added before the key.
    EXPECT_EQ(Write("[DEF]\r\nCON1=1", "DEF", "CON2", "2"), "[DEF]\r\nCON1=1\r\nCON2=2\r\n");
    EXPECT_EQ(Write("[DEF]", "DEF", "CON2", "2"), "[DEF]\r\nCON2=2\r\n");
    // Added to the first of duplicate sections, where a reader looks.
    EXPECT_EQ(Write("[DEF]\r\nA=1\r\n[DEF]\r\nB=1\r\n", "DEF", "B", "2"),
              "[DEF]\r\nA=1\r\nB=2\r\n[DEF]\r\nB=1\r\n");
}

TEST_F(ProfileFileTest, WriteAddsAMissingSectionAtTheEnd) {
    EXPECT_EQ(Write("[OTHER]\r\nX=1\r\n", "DEF", "PATH", "C:\\"),
              "[OTHER]\r\nX=1\r\n[DEF]\r\nPATH=C:\\\r\n");
    EXPECT_EQ(Write("; only a comment", "DEF", "PATH", "C:\\"),
              "; only a comment\r\n[DEF]\r\nPATH=C:\\\r\n");
    EXPECT_EQ(Write("", "DEF", "PATH", "C:\\"), "[DEF]\r\nPATH=C:\\\r\n");
}

TEST_F(ProfileFileTest, WriteCreatesAMissingFile) {
    const WriteResult result = WriteProfileString(Path(), "DEF", "CON1", "7");
    EXPECT_TRUE(result.ok) << result.message;
    EXPECT_EQ(ReadBytes(file_), "[DEF]\r\nCON1=7\r\n");
}

TEST_F(ProfileFileTest, WrittenValuesReadBackExactly) {
    for (const std::string& value : std::vector<std::string>{
             "C:\\競馬\\データ", "D:\\ソフト\\表\\", " leading", "trailing\t", "\"quoted\"",
             "'single'", "\"", "a=b=c", "; not a comment", "[not a section]", ""}) {
        const WriteResult result = WriteProfileString(Path(), "DEF", "PATH", value);
        ASSERT_TRUE(result.ok) << result.message;
        EXPECT_TRUE(result.keptKeys.empty()) << value;
        EXPECT_EQ(ReadProfileString(Path(), "DEF", "PATH"), value);
    }
    EXPECT_EQ(ReadBytes(file_), "[DEF]\r\nPATH=\r\n");
}

TEST_F(ProfileFileTest, ValueAReaderWouldNotGetBackIsNotWritten) {
    const std::string before = "[DEF]\r\nPATH=C:\\old\r\nCON1=1\r\n";
    for (const std::string& value :
         std::vector<std::string>{std::string("C:\\\xF0\x9F\x90\x8E"),  // a horse emoji
                                  std::string("C:\\a\r\n[DEF]\r\nCON1=5"), std::string("C:\\a\nb"),
                                  std::string("C:\\a\0b", 6), std::string(255, 'x')}) {
        WriteBytes(file_, before);
        const WriteResult result =
            WriteProfileStrings(Path(), "DEF", {{"PATH", value}, {"CON1", "2"}});
        EXPECT_TRUE(result.ok) << result.message;
        EXPECT_EQ(result.keptKeys, std::vector<std::string>{"PATH"});
        EXPECT_EQ(ReadBytes(file_), "[DEF]\r\nPATH=C:\\old\r\nCON1=2\r\n");
    }
    // 254 bytes is the most a reader gets back, and still written.
    const WriteResult result = WriteProfileString(Path(), "DEF", "PATH", std::string(254, 'x'));
    EXPECT_TRUE(result.keptKeys.empty());
    EXPECT_EQ(ReadProfileString(Path(), "DEF", "PATH"), std::string(254, 'x'));
}

TEST_F(ProfileFileTest, SeveralKeysInOneWriteEqualWritingThemOneByOne) {
    const std::vector<ProfileEntry> entries = {
        {"PATH", "C:\\x"}, {"CON1", "1"}, {"NEW", "n"}, {"con1", "2"}, {"PATH", " y"}};
    for (const std::string& before :
         std::vector<std::string>{"", "[DEF]", "[def]\r\npath=1\r\n\r\n[X]\r\nNEW=0\r\n",
                                  "a\rb\n[DEF]\nNEW=q\n[DEF]\r\n"}) {
        WriteBytes(file_, before);
        for (const ProfileEntry& entry : entries) {
            ASSERT_TRUE(WriteProfileString(Path(), "DEF", entry.key, entry.value).ok);
        }
        const std::string oneByOne = ReadBytes(file_);

        WriteBytes(file_, before);
        ASSERT_TRUE(WriteProfileStrings(Path(), "DEF", entries).ok);
        EXPECT_EQ(ReadBytes(file_), oneByOne) << before;
    }
}

}  // namespace
}  // namespace lomi
