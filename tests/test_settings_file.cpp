#include "settings/SettingsFile.h"
#include "tests/RowName.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>

namespace {

constexpr const char* Section = "Settings";
constexpr std::array<const char*, 5> Keys{"Drive", "X", "Y", "UsedColor", "FreeColor"};
// What every row saves: a mount point that is not UTF-8 ("caf" and a Latin-1
// e-acute), and four numbers.
const SettingsFile::Values Saved{
    {"Drive", "/media/caf\xe9"}, {"X", "1440"}, {"Y", "-300"}, {"UsedColor", "255"}, {"FreeColor", "12428157"}};

struct FileCase {
    const char* name;
    std::string file;
    // The five values read, in the order of Keys; nullptr where the key has none.
    std::array<const char*, 5> read;
    std::string afterSave;
};

const FileCase fileCases[] = {
    {"AsThisProgramWritesIt",
     "[Settings]\nDrive=/media/usb\nFreeColor=12428157\nUsedColor=255\nX=1440\nY=-300\n",
     {"/media/usb", "1440", "-300", "255", "12428157"},
     "[Settings]\nDrive=/media/caf\xe9\nFreeColor=12428157\nUsedColor=255\nX=1440\nY=-300\n"},
    // A ";" after a value is part of it: values are the plain text after "=".
    {"CommentsBlanksAndBlanksAroundEquals",
     "# mine\n\n[Settings]\n; the backup disk\nDrive = /srv ; moved in May\n  X=1\t\n",
     {"/srv ; moved in May", "1", nullptr, nullptr, nullptr},
     "# mine\n\n[Settings]\n; the backup disk\nDrive = /media/caf\xe9\n  X=1440\t\n"
     "FreeColor=12428157\nUsedColor=255\nY=-300\n"},
    {"ByteOrderMarkAndCrLf",
     "\xEF\xBB\xBF[Settings]\r\nX=5\r\nY=6\r\n",
     {nullptr, "5", "6", nullptr, nullptr},
     "\xEF\xBB\xBF[Settings]\r\nX=1440\r\nY=-300\r\nDrive=/media/caf\xe9\r\nFreeColor=12428157\r\nUsedColor=255\r\n"},
    // A CRLF file whose last line lost its LF: what is added starts on a line
    // of its own, and the user's value stays whole.
    {"CrLfWithLoneCrAtTheEnd",
     "[Settings]\r\nUsedColor=255\r\nX=7\r",
     {nullptr, "7", nullptr, "255", nullptr},
     "[Settings]\r\nUsedColor=255\r\nX=1440\r\nDrive=/media/caf\xe9\r\nFreeColor=12428157\r\nY=-300\r\n"},
    // The keys added before a blank LF line do not end in a lone CR, which
    // would join that LF into one CRLF and swallow the blank line.
    {"LoneCrThenLfLines",
     "[Settings]\rX=5\n\n[Other]\rK=v\r",
     {nullptr, "5", nullptr, nullptr, nullptr},
     "[Settings]\rX=1440\nDrive=/media/caf\xe9\nFreeColor=12428157\nUsedColor=255\nY=-300\n\n[Other]\rK=v\r"},
    {"LoneCrLineEnds",
     "[Settings]\rX=5\rY=6",
     {nullptr, "5", "6", nullptr, nullptr},
     "[Settings]\rX=1440\rY=-300\rDrive=/media/caf\xe9\rFreeColor=12428157\rUsedColor=255\r"},
    {"StrayLineAndBrokenHeader",
     "[Settings]\nnot a setting\nX=7\n[Other\nY=8\n",
     {nullptr, "7", nullptr, nullptr, nullptr},
     "[Settings]\nnot a setting\nX=1440\nDrive=/media/caf\xe9\nFreeColor=12428157\nUsedColor=255\nY=-300\n"
     "[Other\nY=8\n"},
    {"OtherSectionsKeepTheirKeys",
     "[Before]\nX=1\n\n[Settings]\nUsedColor=&HFF\n\n[After]\nY=2",
     {nullptr, nullptr, nullptr, "&HFF", nullptr},
     "[Before]\nX=1\n\n[Settings]\nUsedColor=255\nDrive=/media/caf\xe9\nFreeColor=12428157\nX=1440\nY=-300\n\n"
     "[After]\nY=2"},
    // Quotes and escapes count only around a whole value; a backslash outside
    // them is itself.
    {"QuotesAndBackslashes",
     "[Settings]\nDrive=\"/media/a\\\"b \"\nX=C:\\x31\nY=\"-300\"\nUsedColor=\"1\n",
     {"/media/a\"b ", "C:\\x31", "-300", "\"1", nullptr},
     "[Settings]\nDrive=/media/caf\xe9\nX=1440\nY=\"-300\"\nUsedColor=255\nFreeColor=12428157\n"},
    {"NonUtf8PathAndLaterDuplicate",
     "[Settings]\nDrive=/old\n[Settings]\nDrive=/media/caf\xe9\nFreeColor=1\n",
     {"/media/caf\xe9", nullptr, nullptr, nullptr, "1"},
     "[Settings]\nDrive=/old\n[Settings]\nDrive=/media/caf\xe9\nFreeColor=12428157\nUsedColor=255\nX=1440\nY=-300\n"},
    {"NoSectionNoLastLineEnd",
     "; settings of Quillmar\n[Other]\nK=v",
     {nullptr, nullptr, nullptr, nullptr, nullptr},
     "; settings of Quillmar\n[Other]\nK=v\n\n[Settings]\nDrive=/media/caf\xe9\nFreeColor=12428157\nUsedColor=255\n"
     "X=1440\nY=-300\n"},
    {"Empty",
     "",
     {nullptr, nullptr, nullptr, nullptr, nullptr},
     "[Settings]\nDrive=/media/caf\xe9\nFreeColor=12428157\nUsedColor=255\nX=1440\nY=-300\n"},
};

class SettingsFileTest : public testing::TestWithParam<FileCase> {};

TEST_P(SettingsFileTest, ReadsTheFiveValues)
{
    const auto& c = GetParam();
    const SettingsFile::Values values = SettingsFile::ReadSection(c.file, Section);
    for (std::size_t i = 0; i < Keys.size(); ++i) {
        const auto found = values.find(Keys[i]);
        const std::optional<std::string> read =
            found != values.end() ? std::optional<std::string>(found->second) : std::nullopt;
        EXPECT_EQ(read, c.read[i] ? std::optional<std::string>(c.read[i]) : std::nullopt) << Keys[i];
    }
}

TEST_P(SettingsFileTest, SavingChangesOnlyTheFiveValues)
{
    const auto& c = GetParam();
    const std::string saved = SettingsFile::WithValues(c.file, Section, Saved);
    EXPECT_EQ(saved, c.afterSave);
    EXPECT_EQ(SettingsFile::ReadSection(saved, Section), Saved);
    // Saving the same values again changes nothing.
    EXPECT_EQ(SettingsFile::WithValues(saved, Section, Saved), saved);
}

INSTANTIATE_TEST_SUITE_P(Table, SettingsFileTest, testing::ValuesIn(fileCases), RowName{});

std::string everyByte()
{
    std::string bytes;
    for (int byte = 0; byte < 256; ++byte)
        bytes += static_cast<char>(byte);
    return bytes;
}

struct ValueCase {
    const char* name;
    std::string value;
    std::string written;
};

const ValueCase valueCases[] = {
    {"EveryByte", everyByte(), ""},
    {"BlankAtEitherEnd", " x ", "\" x \""},
    {"TabInFront", "\tx", "\"\\tx\""},
    {"LineEnds", "a\nb\r", "\"a\\nb\\r\""},
    {"QuotesAtBothEnds", "\"x\\\"", "\"\\\"x\\\\\\\"\""},
    {"BackslashAndQuoteAsTheyAre", "C:\\\"", "C:\\\""},
    {"NotUtf8AsItIs", "Z\xc3\xbcrich \xc3", "Z\xc3\xbcrich \xc3"},
};

class ValueEscapeTest : public testing::TestWithParam<ValueCase> {};

// Whatever the bytes, what is written reads back exactly.
TEST_P(ValueEscapeTest, ReadsBackExactly)
{
    const auto& c = GetParam();
    const std::string written = SettingsFile::EscapedValue(c.value);
    if (!c.written.empty()) {
        EXPECT_EQ(written, c.written);
    }
    EXPECT_EQ(written.find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(SettingsFile::UnescapedValue(written), c.value);
}

INSTANTIATE_TEST_SUITE_P(Table, ValueEscapeTest, testing::ValuesIn(valueCases), RowName{});

} // namespace
