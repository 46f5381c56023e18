#include "files/cmcTcfFile.h"

#include "catalogue/cmcGTex.h"
#include "platform/fake/cmcFakePlatform.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int ModelWord = 0x3076;
constexpr int ExtraWord = 1;
constexpr cmcTcfRange NoRanges[] = {{1, 0}};

std::string FileError(const std::string& reason) {
    return "File error.\n\n" + reason;
}

class TcfFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        texts.Attach(EnglishTable());
        cmcGTex::SetProcess(&texts);
        source.SetSize(ImageSize);
        for (int a = 0; a < MapSize; ++a)
            source.SetByte(a, (a * 7 + a / 251) & 0xFF);
        std::memcpy(source.Data() + MarkerAddress, FormatMarker, FormatMarkerLength);
        target.SetSize(ImageSize);
        target.Fill(0x5A);
    }
    void TearDown() override { cmcGTex::SetProcess(nullptr); }

    // A file object set up as the document sets it up.
    void Prepare(cmcTcfFile& file, cmcEeprom& image) {
        file.AttachImage(image);
        file.SetModelWord(ModelWord);
        file.SetExtraWord(ExtraWord);
    }
    std::string WholeImageText(const std::string& comment = "") {
        cmcTcfFile file;
        Prepare(file, source);
        file.SetComment(comment);
        return file.Render(WholeImageRanges);
    }
    int ReadInto(cmcEeprom& image, const std::string& bytes,
                 std::span<const cmcTcfRange> ranges = WholeImageRanges) {
        const std::string path = folder.file("in.tcf");
        testenv::writeFile(path, bytes);
        cmcTcfFile file;
        Prepare(file, image);
        return file.Read(path, ranges);
    }
    bool SameMap(const cmcEeprom& left, const cmcEeprom& right) {
        return std::memcmp(left.Data(), right.Data(), MapSize) == 0;
    }
    const std::vector<cmcScriptedMessageBox::Shown>& Shown() { return platform.messages.shown(); }

    cmcFakePlatform platform;
    cmcGTex texts;
    cmcEeprom source;
    cmcEeprom target;
    testenv::TempFolder folder;
};

TEST_F(TcfFileTest, WholeImageRoundTrip) {
    const std::string path = folder.file("whole.tcf");
    cmcTcfFile writer;
    Prepare(writer, source);
    writer.SetComment("0123456789ABCDEF");
    ASSERT_EQ(writer.Write(path, WholeImageRanges), cmcTcfFile::Ok);
    EXPECT_TRUE(Shown().empty());

    const std::string text = testenv::readFile(path);
    EXPECT_EQ(text.size(), 321229u);
    EXPECT_EQ(text.substr(0, 30), "30760001\r\n#0123456789ABCDEF\r\n0");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 7302);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 7302);
    const size_t last = text.rfind("0001C83010");
    ASSERT_NE(last, std::string::npos);
    EXPECT_EQ(text.substr(last + 10), "5461726E436C6F6E65466F726D617433\r\n"); // the marker
    EXPECT_EQ(WholeImageText().size(), 321213u);

    cmcTcfFile reader;
    Prepare(reader, target);
    target.Fill(0);
    EXPECT_EQ(reader.Read(path, WholeImageRanges), cmcTcfFile::Ok);
    EXPECT_TRUE(target.IsEqual(source));
    EXPECT_TRUE(Shown().empty());
}

// Each case changes a good whole-image file; a failed read leaves the image untouched.
TEST_F(TcfFileTest, ReadCases) {
    using Edit = std::function<std::string(std::string)>;
    auto replaceFirst = [](std::string from, std::string to) -> Edit {
        return [=](std::string text) { return text.replace(text.find(from), from.size(), to); };
    };
    auto insertAfterLine = [](int line, std::string inserted) -> Edit {
        return [=](std::string text) {
            size_t at = 0;
            for (int i = 0; i < line; ++i)
                at = text.find('\n', at) + 1;
            return text.insert(at, inserted);
        };
    };
    auto removeLine = [](std::string start) -> Edit {
        return [=](std::string text) {
            const size_t at = text.find("\n" + start) + 1;
            return text.erase(at, text.find('\n', at) + 1 - at);
        };
    };
    struct Case {
        const char* name;
        Edit edit;
        int expected;
    } cases[] = {
        {"unchanged", [](std::string t) { return t; }, cmcTcfFile::Ok},
        {"header with a letter", replaceFirst("30760001", "3076000A"), cmcTcfFile::Format},
        {"other model", replaceFirst("30760001", "30770001"), cmcTcfFile::Model},
        {"other extra word", replaceFirst("30760001", "30760002"), cmcTcfFile::Extra},
        {"header of nine digits", replaceFirst("30760001", "307600010"), cmcTcfFile::Format},
        {"header of seven digits", replaceFirst("30760001", "3076000"), cmcTcfFile::Format},
        {"empty file", [](std::string) { return std::string(); }, cmcTcfFile::Format},
        {"header only, no line end", [](std::string) { return std::string("30760001"); },
         cmcTcfFile::Format},
        {"comment after the header", insertAfterLine(1, "#MapRev=2\r\n"), cmcTcfFile::Ok},
        {"comment among the data", insertAfterLine(3000, "#x\n"), cmcTcfFile::Ok},
        {"comment at the end", [](std::string t) { return t + "#end"; }, cmcTcfFile::Ok},
        {"blank line", insertAfterLine(2, "\r\n"), cmcTcfFile::Format},
        {"bare LF line ends",
         [](std::string t) {
             std::erase(t, '\r');
             return t;
         },
         cmcTcfFile::Ok},
        {"lower-case data",
         [](std::string t) {
             for (size_t i = t.find("\n0") + 1; i < t.size(); ++i)
                 t[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(t[i])));
             return t;
         },
         cmcTcfFile::Ok},
        {"line past the image", insertAfterLine(2, "0001CCB810" + std::string(32, '0') + "\r\n"),
         cmcTcfFile::Data},
        {"address wrapping in 32 bits",
         insertAfterLine(2, "FFFFFFF810" + std::string(32, '0') + "\r\n"), cmcTcfFile::Data},
        {"count 00", insertAfterLine(2, "0000000000\r\n"), cmcTcfFile::Format},
        {"eleven characters", insertAfterLine(2, "00000000010\r\n"), cmcTcfFile::Format},
        {"count longer than the line", insertAfterLine(2, "0000000002AA\r\n"), cmcTcfFile::Format},
        {"not hexadecimal", insertAfterLine(2, "000000000100G0\r\n"), cmcTcfFile::Format},
        {"over-long line", insertAfterLine(2, std::string(800, '0') + "\r\n"), cmcTcfFile::Format},
        // The line end does not count towards the 767 characters of one read.
        {"comment of 766 characters, CR LF",
         insertAfterLine(1, "#" + std::string(765, 'c') + "\r\n"), cmcTcfFile::Ok},
        {"comment of 767 characters, CR LF",
         insertAfterLine(1, "#" + std::string(766, 'c') + "\r\n"), cmcTcfFile::Ok},
        {"comment of 767 characters, LF", insertAfterLine(1, "#" + std::string(766, 'c') + "\n"),
         cmcTcfFile::Ok},
        {"comment of 768 characters, CR LF",
         insertAfterLine(1, "#" + std::string(767, 'c') + "\r\n"), cmcTcfFile::Format},
        {"missing middle line", removeLine("00010000"), cmcTcfFile::Coverage},
        {"missing last line", removeLine("0001C830"), cmcTcfFile::Coverage},
        {"last line without line end", [](std::string t) { return t.substr(0, t.size() - 2); },
         cmcTcfFile::Format},
        {"mapped byte outside the range table",
         insertAfterLine(2, "0001C84001" + std::string("00") + "\r\n"), cmcTcfFile::Data},
    };
    const std::string good = WholeImageText("comment");
    for (const Case& c : cases) {
        platform.messages.clear();
        target.Fill(0x5A);
        const int code = ReadInto(target, c.edit(good));
        EXPECT_EQ(code, c.expected) << c.name;
        if (code == cmcTcfFile::Ok) {
            EXPECT_TRUE(SameMap(target, source)) << c.name;
            EXPECT_TRUE(Shown().empty()) << c.name;
            continue;
        }
        EXPECT_EQ(target.GetByte(0), 0x5A) << c.name << ": a failed read must change nothing";
        EXPECT_EQ(target.GetByte(MapSize - 1), 0x5A) << c.name;
        ASSERT_EQ(Shown().size(), 1u) << c.name;
        EXPECT_EQ(Shown()[0].caption, "Pelham");
        EXPECT_EQ(Shown()[0].icon, MsgIcon::Warning);
    }
}

TEST_F(TcfFileTest, LaterLinesOverwriteEarlierOnes) {
    const std::string text = WholeImageText() + "0000000010" + std::string(32, 'A') + "\r\n" +
                             "00000100FF" + std::string(510, '7') + "\n";
    ASSERT_EQ(ReadInto(target, text), cmcTcfFile::Ok);
    for (int a = 0; a < 16; ++a)
        EXPECT_EQ(target.GetByte(a), 0xAA);
    for (int a = 0x100; a < 0x1FF; ++a)
        ASSERT_EQ(target.GetByte(a), 0x77) << a;
    EXPECT_EQ(target.GetByte(0x1FF), source.GetByte(0x1FF));
}

TEST_F(TcfFileTest, FileMissingItsLastLineFailsTheMarkerCheckBeforeCoverage) {
    std::string text = WholeImageText();
    text.erase(text.rfind("0001C830"));
    target.Fill(0);
    // The document reads without a table, then checks the marker, then the coverage.
    ASSERT_EQ(ReadInto(target, text, {}), cmcTcfFile::Ok);
    EXPECT_FALSE(target.HasFormatMarker());

    text = WholeImageText();
    const size_t line = text.find("\n00000100") + 1;
    text.erase(line, 44);
    cmcTcfFile file;
    Prepare(file, target);
    testenv::writeFile(folder.file("gap.tcf"), text);
    ASSERT_EQ(file.Read(folder.file("gap.tcf")), cmcTcfFile::Ok);
    EXPECT_TRUE(target.HasFormatMarker());
    EXPECT_EQ(file.CheckCoverage(WholeImageRanges), cmcTcfFile::Coverage);
    EXPECT_EQ(file.CheckCoverage({}), cmcTcfFile::Coverage);
}

TEST_F(TcfFileTest, SmallFixtureWithCommentsBareLineEndsAndLowerCase) {
    const cmcTcfRange firstLines[] = {{0, 31}, {1, 0}};
    cmcTcfFile file;
    Prepare(file, target);
    const std::string path = (testenv::dataFolder() / "tcf" / "small_lf_lower.tcf").string();
    ASSERT_EQ(file.Read(path, firstLines), cmcTcfFile::Ok);
    EXPECT_EQ(target.GetByte(0), 0x01);
    EXPECT_EQ(target.GetByte(7), 0xEF);
    EXPECT_EQ(target.GetByte(8), 0xFE);
    EXPECT_EQ(target.GetByte(31), 0x0F);
    EXPECT_EQ(target.GetByte(32), 0x5A);

    const cmcTcfRange firstLine[] = {{0, 15}, {1, 0}};
    EXPECT_EQ(file.CheckCoverage(firstLine), cmcTcfFile::Data);
    const cmcTcfRange moreLines[] = {{0, 47}, {1, 0}};
    EXPECT_EQ(file.CheckCoverage(moreLines), cmcTcfFile::Coverage);
    EXPECT_EQ(file.CheckCoverage(NoRanges), cmcTcfFile::Data);
}

TEST_F(TcfFileTest, WriteFollowsTheRangeTable) {
    const cmcTcfRange ranges[] = {{5, 40}, {100, 100}, {0, ImageSize}, {0, 15}};
    cmcTcfFile file;
    Prepare(file, source);
    file.SetComment("two\r\nlines");
    const std::string text = file.Render(ranges);
    auto bytes = [&](int first, int count) {
        std::string hex;
        char pair[3];
        for (int a = first; a < first + count; ++a) {
            std::snprintf(pair, sizeof pair, "%02X", source.GetByte(a));
            hex += pair;
        }
        return hex;
    };
    // A range outside the image ends the table like the end pair.
    EXPECT_EQ(text, "30760001\r\n#two  lines\r\n"
                    "000000050B" +
                        bytes(5, 11) + "\r\n" + "0000001010" + bytes(16, 16) + "\r\n" +
                        "0000002009" + bytes(32, 9) + "\r\n" + "0000006401" + bytes(100, 1) +
                        "\r\n");
}

TEST_F(TcfFileTest, WriteThatCannotOpenGivesCodeOne) {
    cmcTcfFile file;
    Prepare(file, source);
    for (const std::string& path : {folder.file("missing/out.tcf"), folder.path().string()}) {
        platform.messages.clear();
        EXPECT_EQ(file.Write(path, WholeImageRanges), cmcTcfFile::FileOpen) << path;
        ASSERT_EQ(Shown().size(), 1u);
        EXPECT_EQ(Shown()[0].text, FileError("Cannot open the file."));
    }
    EXPECT_FALSE(std::filesystem::exists(folder.file("missing")));
}

// Writes fail past a small file size limit, which holds for root as well.
TEST_F(TcfFileTest, FailedSaveKeepsTheOldFileByteForByte) {
    const std::string path = folder.file("keep.tcf");
    const std::string old = WholeImageText("old");
    testenv::writeFile(path, old);
    std::filesystem::permissions(path, std::filesystem::perms(0640));

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 4096;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    cmcTcfFile file;
    Prepare(file, source);
    file.SetComment("new");
    const int code = file.Write(path, WholeImageRanges);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(code, cmcTcfFile::FileAccess);
    EXPECT_EQ(Shown().at(0).text, FileError("Cannot access the file."));
    EXPECT_TRUE(testenv::readFile(path) == old);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path()))
        ++entries;
    EXPECT_EQ(entries, 1) << "the temporary file must be removed";

    // The next save replaces the file and keeps its permissions.
    ASSERT_EQ(file.Write(path, WholeImageRanges), cmcTcfFile::Ok);
    EXPECT_EQ(testenv::readFile(path), file.Render(WholeImageRanges));
    EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0640));
}

// Reading stops after MaxFileBytes, so an endless device or a huge file costs bounded memory.
TEST_F(TcfFileTest, EndlessOrHugeInputIsIllegalData) {
    cmcTcfFile file;
    Prepare(file, target);
    EXPECT_EQ(file.Read("/dev/zero"), cmcTcfFile::Format);
    // A named pipe nobody writes to reads as empty rather than waiting for a writer.
    const std::string pipe = folder.file("pipe.tcf");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(file.Read(pipe), cmcTcfFile::Format);
    std::string huge = WholeImageText();
    while (huge.size() <= cmcTcfFile::MaxFileBytes)
        huge += "#" + std::string(700, 'x') + "\r\n";
    EXPECT_EQ(ReadInto(target, huge), cmcTcfFile::Format);
    EXPECT_EQ(target.GetByte(0), 0x5A);
    ASSERT_EQ(Shown().size(), 3u);
    EXPECT_EQ(Shown()[0].text, FileError("Illegal data."));
}

// Root may write any file, so a protected file is tried as the user "nobody" when the
// tests run as root: the call runs in a child process and its result is the exit status.
constexpr uid_t Nobody = 65534;

int AsOrdinaryUser(const std::function<int()>& call) {
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(Nobody) != 0 || setuid(Nobody) != 0)) _exit(100);
        _exit(call());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void GiveToOrdinaryUser(const std::string& path) {
    if (geteuid() != 0) return;
    ASSERT_EQ(chown(path.c_str(), Nobody, Nobody), 0) << path;
}

// A save never replaces a file the user protected, nor one in a folder the user cannot
// write: "Cannot open the file." and the old bytes stay.
TEST_F(TcfFileTest, SaveNeverReplacesAProtectedFile) {
    using std::filesystem::perms;
    struct Case {
        const char* name;
        perms file;
        perms folder;
        int expected;
    } cases[] = {
        {"writable file", perms(0644), perms(0755), cmcTcfFile::Ok},
        {"read-only file", perms(0444), perms(0755), cmcTcfFile::FileOpen},
        {"read-only folder", perms(0644), perms(0555), cmcTcfFile::FileOpen},
    };
    for (const Case& c : cases) {
        testenv::TempFolder place;
        const std::string path = place.file("a.tcf");
        testenv::writeFile(path, "old");
        GiveToOrdinaryUser(place.path().string());
        GiveToOrdinaryUser(path);
        std::filesystem::permissions(path, c.file);
        std::filesystem::permissions(place.path(), c.folder);
        const int code = AsOrdinaryUser([&] {
            cmcTcfFile file;
            Prepare(file, source);
            return file.Write(path, WholeImageRanges);
        });
        std::filesystem::permissions(place.path(), perms(0755));
        EXPECT_EQ(code, c.expected) << c.name;
        int entries = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(place.path()))
            ++entries;
        EXPECT_EQ(entries, 1) << c.name;
        if (c.expected == cmcTcfFile::Ok) {
            EXPECT_EQ(std::filesystem::status(path).permissions(), c.file) << c.name;
            continue;
        }
        EXPECT_EQ(testenv::readFile(path), "old") << c.name;
    }
}

TEST_F(TcfFileTest, ReadOfAMissingFileGivesCodeOne) {
    cmcTcfFile file;
    Prepare(file, target);
    EXPECT_EQ(file.Read(folder.file("none.tcf")), cmcTcfFile::FileOpen);
    EXPECT_EQ(Shown().at(0).text, FileError("Cannot open the file."));
}

TEST_F(TcfFileTest, FileErrorMessages) {
    struct Case {
        int code;
        const char* text;
    } cases[] = {
        {3, "Illegal data."},
        {5, "Incompatible data."},
        {7, "There is not enough data."},
        {9, "Please update to the latest version."},
        {0, nullptr},
        {10, nullptr},
        {-1, nullptr},
    };
    for (const Case& c : cases) {
        platform.messages.clear();
        cmcTcfFile::ShowFileError(c.code);
        if (!c.text) {
            EXPECT_TRUE(Shown().empty()) << c.code;
            continue;
        }
        ASSERT_EQ(Shown().size(), 1u) << c.code;
        EXPECT_EQ(Shown()[0].text, FileError(c.text));
        EXPECT_EQ(Shown()[0].caption, "Pelham");
        EXPECT_EQ(Shown()[0].icon, MsgIcon::Warning);
        EXPECT_EQ(Shown()[0].buttons, MsgButtons::Ok);
    }
}

} // namespace
