// The platform helpers: C-locale numbers whatever the process locale, defined truncation, code
// page 1252, the permissions of atomically written files, the system's reasons in French, and
// large buffers.

#include <bit>
#include <cerrno>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/CLocale.h"
#include "platform/Cp1252.h"
#include "platform/FileIO.h"
#include "platform/LargeBuffer.h"
#include "platform/Numeric.h"
#include "platform/SystemErrors.h"

namespace {

TEST(CLocale, FormatsWithADecimalPoint)
{
    // The test runner adopts the user's locale first; under fr_FR these would print commas.
    EXPECT_EQ(platform::CFormat("%f", 1.5), "1.500000");
    EXPECT_EQ(platform::CFormat("%g", 0.0001), "0.0001");
    EXPECT_EQ(platform::CFormat("%G", 1e6), "1E+06");
    EXPECT_EQ(platform::CFormat("%G", 1e-5), "1E-05");
    EXPECT_EQ(platform::CFormat("%1.3g", -2.5), "-2.5");
    EXPECT_EQ(platform::CFormat("%.17g", 0.1), "0.10000000000000001");
    EXPECT_EQ(platform::CFormat("%.9g", 1234.5f), "1234.5");
    EXPECT_EQ(platform::CFormat("%g", std::numeric_limits<double>::infinity()), "inf");
    const std::string longText = platform::CFormat("%s-%f", std::string(200, 'a').c_str(), 2.25);
    EXPECT_EQ(longText, std::string(200, 'a') + "-2.250000");
}

TEST(CLocale, ParsesWithADecimalPoint)
{
    char* end = nullptr;
    const char* text = "1.25rest";
    EXPECT_EQ(platform::CStrtod(text, &end), 1.25);
    EXPECT_EQ(end, text + 4);
    EXPECT_EQ(platform::CAtof("  2.5abc"), 2.5);
    EXPECT_EQ(platform::CAtof("abc"), 0.0);
    EXPECT_EQ(platform::CAtof("-1e3"), -1000.0);
    EXPECT_EQ(platform::CAtol(" 123x"), 123);
    EXPECT_EQ(platform::CAtol("99999999999"), INT32_MAX);
    EXPECT_EQ(platform::CAtol("-99999999999"), INT32_MIN);
    EXPECT_EQ(platform::CAtol(""), 0);
}

TEST(CLocale, CharacterClassesIgnoreTheLocale)
{
    EXPECT_TRUE(platform::IsCSpace('\v'));
    EXPECT_FALSE(platform::IsCSpace('\xA0'));
    EXPECT_EQ(platform::CToUpper('\xE9'), '\xE9');
    EXPECT_EQ(platform::CToLower(std::string("SIN( X )\xC9")), "sin( x )\xC9");
    EXPECT_TRUE(platform::CEqualsIgnoreCase("Theta", "tHETA"));
    EXPECT_FALSE(platform::CEqualsIgnoreCase("theta", "thet"));
}

struct TruncCase {
    double value;
    int32_t expected;
};

void PrintTo(const TruncCase& c, std::ostream* os)
{
    *os << c.value;
}

class Truncation : public ::testing::TestWithParam<TruncCase> { };

TEST_P(Truncation, IsDefinedForEveryDouble)
{
    EXPECT_EQ(platform::TruncToInt32(GetParam().value), GetParam().expected) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Platform, Truncation,
    ::testing::Values(TruncCase {3.9, 3}, TruncCase {-3.9, -3}, TruncCase {-0.5, 0},
        TruncCase {2147483647.0, INT32_MAX}, TruncCase {2147483647.9, INT32_MAX},
        TruncCase {2147483648.0, INT32_MAX}, TruncCase {1e300, INT32_MAX},
        TruncCase {-2147483648.0, INT32_MIN}, TruncCase {-2147483648.9, INT32_MIN},
        TruncCase {-1e300, INT32_MIN},
        TruncCase {std::numeric_limits<double>::infinity(), INT32_MAX},
        TruncCase {-std::numeric_limits<double>::infinity(), INT32_MIN},
        TruncCase {std::numeric_limits<double>::quiet_NaN(), 0}));

TEST(Numeric, ToFloatSaturates)
{
    EXPECT_EQ(platform::ToFloat(1e300), std::numeric_limits<float>::infinity());
    EXPECT_EQ(platform::ToFloat(-1e300), -std::numeric_limits<float>::infinity());
    EXPECT_EQ(platform::ToFloat(1.5), 1.5f);
}

TEST(Numeric, SameNumberIsEqualityWhereNaNEqualsItsOwnBits)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double otherNan = std::bit_cast<double>(UINT64_C(0x7FF8000000000001));
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double a, b;
        bool same;
    } rows[] = {{1.5, 1.5, true}, {1.5, 1.5000000000000002, false}, {0.0, -0.0, true},
        {inf, inf, true}, {inf, -inf, false}, {nan, nan, true}, {nan, -nan, false},
        {nan, otherNan, false}, {nan, 0.0, false}};
    for (const auto& row : rows) {
        EXPECT_EQ(platform::SameNumber(row.a, row.b), row.same) << row.a << " " << row.b;
        EXPECT_EQ(platform::SameNumber(row.b, row.a), row.same) << row.b << " " << row.a;
    }
}

TEST(Cp1252, ConvertsBothWays)
{
    const std::string path = "C:\\Dessins\\Courbe 2.png";
    const auto wide = platform::Cp1252ToUtf16(path);
    ASSERT_TRUE(wide);
    EXPECT_EQ(*wide, u"C:\\Dessins\\Courbe 2.png");
    EXPECT_EQ(platform::Utf16ToCp1252(*wide), path);

    EXPECT_EQ(platform::Cp1252ToUtf8("th\xE9ta \x80 \xB9"), "th\xC3\xA9ta \xE2\x82\xAC \xC2\xB9");
    EXPECT_EQ(platform::Utf8ToCp1252("th\xC3\xA9ta \xE2\x82\xAC"), "th\xE9ta \x80");
    EXPECT_EQ(platform::Cp1252ToUtf16("\x9F"), u"\u0178");
}

TEST(Cp1252, RefusesWhatItCannotHold)
{
    for (const char* undefined : {"\x81", "\x8D", "\x8F", "\x90", "\x9D", "ab\x81"}) {
        EXPECT_FALSE(platform::Cp1252ToUtf16(undefined)) << undefined;
        EXPECT_FALSE(platform::Cp1252ToUtf8(undefined));
    }
    EXPECT_FALSE(platform::Utf8ToCp1252("\xCF\x80")); // pi
    EXPECT_FALSE(platform::Utf8ToCp1252("\xC3")); // truncated sequence
    EXPECT_FALSE(platform::Utf8ToCp1252("\xC0\xAF")); // overlong
    EXPECT_FALSE(platform::Utf8ToCp1252("\xED\xA0\x80")); // surrogate
    EXPECT_FALSE(platform::Utf16ToCp1252(u"\u0081"));
    EXPECT_EQ(platform::Utf8ToCp1252(""), "");
}

// A save under a restrictive umask, in a directory of its own; the umask is restored after.
class AtomicWrite : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = std::filesystem::temp_directory_path()
            / ("curvana-fileio-" + std::to_string(::getpid()) + "-"
                + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
        previousMask = ::umask(027);
    }
    void TearDown() override
    {
        ::umask(previousMask);
        std::filesystem::remove_all(dir);
    }

    static mode_t ModeOf(const std::string& path)
    {
        struct stat info { };
        EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
        return info.st_mode & 07777;
    }

    size_t EntryCount() const
    {
        size_t n = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir))
            ++n;
        return n;
    }

    std::filesystem::path dir;
    mode_t previousMask = 022;
};

TEST_F(AtomicWrite, NewFileTakesTheModeTheUmaskGives)
{
    const std::string path = (dir / "new.cvn").string();
    std::string error;
    ASSERT_TRUE(platform::WriteFileAtomically(path, "abc", 3, error)) << error;
    EXPECT_EQ(ModeOf(path), 0666u & ~027u);
    EXPECT_EQ(std::filesystem::file_size(path), 3u);
    EXPECT_EQ(EntryCount(), 1u) << "no temporary left beside the file";
}

TEST_F(AtomicWrite, ReplacedFileKeepsItsOwnMode)
{
    const std::string path = (dir / "old.cvn").string();
    {
        std::ofstream old(path);
        old << "previous contents";
    }
    // Looser than the umask allows and unlike any default, so that only keeping it passes.
    ASSERT_EQ(::chmod(path.c_str(), 0604), 0);
    std::string error;
    ASSERT_TRUE(platform::WriteFileAtomically(path, "new", 3, error)) << error;
    EXPECT_EQ(ModeOf(path), 0604u);
    std::ifstream in(path);
    std::string contents;
    std::getline(in, contents);
    EXPECT_EQ(contents, "new");
    EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(AtomicWrite, UnwritableDirectoryIsAnErrorAndLeavesNothing)
{
    const std::string path = (dir / "missing" / "plot.cvn").string();
    std::string error;
    EXPECT_FALSE(platform::WriteFileAtomically(path, "abc", 3, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(EntryCount(), 0u);
}

// Runs body under each process locale the program meets: the C library's own texts follow it.
void UnderEachLocale(const std::function<void()>& body)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    for (const char* name : {"C", "fr_FR.UTF-8", "en_US.UTF-8"}) {
        if (std::setlocale(LC_ALL, name) == nullptr)
            continue; // not generated on this machine
        SCOPED_TRACE(name);
        body();
    }
    std::setlocale(LC_ALL, previous.c_str());
}

TEST(SystemErrors, TheReasonsAreFrenchWhateverTheLocale)
{
    const struct {
        int code;
        const char* text;
    } rows[] = {
        {ENOENT, "fichier ou dossier introuvable"},
        {EACCES, "permission refusée"},
        {EISDIR, "c'est un dossier"},
        {ENOTDIR, "un élément du chemin n'est pas un dossier"},
        {ENOSPC, "plus de place sur le disque"},
        {EROFS, "système de fichiers en lecture seule"},
        {EEXIST, "le fichier existe déjà"},
        {ENAMETOOLONG, "nom de fichier trop long"},
        {EMFILE, "trop de fichiers ouverts"},
        {EIO, "erreur d'entrée-sortie"},
        {EDQUOT, "quota de disque dépassé"},
        {0, "erreur système n° 0"},
        {-7, "erreur système n° -7"},
        {4095, "erreur système n° 4095"},
    };
    UnderEachLocale([&] {
        for (const auto& row : rows)
            EXPECT_EQ(platform::SystemReason(row.code), row.text) << row.code;
    });
}

TEST(SystemErrors, EveryKnownCodeHasAReasonOfItsOwn)
{
    // No two codes share a text, and none falls to the numbered fallback.
    std::set<std::string> seen;
    for (int code : {EPERM, ENOENT, EINTR, EIO, ENXIO, EBADF, EAGAIN, ENOMEM, EACCES, EFAULT, EBUSY,
             EEXIST, EXDEV, ENODEV, ENOTDIR, EISDIR, EINVAL, ENFILE, EMFILE, ETXTBSY, EFBIG, ENOSPC,
             EROFS, EMLINK, ENAMETOOLONG, ENOTEMPTY, ELOOP, EOVERFLOW, EOPNOTSUPP, ETIMEDOUT,
             ESTALE, EDQUOT}) {
        const std::string text = platform::SystemReason(code);
        EXPECT_EQ(text.find("erreur système n°"), std::string::npos) << code;
        EXPECT_TRUE(seen.insert(text).second) << text;
    }
}

TEST(SystemErrors, FileFailuresGiveTheFrenchReason)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path()
        / ("curvana-reasons-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    {
        std::ofstream file(dir / "file");
        file << "x";
    }
    UnderEachLocale([&] {
        std::vector<uint8_t> bytes;
        std::string error;
        EXPECT_FALSE(platform::ReadWholeFile((dir / "missing.cvn").string(), bytes, error));
        EXPECT_EQ(error, "fichier ou dossier introuvable");
        EXPECT_FALSE(platform::ReadWholeFile(dir.string(), bytes, error));
        EXPECT_EQ(error, "c'est un dossier");
        EXPECT_FALSE(platform::ReadWholeFile((dir / "file" / "x.cvn").string(), bytes, error));
        EXPECT_EQ(error, "un élément du chemin n'est pas un dossier");
        EXPECT_FALSE(
            platform::WriteFileAtomically((dir / "missing" / "x.cvn").string(), "a", 1, error));
        EXPECT_EQ(error, "fichier ou dossier introuvable");
        EXPECT_FALSE(platform::WriteFileAtomically(
            (dir / std::string(300, 'n')).string() + ".cvn", "a", 1, error));
        EXPECT_EQ(error, "nom de fichier trop long");
    });
    std::filesystem::remove_all(dir);
}

TEST(LargeBuffer, EveryByteOfEverySizeIsUsable)
{
    // Sizes about the huge page (2 MiB), where the rounding and alignment could fall short.
    constexpr size_t kHuge = size_t(2) << 20;
    for (size_t size : {size_t(1), size_t(4095), kHuge - 1, kHuge, kHuge + 1, 3 * kHuge + 12345,
             size_t(1920) * 1080 * 4}) {
        platform::LargeBuffer buffer(size);
        ASSERT_NE(buffer.data(), nullptr) << size;
        EXPECT_EQ(buffer.size(), size);
        for (size_t i = 0; i < size; ++i)
            buffer.data()[i] = static_cast<uint8_t>(i * 7 + size);
        size_t wrong = 0;
        for (size_t i = 0; i < size; ++i)
            wrong += buffer.data()[i] != static_cast<uint8_t>(i * 7 + size);
        EXPECT_EQ(wrong, 0u) << size;
    }
    const platform::LargeBuffer none(0);
    EXPECT_EQ(none.data(), nullptr);
    EXPECT_EQ(none.size(), 0u);
    // More than any address space: refused, not wrapped round to a small buffer.
    const platform::LargeBuffer impossible(SIZE_MAX - 1000);
    EXPECT_EQ(impossible.data(), nullptr);
}

} // namespace
