// The .cvn format, byte for byte: the new document, the axis record, string length prefixes,
// round trips, and hostile files that must fail cleanly.

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "model/CurvanaDocument.h"
#include "platform/Archive.h"

namespace {

std::vector<uint8_t> Hex(const std::string& text)
{
    std::vector<uint8_t> out;
    std::string digits;
    for (char c : text)
        if (std::isxdigit(static_cast<unsigned char>(c)))
            digits += c;
    for (size_t i = 0; i + 1 < digits.size(); i += 2)
        out.push_back(static_cast<uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    return out;
}

std::vector<uint8_t> Stored(CFunctionsContext& context)
{
    Archive ar;
    context.Serialize(ar);
    return ar.Bytes();
}

std::vector<uint8_t> StoredAxis(CSettingsAxis axis)
{
    Archive ar;
    axis.Serialize(ar);
    return ar.Bytes();
}

const char* const kDefaultAxisHex
    = "01 00000000 00000000 01 00 01 000000000000F03F 000000000000F03F "
      "01 10204000 10000000 00000000";

TEST(FileFormat, DefaultAxisRecordIs41KnownBytes)
{
    EXPECT_EQ(StoredAxis(CSettingsAxis()), Hex(kDefaultAxisHex));
}

TEST(FileFormat, NewDocumentIs130KnownBytes)
{
    CurvanaDocument document;
    document.context.screenWidth = 800;
    document.context.screenHeight = 600;
    const std::vector<uint8_t> expected
        = Hex(std::string("D0070000" // formatNumber 2000
                          "00000000000036C0 0000000000003240" // x -22 18
                          "00000000000024C0 0000000000002440" // y -10 10
                          "01 00 20030000 58020000" // flags, 800 x 600
                          "01000000" // one curve
                          "01 08 73696E28312F7829 00" // kind, "sin(1/x)", ""
                          "0000000000000000 000000000000F03F" // 0 .. 1
                          "817DBC00 0000000000888F40 ") // colour, 1009
            + kDefaultAxisHex);
    ASSERT_EQ(expected.size(), 130u);
    EXPECT_EQ(Stored(document.context), expected);
}

TEST(FileFormat, DocumentWithoutCurvesIsFollowedByTheAxisRecord)
{
    CurvanaDocument document;
    document.context.Clear();
    const std::vector<uint8_t> bytes = Stored(document.context);
    ASSERT_EQ(bytes.size(), 4u + 32 + 2 + 8 + 4 + 41);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 46, bytes.begin() + 50), Hex("00000000"));
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 50, bytes.end()), Hex(kDefaultAxisHex));
}

struct LengthCase {
    size_t length;
    const char* prefix;
};

class StringPrefix : public ::testing::TestWithParam<LengthCase> { };

void PrintTo(const LengthCase& c, std::ostream* os)
{
    *os << c.length;
}

TEST_P(StringPrefix, FollowsTheLength)
{
    const LengthCase& c = GetParam();
    Archive ar;
    ar.WriteString(std::string(c.length, 'x'));
    const std::vector<uint8_t> prefix = Hex(c.prefix);
    ASSERT_EQ(ar.Bytes().size(), prefix.size() + c.length);
    EXPECT_EQ(std::vector<uint8_t>(ar.Bytes().begin(), ar.Bytes().begin() + prefix.size()), prefix);
    Archive in(ar.Bytes());
    EXPECT_EQ(in.ReadString(), std::string(c.length, 'x'));
    EXPECT_EQ(in.Remaining(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Archive, StringPrefix,
    ::testing::Values(LengthCase {0, "00"}, LengthCase {8, "08"}, LengthCase {254, "FE"},
        LengthCase {255, "FF FF00"}, LengthCase {65533, "FF FDFF"},
        LengthCase {65534, "FF FFFF FEFF0000"}, LengthCase {70000, "FF FFFF 70110100"}));

TEST(FileFormat, FormulaOf255CharactersHasThreeBytePrefix)
{
    CurvanaDocument document;
    CFunction f;
    f.Set(CurveCartesian, std::string(255, '1'), "", 0, 1, 0, 10);
    document.context.Clear();
    CFunctionEntry entry;
    entry.SetFunction(f);
    document.context.Append(entry);
    const std::vector<uint8_t> bytes = Stored(document.context);
    // After the 50-byte header: the kind byte, then the length prefix.
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 51, bytes.begin() + 54), Hex("FF FF 00"));
}

TEST(FileFormat, WideStringsAreAcceptedOnRead)
{
    // FF FEFF tags a wide string; then its length and UTF-16 code units.
    Archive in(Hex("FF FEFF 05 7400 6800 E900 7400 6100"));
    EXPECT_EQ(in.ReadString(), "th\xE9ta");
    Archive unrepresentable(Hex("FF FEFF 01 C003"));
    EXPECT_THROW(unrepresentable.ReadString(), ArchiveException);
}

TEST(FileFormat, LoadThenSaveGivesTheSameBytes)
{
    for (const std::string name : {"default", "tan", "lissajous", "rose", "sqrt"}) {
        const std::string path = std::string(CURVANA_SOURCE_DIR) + "/examples/" + name + ".cvn";
        std::ifstream in(path, std::ios::binary);
        const std::vector<uint8_t> original((std::istreambuf_iterator<char>(in)), {});
        ASSERT_FALSE(original.empty()) << path;
        CFunctionsContext context;
        Archive load(original);
        context.Serialize(load);
        EXPECT_EQ(Stored(context), original) << name;
    }
}

TEST(FileFormat, UnknownFormatNumberIsWrittenBack)
{
    CurvanaDocument document;
    std::vector<uint8_t> bytes = Stored(document.context);
    bytes[0] = 0x39;
    bytes[1] = 0x30; // 12345
    CFunctionsContext context;
    Archive load(bytes);
    context.Serialize(load);
    EXPECT_EQ(context.formatNumber, 12345);
    EXPECT_EQ(Stored(context), bytes);
}

TEST(FileFormat, LoadingKeepsWhatFilesDoNotHold)
{
    CurvanaDocument source;
    source.context.axis.gridAlpha = 0;
    const std::vector<uint8_t> bytes = Stored(source.context);
    CFunctionsContext context;
    context.axis.autoGraduation = false;
    context.params.antialias = false;
    context.params.joinedLines = false;
    Archive load(bytes);
    context.Serialize(load);
    EXPECT_FALSE(context.axis.autoGraduation);
    EXPECT_FALSE(context.params.antialias);
    EXPECT_FALSE(context.params.joinedLines);
    EXPECT_EQ(context.axis.gridAlpha, 0);
    ASSERT_EQ(context.GetCount(), 1);
    EXPECT_EQ(context.GetAt(0).function.Formula1(), "sin(1/x)");
    // The derivative starts empty after a load.
    EXPECT_EQ(context.GetAt(0).derivative.Type(), CurveNone);
}

TEST(FileFormat, EveryTruncationFailsWithEndOfFile)
{
    CurvanaDocument document;
    const std::vector<uint8_t> bytes = Stored(document.context);
    for (size_t n = 0; n < bytes.size(); ++n) {
        CFunctionsContext context;
        Archive load(std::vector<uint8_t>(bytes.begin(), bytes.begin() + n));
        try {
            context.Serialize(load);
            ADD_FAILURE() << "loaded " << n << " bytes";
        } catch (const ArchiveException& e) {
            EXPECT_EQ(e.cause, ArchiveException::EndOfFile) << n;
        }
    }
}

TEST(FileFormat, HostileCountsAndLengthsFailWithoutAllocating)
{
    CurvanaDocument document;
    const std::vector<uint8_t> good = Stored(document.context);
    struct Corruption {
        size_t offset;
        std::vector<uint8_t> bytes;
    };
    const Corruption cases[] = {
        {46, Hex("FFFFFF7F")}, // 2^31 - 1 curves
        {46, Hex("00000100")}, // 65536 curves in a 130-byte file
        {51, Hex("FF FFFF FFFFFF7F")}, // a two-gigabyte formula
        {51, Hex("FF FFFF FFFFFFFF FFFFFFFF FFFFFFFF")}, // a 64-bit length
        {51, Hex("FF FEFF FF FFFF FFFFFF7F")}, // a huge wide string
        {51, Hex("FF FEFF FF FEFF")}, // the wide tag twice
    };
    for (const Corruption& c : cases) {
        std::vector<uint8_t> bytes = good;
        std::copy(c.bytes.begin(), c.bytes.end(), bytes.begin() + static_cast<long>(c.offset));
        CFunctionsContext context;
        Archive load(bytes);
        EXPECT_THROW(context.Serialize(load), ArchiveException) << c.offset;
    }
    // A negative count means no curves, then the axis record follows.
    std::vector<uint8_t> negative(good.begin(), good.begin() + 46);
    const std::vector<uint8_t> minusOne = Hex("FFFFFFFF");
    negative.insert(negative.end(), minusOne.begin(), minusOne.end());
    const std::vector<uint8_t> axis = Hex(kDefaultAxisHex);
    negative.insert(negative.end(), axis.begin(), axis.end());
    CFunctionsContext context;
    Archive load(negative);
    context.Serialize(load);
    EXPECT_EQ(context.GetCount(), 0);
}

TEST(FileFormat, ArchiveRefusesMisuse)
{
    Archive storing;
    EXPECT_THROW(storing.ReadByte(), ArchiveException);
    Archive loading(std::vector<uint8_t> {1, 2});
    EXPECT_THROW(loading.WriteByte(1), ArchiveException);
    try {
        loading.ReadInt32();
        ADD_FAILURE();
    } catch (const ArchiveException& e) {
        EXPECT_EQ(e.cause, ArchiveException::EndOfFile);
    }
}

class DocumentFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = std::filesystem::temp_directory_path()
            / ("curvana-doc-" + std::to_string(::getpid()) + "-"
                + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::filesystem::path dir;
};

TEST_F(DocumentFile, FailedLoadLeavesTheDocumentAsItWas)
{
    CurvanaDocument document;
    CFunction f;
    f.Set(CurveCartesian, "x^2", "", 0, 1, 255, 10);
    CFunctionEntry entry;
    entry.SetFunction(f);
    document.context.Append(entry);
    document.context.area.areaXMin = -3;
    document.modified = true;

    const std::string truncated = (dir / "truncated.cvn").string();
    {
        CurvanaDocument other;
        std::string error;
        ASSERT_TRUE(other.Save(truncated, error)) << error;
        std::filesystem::resize_file(truncated, 100);
    }
    for (const std::string& path : {truncated, (dir / "missing.cvn").string(), dir.string()}) {
        std::string error;
        EXPECT_FALSE(document.Load(path, error)) << path;
        EXPECT_NE(error.find(path), std::string::npos) << error;
        EXPECT_EQ(document.context.GetCount(), 2);
        EXPECT_EQ(document.context.area.areaXMin, -3);
        EXPECT_TRUE(document.modified);
    }
}

TEST_F(DocumentFile, SaveReplacesThroughATemporaryAndKeepsPermissions)
{
    const std::string path = (dir / "plot.cvn").string();
    {
        std::ofstream old(path);
        old << "previous";
    }
    ::chmod(path.c_str(), 0600);
    CurvanaDocument document;
    std::string error;
    ASSERT_TRUE(document.Save(path, error)) << error;
    EXPECT_EQ(std::filesystem::file_size(path), 130u);
    EXPECT_EQ(Entries(), std::vector<std::string> {"plot.cvn"});
    struct stat info { };
    ::stat(path.c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    CurvanaDocument reloaded;
    reloaded.context.Clear();
    ASSERT_TRUE(reloaded.Load(path, error)) << error;
    EXPECT_EQ(reloaded.context.GetCount(), 1);
    EXPECT_EQ(reloaded.path, path);
}

TEST_F(DocumentFile, FailedSaveLosesNothing)
{
    // The target is a directory holding a file: the rename cannot replace it.
    const std::filesystem::path target = dir / "busy.cvn";
    std::filesystem::create_directories(target);
    {
        std::ofstream keep(target / "keep");
        keep << "x";
    }
    CurvanaDocument document;
    std::string error;
    EXPECT_FALSE(document.Save(target.string(), error));
    EXPECT_NE(error.find(target.string()), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(target / "keep"));
    EXPECT_EQ(Entries(), std::vector<std::string> {"busy.cvn"}); // no temporary left behind
    EXPECT_FALSE(document.Save((dir / "no" / "such" / "dir.cvn").string(), error));
}

} // namespace
