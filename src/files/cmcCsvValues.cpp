#include "files/cmcCsvValues.h"

#include "files/cmcCsvText.h"

namespace {

constexpr clsCsvSpelling OffOnTable[] = {{"OFF", 0}, {"ON", 1}};
constexpr clsCsvSpelling AttTable[] = {{"OFF", 0}, {"ON", 1}, {"-", 2}};
constexpr clsCsvSpelling IconTable[] = {
    {"TRUCK", 0},
    {"BUS", 1},
    {"CAR", 2},
    {"RACE CAR", 3},
    {"TAXI", 4},
    {"MOTORCYCLE", 5},
    {"TRAIN", 6},
    {"SHIP", 7},
    {"YACHT", 8},
    {"AIRCRAFT", 9},
    {"GLIDER", 10},
    {"HAM", 11},
    {"HAM HH", 12},
    {"RADIO", 13},
    {"TV", 14},
    {"EMERGENCY", 15},
    {"FIRE", 16},
    {"WEATHER", 17},
    {"HUMAN", 18},
    {"ANIMAL", 19},
    {"BUILDING", 20},
    {"HOUSE", 21},
    {"PROGRAM SEARCH", 22},
};
constexpr clsCsvSpelling DupTable[] = {{"OFF", 0}, {"DUP-", 1}, {"DUP+", 2}};
constexpr clsCsvSpelling StepTable[] = {
    {"5kHz", 0},    {"6.25kHz", 1}, {"7.5kHz", 2},  {"8.33kHz", 3}, {"9kHz", 4},   {"10kHz", 5},
    {"12.5kHz", 6}, {"15kHz", 7},   {"20kHz", 8},   {"25kHz", 9},   {"30kHz", 10}, {"50kHz", 11},
    {"100kHz", 12}, {"125kHz", 13}, {"200kHz", 14}, {"Auto", 15},   {"-", 19},
};
constexpr clsCsvSpelling ModeTable[] = {{"FM", 0},   {"WFM", 1}, {"AM", 2},
                                        {"Auto", 3}, {"-", 4},   {"FM-N", 5}};
constexpr clsCsvSpelling SkipTable[] = {{"OFF", 0}, {"SKIP", 1}, {"PSKIP", 2}};
constexpr clsCsvSpelling ToneModeTable[] = {{"OFF", 0},   {"TSQL", 2},   {"TSQL-R", 3},
                                            {"DTCS", 5},  {"DTCS-R", 6}, {"TSQL R", 3},
                                            {"DTCS R", 6}};
constexpr clsCsvSpelling ToneTable[] = {
    {"67.0Hz", 0},   {"69.3Hz", 1},   {"71.9Hz", 2},   {"74.4Hz", 3},   {"77.0Hz", 4},
    {"79.7Hz", 5},   {"82.5Hz", 6},   {"85.4Hz", 7},   {"88.5Hz", 8},   {"91.5Hz", 9},
    {"94.8Hz", 10},  {"97.4Hz", 11},  {"100.0Hz", 12}, {"103.5Hz", 13}, {"107.2Hz", 14},
    {"110.9Hz", 15}, {"114.8Hz", 16}, {"118.8Hz", 17}, {"123.0Hz", 18}, {"127.3Hz", 19},
    {"131.8Hz", 20}, {"136.5Hz", 21}, {"141.3Hz", 22}, {"146.2Hz", 23}, {"151.4Hz", 24},
    {"156.7Hz", 25}, {"159.8Hz", 26}, {"162.2Hz", 27}, {"165.5Hz", 28}, {"167.9Hz", 29},
    {"171.3Hz", 30}, {"173.8Hz", 31}, {"177.3Hz", 32}, {"179.9Hz", 33}, {"183.5Hz", 34},
    {"186.2Hz", 35}, {"189.9Hz", 36}, {"192.8Hz", 37}, {"196.6Hz", 38}, {"199.5Hz", 39},
    {"203.5Hz", 40}, {"206.5Hz", 41}, {"210.7Hz", 42}, {"218.1Hz", 43}, {"225.7Hz", 44},
    {"229.1Hz", 45}, {"233.6Hz", 46}, {"241.8Hz", 47}, {"250.3Hz", 48}, {"254.1Hz", 49},
};
constexpr clsCsvSpelling DtcsTable[] = {
    {"023", 0},  {"025", 1},  {"026", 2},   {"031", 3},   {"032", 4},   {"036", 5},   {"043", 6},
    {"047", 7},  {"051", 8},  {"053", 9},   {"054", 10},  {"065", 11},  {"071", 12},  {"072", 13},
    {"073", 14}, {"074", 15}, {"114", 16},  {"115", 17},  {"116", 18},  {"122", 19},  {"125", 20},
    {"131", 21}, {"132", 22}, {"134", 23},  {"143", 24},  {"145", 25},  {"152", 26},  {"155", 27},
    {"156", 28}, {"162", 29}, {"165", 30},  {"172", 31},  {"174", 32},  {"205", 33},  {"212", 34},
    {"223", 35}, {"225", 36}, {"226", 37},  {"243", 38},  {"244", 39},  {"245", 40},  {"246", 41},
    {"251", 42}, {"252", 43}, {"255", 44},  {"261", 45},  {"263", 46},  {"265", 47},  {"266", 48},
    {"271", 49}, {"274", 50}, {"306", 51},  {"311", 52},  {"315", 53},  {"325", 54},  {"331", 55},
    {"332", 56}, {"343", 57}, {"346", 58},  {"351", 59},  {"356", 60},  {"364", 61},  {"365", 62},
    {"371", 63}, {"411", 64}, {"412", 65},  {"413", 66},  {"423", 67},  {"431", 68},  {"432", 69},
    {"445", 70}, {"446", 71}, {"452", 72},  {"454", 73},  {"455", 74},  {"462", 75},  {"464", 76},
    {"465", 77}, {"466", 78}, {"503", 79},  {"506", 80},  {"516", 81},  {"523", 82},  {"526", 83},
    {"532", 84}, {"546", 85}, {"565", 86},  {"606", 87},  {"612", 88},  {"624", 89},  {"627", 90},
    {"631", 91}, {"632", 92}, {"654", 93},  {"662", 94},  {"664", 95},  {"703", 96},  {"712", 97},
    {"723", 98}, {"731", 99}, {"732", 100}, {"734", 101}, {"743", 102}, {"754", 103},
};
constexpr clsCsvSpelling PolarityTable[] = {{"Normal", 0}, {"Reverse", 1}};
constexpr clsCsvSpelling CancellerTable[] = {{"OFF", 0}, {"TRAIN", 1}, {"TRAIN2", 2}, {"MSK", 3}};

} // namespace

namespace csvlist {
const CsvSpellingList OffOn = OffOnTable;
const CsvSpellingList Att = AttTable;
const CsvSpellingList Icon = IconTable;
const CsvSpellingList Dup = DupTable;
const CsvSpellingList Step = StepTable;
const CsvSpellingList Mode = ModeTable;
const CsvSpellingList Skip = SkipTable;
const CsvSpellingList ToneMode = ToneModeTable;
const CsvSpellingList Tone = ToneTable;
const CsvSpellingList Dtcs = DtcsTable;
const CsvSpellingList Polarity = PolarityTable;
const CsvSpellingList Canceller = CancellerTable;
} // namespace csvlist

std::string_view CsvSpell(CsvSpellingList list, int code) {
    for (const clsCsvSpelling& spelling : list)
        if (spelling.code == code) return spelling.text;
    return CsvNotFound;
}

std::optional<int> CsvLookup(CsvSpellingList list, std::string_view text) {
    text = CsvTrim(text);
    for (const clsCsvSpelling& spelling : list)
        if (CsvEqualNoCase(spelling.text, text)) return spelling.code;
    return std::nullopt;
}
