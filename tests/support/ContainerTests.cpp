// The container library: array growth, the wide string and its conversion from code page 1252,
// and the archive layouts, including archives that announce more than they hold.

#include <cstdint>
#include <limits>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/Archive.h"
#include "support/CxArray.h"
#include "support/CxWString.h"
#include "support/CxWStringArray.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Stored(CzObject& object)
{
    Archive ar;
    object.Serialize(ar);
    return ar.Bytes();
}

std::u16string Text(const CxWString& s)
{
    return s.GetBuffer();
}

// Loads and expects an end-of-file failure, the only way a short or lying archive may end.
void ExpectEndOfFile(CzObject& object, const Bytes& bytes)
{
    Archive ar(bytes);
    try {
        object.Serialize(ar);
        ADD_FAILURE() << "loaded without error";
    } catch (const ArchiveException& e) {
        EXPECT_EQ(e.cause, ArchiveException::EndOfFile);
    }
}

// ----------------------------------------------------------------------------------------------
// CxArray growth

struct GrowthCase {
    const char* name;
    std::vector<std::pair<size_t, int>> calls; // SetSize(size, growBy), in order
    size_t capacity;
    int growBy;
};

TEST(CxArray, GrowthFollowsTheStepRules)
{
    const GrowthCase cases[] = {
        {"first allocation is exact", {{1, -1}}, 1, 0},
        {"small arrays grow by 4", {{1, -1}, {2, -1}}, 5, 0},
        {"31 elements still grow by 4", {{31, -1}, {32, -1}}, 35, 0},
        {"32 elements grow by an eighth", {{32, -1}, {33, -1}}, 36, 0},
        {"100 elements grow by 12", {{100, -1}, {101, -1}}, 112, 0},
        {"8199 elements grow by 1024", {{8199, -1}, {8200, -1}}, 9223, 0},
        {"8200 elements grow by 1024", {{8200, -1}, {8201, -1}}, 9224, 0},
        {"a jump beyond the step is exact", {{1, -1}, {50, -1}}, 50, 0},
        {"the step follows the size, not the capacity", {{40, -1}, {2, -1}, {41, -1}}, 44, 0},
        {"shrinking keeps the block", {{10, -1}, {3, -1}}, 10, 0},
        {"regrowing within the capacity keeps the block", {{10, -1}, {3, -1}, {10, -1}}, 10, 0},
        {"size 0 frees the block", {{10, -1}, {0, -1}}, 0, 0},
        {"an explicit step", {{1, 10}, {2, -1}}, 11, 10},
        {"-1 keeps the explicit step", {{1, 10}, {2, -1}, {12, -1}}, 21, 10},
        {"0 restores the automatic step", {{1, 10}, {2, 0}}, 5, 0},
        {"a step set with size 0 is kept", {{0, 7}, {1, -1}, {2, -1}}, 8, 7},
        {"a negative step grows exactly", {{1, -5}, {2, -1}}, 2, -5},
    };
    for (const GrowthCase& c : cases) {
        SCOPED_TRACE(c.name);
        CxArray<unsigned char> a;
        for (const auto& [size, growBy] : c.calls)
            a.SetSize(size, growBy);
        EXPECT_EQ(a.GetSize(), c.calls.back().first);
        EXPECT_EQ(a.GetCapacity(), c.capacity);
        EXPECT_EQ(a.GetGrowBy(), c.growBy);
        EXPECT_EQ(a.GetData() == nullptr, c.capacity == 0);
    }
}

TEST(CxArray, GrowingOneAtATimeReallocatesByTheStep)
{
    CxArray<unsigned char> a;
    a.SetSize(100);
    for (size_t i = 100; i < 113; ++i)
        a.SetAtGrow(i, static_cast<unsigned char>(i));
    // 100 + 100 / 8 held 112 elements; the 113th grew by 112 / 8.
    EXPECT_EQ(a.GetCapacity(), 126u);
    for (size_t i = 100; i < 113; ++i)
        ASSERT_EQ(a[i], i) << i;
    EXPECT_EQ(a[99], 0);
}

// ----------------------------------------------------------------------------------------------
// CxArray contents

TEST(CxArray, NewBlocksAreZeroFilled)
{
    CxArray<unsigned char> a;
    a.SetSize(3);
    EXPECT_EQ(a[0], 0);
    EXPECT_EQ(a[2], 0);
    a[0] = 0xAA;
    a.SetSize(40); // reallocates
    EXPECT_EQ(a[0], 0xAA);
    for (size_t i = 1; i < 40; ++i)
        ASSERT_EQ(a[i], 0) << i;

    CxArray<CxWString*> pointers;
    pointers.SetAtGrow(5, nullptr);
    ASSERT_EQ(pointers.GetSize(), 6u);
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(pointers[i], nullptr);
}

TEST(CxArray, RegrowingWithinTheCapacityShowsTheOldBytes)
{
    CxArray<unsigned char> a;
    a.SetSize(10);
    for (size_t i = 0; i < 10; ++i)
        a[i] = static_cast<unsigned char>(0xA0 + i);
    a.SetSize(2);
    a.SetSize(10);
    for (size_t i = 0; i < 10; ++i)
        EXPECT_EQ(a[i], 0xA0 + i) << i;
}

TEST(CxArray, ReallocationCopiesOnlyTheElementsInUse)
{
    CxArray<unsigned char> a;
    a.SetSize(10);
    for (size_t i = 0; i < 10; ++i)
        a[i] = 0xEE;
    a.SetSize(2);
    a.SetSize(11); // beyond the capacity: a new block, and the stale bytes are not carried over
    EXPECT_EQ(a[1], 0xEE);
    for (size_t i = 2; i < 11; ++i)
        EXPECT_EQ(a[i], 0) << i;
}

TEST(CxArray, SetAtGrowFillsTheGapWithZeros)
{
    CxArray<unsigned char> a;
    a.SetAtGrow(0, 7);
    a.SetAtGrow(4, 9);
    ASSERT_EQ(a.GetSize(), 5u);
    EXPECT_EQ(a.GetCapacity(), 5u);
    const unsigned char expected[] = {7, 0, 0, 0, 9};
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(a[i], expected[i]) << i;
    a.SetAtGrow(2, 3); // inside the size: no growth
    EXPECT_EQ(a.GetSize(), 5u);
    EXPECT_EQ(a[2], 3);
}

TEST(CxArray, SetAtGrowWithItsOwnElementSurvivesTheReallocation)
{
    CxArray<unsigned char> a;
    a.SetSize(1);
    a[0] = 42;
    a.SetAtGrow(a.GetCapacity(), a[0]);
    EXPECT_EQ(a[1], 42);
}

TEST(CxArray, ImpossibleSizesThrowWithoutWrappingAround)
{
    CxArray<CxWString*> a;
    a.SetSize(3);
    CxWString* const marker = reinterpret_cast<CxWString*>(&a);
    a[2] = marker;
    const size_t max = std::numeric_limits<size_t>::max();
    // max / 8 + 2 elements of 8 bytes wrap round to 8 bytes; max wraps index + 1 round to 0.
    const size_t sizes[] = {max / sizeof(CxWString*) + 2, max, max / 2};
    for (size_t size : sizes) {
        SCOPED_TRACE(size);
        EXPECT_THROW(a.SetSize(size), std::bad_alloc);
        EXPECT_THROW(a.SetAtGrow(size, nullptr), std::bad_alloc);
        // A failed growth leaves the array as it was.
        EXPECT_EQ(a.GetSize(), 3u);
        EXPECT_EQ(a.GetCapacity(), 3u);
        EXPECT_EQ(a[2], marker);
    }
    CxArray<unsigned char> empty;
    EXPECT_THROW(empty.SetAtGrow(max, 1), std::bad_alloc);
    EXPECT_EQ(empty.GetSize(), 0u);
    EXPECT_EQ(empty.GetData(), nullptr);
}

// ----------------------------------------------------------------------------------------------
// CxArray archive

TEST(CxArray, StoresElementSizeSizeStepAndBytes)
{
    CxArray<unsigned char> a;
    a.SetSize(3, 7);
    a[0] = 1;
    a[1] = 0xFF;
    a[2] = 3;
    EXPECT_EQ(Stored(a), (Bytes {1, 0, 0, 0, 3, 0, 0, 0, 7, 0, 0, 0, 1, 0xFF, 3}));

    CxArray<unsigned char> empty;
    EXPECT_EQ(Stored(empty), (Bytes {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(CxArray, LoadingReplacesTheContentsWithAnExactBlock)
{
    CxArray<unsigned char> a;
    a.SetSize(20, 3);
    a[0] = 0x55;
    Archive ar(Bytes {1, 0, 0, 0, 2, 0, 0, 0, 9, 0, 0, 0, 0xAB, 0xCD});
    a.Serialize(ar);
    EXPECT_EQ(ar.Remaining(), 0u);
    ASSERT_EQ(a.GetSize(), 2u);
    EXPECT_EQ(a.GetCapacity(), 2u);
    EXPECT_EQ(a.GetGrowBy(), 9);
    EXPECT_EQ(a[0], 0xAB);
    EXPECT_EQ(a[1], 0xCD);

    // A stored step of -1 keeps the loader's own step; a stored size of 0 leaves no block.
    a.SetSize(0, 6);
    a.SetSize(4);
    Archive keep(Bytes {1, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF});
    a.Serialize(keep);
    EXPECT_EQ(a.GetSize(), 0u);
    EXPECT_EQ(a.GetData(), nullptr);
    EXPECT_EQ(a.GetGrowBy(), 6);
}

TEST(CxArray, RoundTripKeepsEveryByte)
{
    CxArray<unsigned char> a;
    for (size_t i = 0; i < 300; ++i)
        a.SetAtGrow(i, static_cast<unsigned char>(i * 7));
    Archive ar(Stored(a));
    CxArray<unsigned char> b;
    b.Serialize(ar);
    ASSERT_EQ(b.GetSize(), 300u);
    for (size_t i = 0; i < 300; ++i)
        ASSERT_EQ(b[i], a[i]) << i;
}

struct HostileCase {
    const char* name;
    Bytes bytes;
};

TEST(CxArray, HostileArchivesFailBeforeAllocating)
{
    const HostileCase cases[] = {
        {"empty", {}},
        {"header cut short", {1, 0, 0, 0, 2, 0, 0, 0, 0}},
        {"one byte missing", {1, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3}},
        {"a million announced", {1, 0, 0, 0, 0x40, 0x42, 0x0F, 0, 0, 0, 0, 0, 1, 2, 3}},
        {"2^31 - 1 announced", {1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0, 1}},
        {"negative size", {1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 1, 2, 3, 4}},
        {"2^31 as a negative size", {1, 0, 0, 0, 0, 0, 0, 0x80, 0, 0, 0, 0}},
    };
    for (const HostileCase& c : cases) {
        SCOPED_TRACE(c.name);
        CxArray<unsigned char> a;
        a.SetSize(5);
        ExpectEndOfFile(a, c.bytes);
        // Emptied first, and nothing was allocated for the announced size.
        EXPECT_EQ(a.GetCapacity(), 0u);
    }

    // Pointers take 8 bytes each here: 4 bytes left cannot hold one.
    CxArray<CxWString*> pointers;
    ExpectEndOfFile(pointers, {8, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4});
    EXPECT_EQ(pointers.GetCapacity(), 0u);
}

// ----------------------------------------------------------------------------------------------
// CxWString

struct ConversionCase {
    const char* name;
    std::string text;
    unsigned codePage;
    std::u16string expected;
};

TEST(CxWString, AssignConvertsCodePage1252)
{
    const ConversionCase cases[] = {
        {"an ASCII path", "C:\\Courbes\\essai 2.png", 1252, u"C:\\Courbes\\essai 2.png"},
        {"accented letters", "\xE9t\xE9 \xC0", 1252, u"\u00E9t\u00E9 \u00C0"},
        {"the euro sign and friends", "\x80\x8A\x9F", 1252, u"\u20AC\u0160\u0178"},
        {"the top byte", "\xFF", 1252, u"\u00FF"},
        {"undefined 0x81", "\x81", 1252, u""},
        {"undefined 0x9D after valid text", "abc\x9D", 1252, u""},
        {"the empty text", "", 1252, u""},
        {"another code page", "abc", 65001, u""},
        {"the OEM code page", "abc", 437, u""},
    };
    for (const ConversionCase& c : cases) {
        SCOPED_TRACE(c.name);
        // Assigned over an earlier value, which must not survive a failure.
        CxWString s("previous value", CxWString::kCodePage1252);
        s.Assign(c.text, c.codePage);
        EXPECT_EQ(Text(s), c.expected);
        EXPECT_EQ(s.GetLength(), c.expected.size());
        if (c.expected.empty()) {
            EXPECT_EQ(s.GetCapacity(), -1);
        }

        const CxWString constructed(c.text, c.codePage);
        EXPECT_EQ(Text(constructed), c.expected);
    }
}

TEST(CxWString, EmptyStringsShareOneNeverFreedTerminator)
{
    auto first = std::make_unique<CxWString>();
    CxWString second("", CxWString::kCodePage1252);
    CxWString third("abc", CxWString::kCodePage1252);
    third.SetLength(0);
    EXPECT_EQ(first->GetCapacity(), -1);
    EXPECT_EQ(first->GetBuffer(), second.GetBuffer());
    EXPECT_EQ(third.GetBuffer(), second.GetBuffer());
    EXPECT_EQ(second.GetWritableBuffer(), nullptr);
    first.reset();
    EXPECT_EQ(second.GetBuffer()[0], u'\0');
    EXPECT_EQ(second.GetLength(), 0u);
}

TEST(CxWString, SetLengthKeepsAShorterBufferAndReplacesAFullOne)
{
    CxWString s("abcdefghij", CxWString::kCodePage1252);
    ASSERT_EQ(s.GetCapacity(), 10);
    const char16_t* block = s.GetBuffer();

    s.SetLength(3);
    EXPECT_EQ(s.GetBuffer(), block);
    EXPECT_EQ(s.GetCapacity(), 10);
    EXPECT_EQ(Text(s), u"abc");

    // A length equal to the capacity does not count as fitting.
    s.SetLength(10);
    EXPECT_NE(s.GetBuffer(), block);
    EXPECT_EQ(s.GetCapacity(), 10);
    EXPECT_EQ(s.GetBuffer()[10], u'\0');

    char16_t* out = s.GetWritableBuffer();
    ASSERT_NE(out, nullptr);
    std::u16string filled = u"0123456789";
    std::copy(filled.begin(), filled.end(), out);
    EXPECT_EQ(Text(s), filled);
    EXPECT_EQ(s.GetLength(), 10u);

    s.SetLength(25);
    EXPECT_EQ(s.GetCapacity(), 25);
    EXPECT_EQ(s.GetBuffer()[25], u'\0');
}

TEST(CxWString, AnImpossibleLengthThrowsAndKeepsTheString)
{
    CxWString s("kept", CxWString::kCodePage1252);
    const size_t max = std::numeric_limits<size_t>::max();
    for (size_t n : {max, max / 2, max / 2 + 1}) {
        SCOPED_TRACE(n);
        EXPECT_THROW(s.SetLength(n), std::bad_alloc);
        EXPECT_EQ(Text(s), u"kept");
        EXPECT_EQ(s.GetCapacity(), 4);
    }
}

struct StringLayoutCase {
    const char* name;
    std::string text; // code page 1252
    Bytes bytes;
};

TEST(CxWString, StoresItsLengthThenLittleEndianCodeUnits)
{
    const StringLayoutCase cases[] = {
        {"empty", "", {0, 0, 0, 0}},
        {"ASCII", "Ab", {2, 0, 0, 0, 'A', 0, 'b', 0}},
        {"beyond Latin-1", "\xE9\x80", {2, 0, 0, 0, 0xE9, 0, 0xAC, 0x20}},
    };
    for (const StringLayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        CxWString s(c.text, CxWString::kCodePage1252);
        EXPECT_EQ(Stored(s), c.bytes);

        CxWString loaded("something else entirely", CxWString::kCodePage1252);
        Archive ar(c.bytes);
        loaded.Serialize(ar);
        EXPECT_EQ(ar.Remaining(), 0u);
        EXPECT_EQ(Text(loaded), Text(s));
        if (c.text.empty()) {
            EXPECT_EQ(loaded.GetCapacity(), -1);
        }
    }
}

TEST(CxWString, LoadingStopsAtTheLengthItWasGiven)
{
    // Characters after the string belong to whatever the archive holds next.
    Archive ar(Bytes {1, 0, 0, 0, 'x', 0, 'y', 0});
    CxWString s;
    s.Serialize(ar);
    EXPECT_EQ(Text(s), u"x");
    EXPECT_EQ(ar.Remaining(), 2u);
    EXPECT_EQ(ar.ReadUInt16(), u'y');

    // Unpaired surrogates and other code units are kept as they are, not validated.
    Archive odd(Bytes {2, 0, 0, 0, 0x00, 0xD8, 0xFF, 0xFF});
    s.Serialize(odd);
    EXPECT_EQ(Text(s), (std::u16string {0xD800, 0xFFFF}));
    EXPECT_EQ(Stored(s), (Bytes {2, 0, 0, 0, 0x00, 0xD8, 0xFF, 0xFF}));
}

TEST(CxWString, HostileArchivesFailAndKeepTheString)
{
    const HostileCase cases[] = {
        {"empty", {}},
        {"length cut short", {3, 0}},
        {"half a character missing", {2, 0, 0, 0, 'a', 0, 'b'}},
        {"a million announced", {0x40, 0x42, 0x0F, 0, 'a', 0}},
        {"2^30 announced, doubling to 2^31", {0, 0, 0, 0x40, 'a', 0}},
        {"2^31 - 1 announced", {0xFF, 0xFF, 0xFF, 0x7F, 'a', 0}},
        {"negative length", {0xFF, 0xFF, 0xFF, 0xFF, 'a', 0, 'b', 0}},
    };
    for (const HostileCase& c : cases) {
        SCOPED_TRACE(c.name);
        CxWString s("kept", CxWString::kCodePage1252);
        ExpectEndOfFile(s, c.bytes);
        EXPECT_EQ(Text(s), u"kept");
        EXPECT_EQ(s.GetCapacity(), 4);
    }
}

// ----------------------------------------------------------------------------------------------
// CxWStringArray

std::unique_ptr<CxWString> Wide(const char* text)
{
    return std::make_unique<CxWString>(text, CxWString::kCodePage1252);
}

// Counts its own destructions, to see that the array deletes what it owns exactly once.
class CountedString : public CxWString {
public:
    explicit CountedString(int& deaths) : deaths_(deaths) { }
    ~CountedString() override { ++deaths_; }

private:
    int& deaths_;
};

TEST(CxWStringArray, DeletesEveryStringItOwnsOnce)
{
    int deaths = 0;
    {
        CxWStringArray a;
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(a.Add(std::make_unique<CountedString>(deaths)), static_cast<size_t>(i));
        a.Add(nullptr);
        a.RemoveAll();
        EXPECT_EQ(deaths, 3);
        EXPECT_EQ(a.GetSize(), 0u);
        EXPECT_EQ(a.GetCapacity(), 0u);

        a.Add(std::make_unique<CountedString>(deaths));
        a.Add(std::make_unique<CountedString>(deaths));
    }
    EXPECT_EQ(deaths, 5);
}

TEST(CxWStringArray, AddAppendsWithTheAutomaticStep)
{
    CxWStringArray a;
    a.Add(Wide("un"));
    EXPECT_EQ(a.GetCapacity(), 1u);
    a.Add(Wide("deux"));
    EXPECT_EQ(a.GetCapacity(), 5u);
    EXPECT_EQ(Text(*a[0]), u"un");
    EXPECT_EQ(Text(*a[1]), u"deux");
}

TEST(CxWStringArray, StoresTheCountThenEachString)
{
    CxWStringArray a;
    a.Add(Wide("ab"));
    a.Add(Wide(""));
    a.Add(nullptr); // stored as an empty string
    a.Add(Wide("\x80"));
    const Bytes expected
        = {4, 0, 0, 0, 2, 0, 0, 0, 'a', 0, 'b', 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0xAC, 0x20};
    EXPECT_EQ(Stored(a), expected);

    CxWStringArray loaded;
    loaded.Add(Wide("dropped"));
    Archive ar(expected);
    loaded.Serialize(ar);
    EXPECT_EQ(ar.Remaining(), 0u);
    ASSERT_EQ(loaded.GetSize(), 4u);
    const std::u16string texts[] = {u"ab", u"", u"", u"\u20AC"};
    for (size_t i = 0; i < 4; ++i) {
        ASSERT_NE(loaded[i], nullptr) << i;
        EXPECT_EQ(Text(*loaded[i]), texts[i]) << i;
    }
    EXPECT_EQ(Stored(loaded), expected);

    CxWStringArray empty;
    EXPECT_EQ(Stored(empty), (Bytes {0, 0, 0, 0}));
}

TEST(CxWStringArray, HostileArchivesFail)
{
    const HostileCase cases[] = {
        {"empty", {}},
        {"the second string cut short", {2, 0, 0, 0, 1, 0, 0, 0, 'a', 0, 5, 0, 0, 0}},
        {"a string cut short", {1, 0, 0, 0, 2, 0, 0, 0, 'a', 0}},
        {"2^31 - 1 strings announced", {0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0}},
        {"a thousand strings in 8 bytes", {0xE8, 0x03, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"negative count", {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}},
        {"a string longer than the data", {1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 0}},
    };
    for (const HostileCase& c : cases) {
        SCOPED_TRACE(c.name);
        int deaths = 0;
        CxWStringArray a;
        a.Add(std::make_unique<CountedString>(deaths));
        ExpectEndOfFile(a, c.bytes);
        // The old strings went before reading; no more were kept than the data held.
        EXPECT_EQ(deaths, 1);
        EXPECT_LE(a.GetSize(), 1u);
    }
}

} // namespace
