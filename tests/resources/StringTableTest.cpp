#include "resources/StringTable.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace {

TEST(StringTable, IdsAreStrictlyAscendingAndEveryEntryIsFound)
{
    uint32_t count = 0;
    const res::StringEntry* all = res::AllStrings(count);
    ASSERT_NE(all, nullptr);
    ASSERT_GT(count, 0u);
    for (uint32_t i = 0; i < count; ++i) {
        ASSERT_NE(all[i].text, nullptr) << all[i].id;
        EXPECT_GT(std::strlen(all[i].text), 0u) << all[i].id;
        if (i > 0) {
            EXPECT_LT(all[i - 1].id, all[i].id) << "at index " << i;
        }
        // The binary search must reach every entry, not just most of them.
        EXPECT_EQ(res::FindString(all[i].id), all[i].text) << all[i].id;
    }
}

TEST(StringTable, LineBreaksAreRealLineFeeds)
{
    uint32_t count = 0;
    const res::StringEntry* all = res::AllStrings(count);
    for (uint32_t i = 0; i < count; ++i) {
        EXPECT_EQ(std::strchr(all[i].text, '\\'), nullptr) << all[i].id;
        EXPECT_EQ(std::strchr(all[i].text, '\r'), nullptr) << all[i].id;
    }
}

struct Expected {
    uint32_t id;
    const char* text;
};

TEST(StringTable, ExactTexts)
{
    const Expected cases[] = {
        {52080, "The SEF file has been corrupted.\nNot all data has been restored."},
        {52081, "The version of the SEF file is incorrect.\nNot all data has been restored."},
        // The misspelling is the program's own text.
        {54035, "This circuit file was last saved with a previous verion of Power Quorra Designer.\n"
                "Once you save this circuit file you will NOT be able to use it in the earlier\n"
                "version of Power Quorra Designer."},
        {56036, "Doc:       CODE %1"},
        {56029, "AnalTime:  CODE %1"},
        {56083, "...VALUE %1,  VALUE %2"},
        {52012, "Analysis was not run due to a problem\ncalculating initial values."},
        {53001, "Analysis was successful."},
        {52016, "Problem:  Analysis has been terminated. (Error Number 11)\nPlease contact Halverd Support."},
        {52094, "Problem:  Insufficient Memory\n\nClose any other applications that are running."},
        {52148, "Problem:  An unrecoverable error has occured.\nPlease, contact technical support."},
        {52168, "ErrorOccurred():  _SW_ZERODIVIDE\n"},
        {54005, "Warning:\nLow starting frequency will cause lengthy analysis. \nDo you wish to continue?"},
        {53012, "The maximum number of points have been plotted on the first graph.\n"
                "Choose Average or Peak Data Sampling in the User Specified setup \n"
                " or change the start and stop values in the Graph setup."},
        {53014, "The maximum number of points have been plotted on the third graph.\n"
                "Choose Average or Peak Data Sampling in the User Specified setup \n"
                " or change the start and stop values in the Graph setup."},
        // Breakdown messages of the output filters run from output 4 down to output 1.
        {51064, "Break Down Volt Problem with first stage output filter capacitor, C.OUT1, output 4."},
        {51079, "Break Down Volt Problem with second stage output filter damping capacitor, C.DAMP2, output 1."},
        {51012, "Reverse Break Down Volt Problem with output rectifier, D.1, output 4."},
        {51692, "Current Source Load"},
        {51720, "Peak Current"},
        {51559, "None"},
        {61715, "Please enter a number between %1 and %2."},
        {57344, "Power Quorra Designer"},
        {101, "Power Quorra Designer\nMorvane\nMorvane\nFiles (*.SEF)\n.SEF\nMorvane.Document\n"
              "Power Quorra Designer SEF Document"},
        {32833, "Mode:  Generalized Average Hysteretic "},
    };
    for (const auto& c : cases) {
        const char* text = res::FindString(c.id);
        ASSERT_NE(text, nullptr) << c.id;
        EXPECT_EQ(std::string(text), std::string(c.text)) << c.id;
    }
}

TEST(StringTable, ModuleStringsPadTheNameToElevenCharacters)
{
    for (uint32_t id = 56000; id <= 56087; ++id) {
        // 56083 is a continuation line; 56055's name fills the eleven characters, so one
        // blank follows them.
        if (id == 56055 || id == 56083) {
            continue;
        }
        const char* text = res::FindString(id);
        ASSERT_NE(text, nullptr) << id;
        const std::string s(text);
        ASSERT_EQ(s.size(), 18u) << id << " \"" << s << '"';
        EXPECT_EQ(s.substr(11), "CODE %1") << id;
        const std::string head = s.substr(0, 11);
        const auto colon = head.find(':');
        ASSERT_NE(colon, std::string::npos) << id;
        EXPECT_GT(colon, 0u) << id;
        EXPECT_EQ(head.find(' '), colon + 1) << id;
        EXPECT_EQ(head.find_first_not_of(' ', colon + 1), std::string::npos) << id;
    }
}

TEST(StringTable, IdsWithoutTextHaveNoEntry)
{
    // Gaps, ends of the id space and ids just past a block.
    const uint32_t missing[] = {0, 1, 100, 102, 51041, 51580 + 999, 51725, 52009,
                                53030, 54036, 56088, 61716, 0xFFFFFFFFu};
    for (uint32_t id : missing) {
        EXPECT_EQ(res::FindString(id), nullptr) << id;
    }
}

// Every message and module id the program can report (51000-56999 and 58000-58999; the
// frame's command ids lie between) has its text. The sources are read, not a list, so an id
// anyone adds later is checked too; a number in a comment naming a message counts as well.
TEST(StringTable, EveryIdInTheSourcesHasItsText)
{
    namespace fs = std::filesystem;
    const fs::path root = fs::path(PQ_SOURCE_DIR) / "src";
    std::set<std::string> missing;
    size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h" && ext != ".inc")) continue;
        if (entry.path().filename() == "StringTableData.inc") continue;
        ++files;
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream buf;
        buf << in.rdbuf();
        const std::string text = buf.str();
        auto word = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.'; };
        for (size_t i = 0; i < text.size();) {
            if (!std::isdigit(static_cast<unsigned char>(text[i])) || (i > 0 && word(text[i - 1]))) {
                ++i;
                continue;
            }
            size_t j = i;
            while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) ++j;
            if (j - i == 5 && (j == text.size() || !word(text[j]))) {
                const unsigned long id = std::stoul(text.substr(i, 5));
                const bool reported = (id >= 51000 && id <= 56999) || (id >= 58000 && id <= 58999);
                if (reported && !res::FindString(static_cast<uint32_t>(id)))
                    missing.insert(std::to_string(id) + " in " + fs::relative(entry.path(), root).string());
            }
            i = j;
        }
    }
    EXPECT_GT(files, 100u);
    for (const std::string& m : missing) ADD_FAILURE() << "no text for " << m;
}

}  // namespace
