// pelham-cli against harlon-sim on a pseudo-terminal: the real termios port, the real
// protocol and the real timers, end to end.

#include "CloneToolProcess.h"

#include "app/indDocumentFile.h"
#include "catalogue/cmcGTex.h"
#include "model/cmcDefaultImages.h"
#include "model/cmcImageCorrection.h"
#include "model/cmcMemoryMap.h"
#include "model/cmcOrganisation.h"
#include "model/datCh.h"
#include "model/indDestination.h"
#include "platform/fake/cmcFakePlatform.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <sstream>

namespace {

class CloneEndToEnd : public ::testing::Test {
  protected:
    CloneEndToEnd() {
        catalogue.Attach(EnglishTable());
        cmcGTex::SetProcess(&catalogue);
    }
    ~CloneEndToEnd() override { cmcGTex::SetProcess(nullptr); }

    // A clone data file of a random image with the format marker.
    std::string MakeImageFile(const std::string& name, unsigned seed, bool marker = true) {
        cmcEeprom image;
        image.SetSize(ImageSize);
        std::mt19937 random(seed);
        for (int a = 0; a < MapSize; ++a)
            image.SetByte(a, int(random() & 0xFF));
        if (marker)
            image.SetBytes(MarkerAddress, reinterpret_cast<const uint8_t*>(FormatMarker),
                           FormatMarkerLength);
        const std::string path = temp.file(name);
        EXPECT_EQ(WriteDocumentFile(path, image), 0);
        return path;
    }

    // A clone data file as the program saves it: the new document of destination 0 with
    // some channels of the first group retuned, so the write carries real records.
    std::string MakeDocumentFile(const std::string& name, uint32_t firstMhz = 145, int channels = 2,
                                 const std::string& comment = {}) {
        cmcEeprom image;
        image.SetSize(ImageSize);
        FillDefaultImage(image, 0);
        indDestination destination(0);
        cmcOrganisation organisation(image, &destination);
        organisation.Adopt();
        datCh channel = organisation.Record();
        for (int slot = 0; slot < channels; ++slot) {
            channel.Load(datKind::Mch, slot);
            channel.frequency = (firstMhz + uint32_t(slot)) * 1000000u;
            channel.Store(datKind::Mch, slot);
        }
        if (!comment.empty())
            image.SetBytes(memmap::CloneComment, reinterpret_cast<const uint8_t*>(comment.data()),
                           int(comment.size()));
        PrepareForSave(organisation);
        const std::string path = temp.file(name);
        EXPECT_EQ(WriteDocumentFile(path, image), 0);
        return path;
    }

    // The map bytes of a clone data file, read without any check.
    std::string MapOf(const std::string& path) {
        cmcEeprom image;
        image.SetSize(ImageSize);
        EXPECT_EQ(ReadDocumentFile(path, image), 0) << path;
        return std::string(reinterpret_cast<const char*>(image.Data()), MapSize);
    }

    // The settings and the backups stay inside the test's folder.
    CloneToolResult Cli(std::vector<std::string> args, int timeoutMs = 60000) {
        args.insert(args.begin(), (testenv::binaryFolder() / "pelham-cli").string());
        return RunCloneTool(args,
                            {"XDG_CONFIG_HOME=" + temp.path().string(),
                             "XDG_DATA_HOME=" + (temp.path() / "data").string()},
                            timeoutMs);
    }

    // The backups pelham-cli has made, oldest first.
    std::vector<std::string> Backups() {
        std::vector<std::string> found;
        const auto folder = temp.path() / "data" / "pelham" / "backups";
        if (!std::filesystem::exists(folder)) return found;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            found.push_back(entry.path().string());
        std::sort(found.begin(), found.end());
        return found;
    }

    cmcFakePlatform platform;
    cmcGTex catalogue;
    testenv::TempFolder temp;
};

TEST_F(CloneEndToEnd, InfoShowsTheReceiversDestinationAndFlags) {
    SimProcess sim({"--destination", "3", "--flags", "2"});
    const CloneToolResult result = Cli({"info", "--port", sim.Port()});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("destination 3"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("fcc-inhibit 1"), std::string::npos);
    EXPECT_NE(result.out.find("rx-expansion 0"), std::string::npos);
}

// The information answer opens with the receiver's clone comment: the one it holds, and
// after a write the one written.
TEST_F(CloneEndToEnd, InfoShowsTheCommentTheReceiverHoldsNow) {
    const auto payloadOf = [](const std::string& comment) {
        std::string hex = "payload";
        char byte[4];
        for (unsigned char ch : comment) {
            std::snprintf(byte, sizeof byte, " %02X", ch);
            hex += byte;
        }
        return hex;
    };
    cmcEeprom image;
    image.SetSize(ImageSize);
    FillDefaultImage(image, 0);
    const std::string before = "Old comment     ";
    image.SetBytes(memmap::CloneComment, reinterpret_cast<const uint8_t*>(before.data()), 16);
    const std::string previous = temp.file("previous.tcf");
    ASSERT_EQ(WriteDocumentFile(previous, image), 0);
    SimProcess sim({"--image", previous});
    CloneToolResult result = Cli({"info", "--port", sim.Port()});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find(payloadOf(before)), std::string::npos) << result.out;

    const std::string source = MakeDocumentFile("source.tcf", 146, 2, "My first clone o");
    result =
        Cli({"write", "--port", sim.Port(), "--destination", "0", "--yes", "--no-backup", source});
    ASSERT_EQ(result.status, 0) << result.err;
    result = Cli({"info", "--port", sim.Port()});
    EXPECT_NE(result.out.find(payloadOf("My first clone o")), std::string::npos) << result.out;
}

struct Transfer {
    bool highSpeed;
    int frameBytes;
};

class CloneReadEndToEnd : public CloneEndToEnd, public ::testing::WithParamInterface<Transfer> {};

TEST_P(CloneReadEndToEnd, GivesAFileIdenticalToTheReceiversImage) {
    const std::string source = MakeImageFile("source.tcf", unsigned(GetParam().frameBytes));
    SimProcess sim({"--image", source, "--frame-bytes", std::to_string(GetParam().frameBytes)});
    const std::string out = temp.file("out.tcf");
    std::vector<std::string> args = {"read", "--port", sim.Port(), "--destination", "0", out};
    if (GetParam().highSpeed) args.insert(args.begin() + 1, "--high-speed");
    const CloneToolResult result = Cli(args);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(testenv::readFile(out), testenv::readFile(source));
}

INSTANTIATE_TEST_SUITE_P(Speeds, CloneReadEndToEnd,
                         ::testing::Values(Transfer{false, 32}, Transfer{true, 32},
                                           Transfer{false, 16}, Transfer{false, 252}),
                         [](const auto& info) {
                             return std::string(info.param.highSpeed ? "High" : "Normal") +
                                    std::to_string(info.param.frameBytes);
                         });

class CloneWriteEndToEnd : public CloneEndToEnd, public ::testing::WithParamInterface<bool> {};

TEST_P(CloneWriteEndToEnd, GivesTheReceiverExactlyTheFilesImage) {
    const std::string source = MakeDocumentFile("source.tcf");
    const std::string saved = temp.file("saved.tcf");
    SimProcess sim({"--save", saved});
    std::vector<std::string> args = {"write", "--port", sim.Port(), "--destination",
                                     "0",     "--yes",  source};
    if (GetParam()) args.insert(args.begin() + 1, "--high-speed");
    const CloneToolResult result = Cli(args);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find("Cloning is succeeded."), std::string::npos);
    EXPECT_EQ(MapOf(saved), MapOf(source));
}

INSTANTIATE_TEST_SUITE_P(Speeds, CloneWriteEndToEnd, ::testing::Values(false, true),
                         [](const auto& info) {
                             return std::string(info.param ? "High" : "Normal");
                         });

// Before anything is sent the receiver is read whole and kept as a dated file.
TEST_F(CloneEndToEnd, WriteLeavesABackupIdenticalToTheReceiversPreviousImage) {
    const std::string previous = MakeImageFile("previous.tcf", 11);
    const std::string source = MakeDocumentFile("source.tcf");
    const std::string saved = temp.file("saved.tcf");
    SimProcess sim({"--image", previous, "--save", saved});
    const CloneToolResult result =
        Cli({"write", "--port", sim.Port(), "--destination", "0", "--yes", source});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::vector<std::string> backups = Backups();
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(testenv::readFile(backups[0]), testenv::readFile(previous));
    EXPECT_NE(result.err.find("backup: " + backups[0]), std::string::npos) << result.err;
    EXPECT_EQ(MapOf(saved), MapOf(source));
}

TEST_F(CloneEndToEnd, NoBackupWritesWithoutReadingFirst) {
    const std::string source = MakeDocumentFile("source.tcf");
    const std::string saved = temp.file("saved.tcf");
    SimProcess sim({"--save", saved});
    const CloneToolResult result =
        Cli({"write", "--port", sim.Port(), "--destination", "0", "--yes", "--no-backup", source});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(Backups().empty());
    EXPECT_EQ(MapOf(saved), MapOf(source));
}

// The setting turns the backup off for every write.
TEST_F(CloneEndToEnd, TheSettingTurnsTheBackupOff) {
    std::filesystem::create_directories(temp.path() / "Tarn");
    testenv::writeFile(temp.file("Tarn/Pelham.conf"), "[Clone]\nBackupBeforeWrite=false\n");
    const std::string source = MakeDocumentFile("source.tcf");
    const std::string saved = temp.file("saved.tcf");
    SimProcess sim({"--save", saved});
    const CloneToolResult result =
        Cli({"write", "--port", sim.Port(), "--destination", "0", "--yes", source});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(Backups().empty());
    EXPECT_EQ(MapOf(saved), MapOf(source));
}

// A backup read that fails stops the write: the receiver never sees a write request.
struct BackupFault {
    const char* name;
    std::vector<std::string> sim;
    int code;
};

class CloneBackupFaultEndToEnd : public CloneEndToEnd,
                                 public ::testing::WithParamInterface<BackupFault> {};

TEST_P(CloneBackupFaultEndToEnd, SendsNothing) {
    const std::string source = MakeDocumentFile("source.tcf");
    const std::string saved = temp.file("saved.tcf");
    std::vector<std::string> simArgs = GetParam().sim;
    for (std::string& word : simArgs)
        if (word == "UNMARKED") word = MakeImageFile("unmarked.tcf", 4, false);
    simArgs.insert(simArgs.end(), {"--save", saved});
    SimProcess sim(simArgs);
    const CloneToolResult result =
        Cli({"write", "--port", sim.Port(), "--destination", "0", "--yes", source});
    EXPECT_EQ(result.status, GetParam().code) << result.err;
    EXPECT_NE(result.err.find("could not be backed up, so nothing was written"), std::string::npos)
        << result.err;
    EXPECT_FALSE(std::filesystem::exists(saved));
    EXPECT_TRUE(Backups().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, CloneBackupFaultEndToEnd,
    ::testing::Values(BackupFault{"DropFrame", {"--fault", "drop-frame"}, 8},
                      BackupFault{"BadChecksum", {"--fault", "bad-checksum"}, 6},
                      BackupFault{"Stall", {"--fault", "stall-after=20000"}, 5},
                      BackupFault{"NoMarker", {"--image", "UNMARKED"}, 15}),
    [](const auto& info) { return std::string(info.param.name); });

// A backup that cannot be saved stops the write as well.
TEST_F(CloneEndToEnd, ABackupThatCannotBeSavedSendsNothing) {
    std::filesystem::create_directories(temp.path() / "data" / "pelham");
    testenv::writeFile((temp.path() / "data" / "pelham" / "backups").string(), "not a folder");
    const std::string source = MakeDocumentFile("source.tcf");
    const std::string saved = temp.file("saved.tcf");
    SimProcess sim({"--save", saved});
    const CloneToolResult result =
        Cli({"write", "--port", sim.Port(), "--destination", "0", "--yes", source});
    EXPECT_EQ(result.status, 18) << result.err;
    EXPECT_NE(result.err.find("could not be saved, so nothing was written"), std::string::npos)
        << result.err;
    EXPECT_FALSE(std::filesystem::exists(saved));
}

TEST_F(CloneEndToEnd, VerifyReadsBackWhatWasWritten) {
    const std::string source = MakeDocumentFile("source.tcf");
    const std::string saved = temp.file("saved.tcf");
    SimProcess sim({"--save", saved});
    const CloneToolResult result =
        Cli({"write", "--port", sim.Port(), "--destination", "0", "--yes", "--verify", source});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find("verified"), std::string::npos) << result.err;
    EXPECT_EQ(Backups().size(), 1u);
    EXPECT_EQ(MapOf(saved), MapOf(source));
}

// A receiver whose memory does not keep one bit of the first channel's frequency: the
// read-back names the channel, by --verify or by the setting.
class CloneVerifyFaultEndToEnd : public CloneEndToEnd,
                                 public ::testing::WithParamInterface<bool> {};

TEST_P(CloneVerifyFaultEndToEnd, NamesTheChannelThatDiffers) {
    const bool bySetting = GetParam();
    if (bySetting) {
        std::filesystem::create_directories(temp.path() / "Tarn");
        testenv::writeFile(temp.file("Tarn/Pelham.conf"), "[Clone]\nVerifyAfterWrite=1\n");
    }
    const std::string source = MakeDocumentFile("source.tcf");
    SimProcess sim({"--fault", "corrupt-stored"});
    std::vector<std::string> args = {"write", "--port", sim.Port(),    "--destination",
                                     "0",     "--yes",  "--no-backup", source};
    if (!bySetting) args.push_back("--verify");
    const CloneToolResult result = Cli(args);
    EXPECT_EQ(result.status, 19) << result.err;
    EXPECT_NE(result.err.find("The receiver does not hold what was written."), std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("Group Initial, channel 0-0: Frequency 145.000000 → "),
              std::string::npos)
        << result.err;
    EXPECT_EQ(result.err.find("Cloning is succeeded."), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Ways, CloneVerifyFaultEndToEnd, ::testing::Values(false, true),
                         [](const auto& info) {
                             return std::string(info.param ? "Setting" : "Flag");
                         });

// Without --verify or the setting nothing is read back, so the flaw goes unnoticed.
TEST_F(CloneEndToEnd, WithoutVerifyTheWriteEndsAtTheAcknowledgement) {
    const std::string source = MakeDocumentFile("source.tcf");
    SimProcess sim({"--fault", "corrupt-stored"});
    const CloneToolResult result =
        Cli({"write", "--port", sim.Port(), "--destination", "0", "--yes", "--no-backup", source});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err.find("verified"), std::string::npos);
}

// The bytes of the trace's lines in one direction, as "FE FE EE ..." text.
std::string TracedBytes(const std::string& trace, char direction) {
    std::string bytes;
    std::istringstream lines(trace);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        unsigned ms = 0;
        char mark = 0;
        if (!(words >> ms >> mark) || mark != direction) continue;
        for (std::string word; words >> word;)
            bytes += (bytes.empty() ? "" : " ") + word;
    }
    return bytes;
}

TEST_F(CloneEndToEnd, TraceOfAnInformationExchangeShowsRequestEchoAndAnswer) {
    SimProcess sim({});
    const std::string trace = temp.file("trace.txt");
    const CloneToolResult result = Cli({"info", "--port", sim.Port(), "--trace", trace});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string text = testenv::readFile(trace);
    EXPECT_NE(text.find("# open " + sim.Port() + " 9600 baud"), std::string::npos) << text;
    const std::string sent = TracedBytes(text, '>');
    const std::string received = TracedBytes(text, '<');
    EXPECT_EQ(sent.rfind("FE FE EE EF E0", 0), 0u) << text;
    // The cable's echo of the request comes first, then the receiver's answer.
    EXPECT_EQ(received.rfind(sent, 0), 0u) << text;
    EXPECT_NE(received.find("FE FE EF EE E1 30 76 00 01", sent.size()), std::string::npos) << text;
}

TEST_F(CloneEndToEnd, ATraceFileThatCannotBeWrittenStopsBeforeTheLineOpens) {
    const std::string source = MakeDocumentFile("source.tcf");
    const std::string saved = temp.file("saved.tcf");
    SimProcess sim({"--save", saved});
    const CloneToolResult result =
        Cli({"write", "--port", sim.Port(), "--destination", "0", "--yes", "--trace",
             temp.file("no-such-folder/trace.txt"), source});
    EXPECT_EQ(result.status, 64);
    EXPECT_NE(result.err.find("cannot write the trace file"), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(saved));
    EXPECT_TRUE(Backups().empty());
}

TEST_F(CloneEndToEnd, WriteWithoutYesAndWithoutATerminalSendsNothing) {
    const std::string source = MakeDocumentFile("source.tcf");
    const std::string saved = temp.file("saved.tcf");
    SimProcess sim({"--save", saved});
    const CloneToolResult result =
        Cli({"write", "--port", sim.Port(), "--destination", "0", source});
    EXPECT_NE(result.status, 0);
    EXPECT_NE(result.err.find("Write to receiver. Are you sure?"), std::string::npos);
    // The plan came first, from the backup read.
    EXPECT_NE(result.out.find("1 channel changed."), std::string::npos) << result.out;
    EXPECT_FALSE(std::filesystem::exists(saved));
}

// --plan reads the receiver, prints what a write would change and sends nothing; the exit
// status is 0 only when the receiver already holds what would be sent.
TEST_F(CloneEndToEnd, WritePlanPrintsWhatWouldChangeAndSendsNothing) {
    // Destination 0 does not allow 252.9 to 255.1 MHz: both channels are reset.
    const std::string source = MakeDocumentFile("source.tcf", 253, 2);
    const std::string saved = temp.file("saved.tcf");
    SimProcess sim({"--save", saved});
    const std::vector<std::string> plan = {"write",         "--plan", "--port", sim.Port(),
                                           "--destination", "0",      source};
    CloneToolResult result = Cli(plan);
    EXPECT_EQ(result.status, 1) << result.err;
    EXPECT_NE(result.out.find("2 reset by the receiver's region rules"), std::string::npos)
        << result.out;
    // Destination 0's new channels are in Auto mode.
    EXPECT_NE(result.out.find("\n! Group Initial, channel 0-0: 253.000000 Auto will be reset to "
                              "145.000000 Auto: not allowed for this receiver\n"),
              std::string::npos)
        << result.out;
    EXPECT_FALSE(std::filesystem::exists(saved));
    EXPECT_TRUE(Backups().empty());

    result =
        Cli({"write", "--port", sim.Port(), "--destination", "0", "--yes", "--no-backup", source});
    ASSERT_EQ(result.status, 0) << result.err;
    std::filesystem::remove(saved);
    result = Cli(plan);
    EXPECT_EQ(result.status, 0) << result.out << result.err;
    EXPECT_NE(result.out.find("The receiver already holds this data."), std::string::npos)
        << result.out;
    EXPECT_FALSE(std::filesystem::exists(saved));
}

// backups lists them newest first; write takes one back like any other file.
TEST_F(CloneEndToEnd, BackupsAreListedNewestFirstAndWrittenBack) {
    const std::string previous = MakeDocumentFile("previous.tcf", 146, 2, "FIRST");
    const std::string second = MakeDocumentFile("second.tcf", 147, 2, "SECOND");
    const std::string third = MakeDocumentFile("third.tcf", 148, 2, "THIRD");
    const std::string saved = temp.file("saved.tcf");
    SimProcess sim({"--image", previous, "--save", saved});
    for (const std::string& source : {second, third})
        ASSERT_EQ(
            Cli({"write", "--port", sim.Port(), "--destination", "0", "--yes", source}).status, 0);
    ASSERT_EQ(Backups().size(), 2u);

    CloneToolResult result = Cli({"backups", third});
    ASSERT_EQ(result.status, 0) << result.err;
    std::istringstream lines(result.out);
    std::string newest, oldest;
    std::getline(lines, newest);
    std::getline(lines, oldest);
    EXPECT_NE(newest.find("SECOND"), std::string::npos) << result.out;
    EXPECT_NE(newest.find("differences  " + Backups()[1]), std::string::npos) << result.out;
    EXPECT_NE(oldest.find("FIRST"), std::string::npos) << result.out;
    EXPECT_NE(oldest.find(Backups()[0]), std::string::npos) << result.out;
    // The backup of the same image has no differences from it; the older one has some.
    const std::string same = Cli({"backups", second}).out;
    const std::string sameNewest = same.substr(0, same.find('\n'));
    EXPECT_NE(sameNewest.find("SECOND"), std::string::npos) << same;
    EXPECT_NE(sameNewest.find(" 0 differences"), std::string::npos) << same;
    EXPECT_EQ(same.find(" 0 differences", sameNewest.size()), std::string::npos) << same;

    result = Cli({"write", "--port", sim.Port(), "--destination", "0", "--yes", "--no-backup",
                  Backups()[0]});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(MapOf(saved), MapOf(previous));
}

// A channel beyond the receiver's coverage is a data error: the write is refused before
// anything is sent, even with --yes.
TEST_F(CloneEndToEnd, WriteRefusesDataWithErrors) {
    const std::string source = MakeDocumentFile("source.tcf", 4000, 1);
    const std::string saved = temp.file("saved.tcf");
    SimProcess sim({"--save", saved});
    const CloneToolResult result =
        Cli({"write", "--port", sim.Port(), "--destination", "0", "--yes", source});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("Setting error is found."), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("group:0 row 0: error: frequency"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(saved));
}

// A fault of the receiver, or of the set-up: the code, the message's head line, and the
// output file untouched.
struct Fault {
    const char* name;
    std::vector<std::string> sim;
    bool write;
    int code;
    const char* head;
};

class CloneFaultEndToEnd : public CloneEndToEnd, public ::testing::WithParamInterface<Fault> {};

TEST_P(CloneFaultEndToEnd, EndsWithItsCodeAndMessageAndLeavesTheFileAlone) {
    const Fault& fault = GetParam();
    // A write sends a document; a read serves any image.
    const std::string source =
        fault.write ? MakeDocumentFile("source.tcf") : MakeImageFile("source.tcf", 3);
    std::vector<std::string> simArgs = fault.sim;
    for (std::string& word : simArgs)
        if (word == "UNMARKED") word = MakeImageFile("unmarked.tcf", 4, false);
    const std::string saved = temp.file("saved.tcf");
    simArgs.insert(simArgs.end(), {"--save", saved});
    SimProcess sim(simArgs);

    const std::string out = temp.file("out.tcf");
    testenv::writeFile(out, "keep me");
    std::vector<std::string> args = {fault.write ? "write" : "read", "--port", sim.Port(),
                                     "--destination", "0"};
    // The write's own faults: no backup read first.
    if (fault.write) args.insert(args.end(), {"--yes", "--no-backup"});
    args.push_back(fault.write ? source : out);
    const CloneToolResult result = Cli(args);

    EXPECT_EQ(result.status, fault.code) << result.err;
    EXPECT_NE(result.err.find(fault.head), std::string::npos) << result.err;
    if (fault.code != 13) {
        EXPECT_NE(result.err.find("Check the following:"), std::string::npos);
    }
    EXPECT_EQ(testenv::readFile(out), "keep me");
    // A receiver that stalls mid-write never has the whole image to save.
    if (fault.write && fault.code == 4) {
        EXPECT_FALSE(std::filesystem::exists(saved));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, CloneFaultEndToEnd,
    ::testing::Values(
        Fault{"NoEcho", {"--fault", "no-echo"}, false, 4, "Cannot access COM port."},
        Fault{"BadEcho", {"--fault", "bad-echo"}, false, 4, "Cannot access COM port."},
        Fault{"NoAnswer", {"--fault", "no-answer"}, false, 5, "No answer from receiver."},
        Fault{"WrongModel", {"--fault", "wrong-model"}, false, 11, "Illegal information."},
        Fault{"BadBcd", {"--fault", "bad-bcd"}, false, 6, "Illegal data."},
        Fault{"WrongDestination",
              {"--destination", "3"},
              false,
              13,
              "Receiver version does not match."},
        Fault{"BadChecksum", {"--fault", "bad-checksum"}, false, 6, "Illegal data."},
        Fault{"LowerCaseHex", {"--fault", "lower-case-hex"}, false, 6, "Illegal data."},
        Fault{"DropFrame", {"--fault", "drop-frame"}, false, 8, "There is not enough data."},
        Fault{"BadEndCount", {"--fault", "bad-end-count"}, false, 7, "Data counter error."},
        Fault{"NoMaker", {"--fault", "no-maker"}, false, 6, "Illegal data."},
        Fault{"OverflowAddress", {"--fault", "overflow-address"}, false, 9, "Data overflow."},
        Fault{"StallDuringRead",
              {"--fault", "stall-after=20000"},
              false,
              5,
              "No answer from receiver."},
        Fault{"NoMarker", {"--image", "UNMARKED"}, false, 15, "Illegal data."},
        Fault{"Nak", {"--fault", "nak"}, true, 10, "Cannot write cloning data."},
        Fault{"StallDuringWrite",
              {"--fault", "stall-after=20000"},
              true,
              4,
              "Cannot access COM port."},
        Fault{"NoAck", {"--fault", "no-ack"}, true, 5, "No answer from receiver."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CloneEndToEnd, GarbageBeforeTheAnswersIsIgnored) {
    const std::string source = MakeImageFile("source.tcf", 6);
    SimProcess sim({"--image", source, "--fault", "garbage-before"});
    const std::string out = temp.file("out.tcf");
    const CloneToolResult result = Cli({"read", "--port", sim.Port(), "--destination", "0", out});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(testenv::readFile(out), testenv::readFile(source));
}

TEST_F(CloneEndToEnd, AMissingPortIsNamedInTheMessage) {
    const std::string out = temp.file("out.tcf");
    const CloneToolResult result =
        Cli({"read", "--port", "/dev/no-such-port", "--destination", "0", out});
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("Cannot access /dev/no-such-port."), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(out));
}

} // namespace
