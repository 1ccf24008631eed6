// The command line, run as a separate process: exact standard output, standard error and exit
// status for each command.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <locale>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

std::string Quote(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

Result RunCurvana(const std::vector<std::string>& args)
{
    char outPath[] = "/tmp/curvana_cli_outXXXXXX";
    char errPath[] = "/tmp/curvana_cli_errXXXXXX";
    close(mkstemp(outPath));
    close(mkstemp(errPath));
    std::string command = Quote(CURVANA_EXECUTABLE);
    for (const std::string& a : args)
        command += " " + Quote(a);
    command += " >" + Quote(outPath) + " 2>" + Quote(errPath);
    const int raw = std::system(command.c_str());
    Result r {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(outPath), ReadFile(errPath)};
    std::remove(outPath);
    std::remove(errPath);
    return r;
}

std::string LastLine(const std::string& text)
{
    std::string t = text;
    while (!t.empty() && t.back() == '\n')
        t.pop_back();
    const size_t nl = t.rfind('\n');
    return nl == std::string::npos ? t : t.substr(nl + 1);
}

struct OutputCase {
    std::vector<std::string> args;
    int status;
    const char* out;
};

void PrintTo(const OutputCase& c, std::ostream* os)
{
    for (const std::string& a : c.args)
        *os << a << ' ';
}

class Output : public ::testing::TestWithParam<OutputCase> { };

TEST_P(Output, IsExact)
{
    const Result r = RunCurvana(GetParam().args);
    EXPECT_EQ(r.status, GetParam().status) << r.err;
    EXPECT_EQ(r.out, GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(Cli, Output,
    ::testing::Values(OutputCase {{"--derive", "sin(2*x)"}, 0, "2 * cos( 2 * x )\n"},
        OutputCase {{"--derive", "x^2"}, 0, "2 * x + 0\n"},
        OutputCase {{"--derive", "Sin(t)", "t"}, 0, "1 * cos( t )\n"},
        OutputCase {{"--derive", "-x^2"}, 0, "-1 * ( 2 * neg( x ) ) + 0\n"},
        OutputCase {{"--tree", "2*3+x"}, 0, "= 6 + x\n"},
        OutputCase {{"--tree", "=sin(x)"}, 0, "= SIN( x )\n"},
        OutputCase {{"--tree", "th\xC3\xA9ta+1"}, 0, "= th\xC3\xA9ta + 1\n"},
        OutputCase {{"--eval", "x^y", "x=-2", "y=-2"}, 0, "0.25\n"},
        OutputCase {{"--eval", "1.5*x", "x=2"}, 0, "3\n"},
        OutputCase {{"--eval", "x/3", "x=1"}, 0, "0.33333333333333331\n"},
        OutputCase {{"--eval", "x", "x=nan"}, 0, "nan\n"},
        OutputCase {{"--eval", "x", "x=-inf"}, 0, "-inf\n"},
        OutputCase {{"--eval", "x+1", "z=1"}, 0, "1\n"},
        OutputCase {{"--eval", "PI"}, 0, "3.1415926500000002\n"},
        OutputCase {{"--version"}, 0, "Curvana version 2.0.2\n"},
        // Failures print nothing on standard output.
        OutputCase {{"--eval", "-(x+1)"}, 1, ""}, OutputCase {{"--derive", "x % 2"}, 1, ""},
        OutputCase {{"--eval", "x", "x=abc"}, 2, ""}, OutputCase {{"--eval"}, 2, ""},
        OutputCase {{"--eval", "x", "=1"}, 2, ""}, OutputCase {{"--tree", "x\xE2\x86\x92"}, 2, ""},
        OutputCase {{"--bogus"}, 2, ""}, OutputCase {{"--tree", "x", "y"}, 2, ""},
        // Interval evaluation: the enclosure and the decoration.
        OutputCase {{"--interval", "sin(x)", "0", "3"}, 0, "[-3.9525251667299724e-323, 1] com\n"},
        OutputCase {{"--interval", "1/x", "-1", "1"}, 0, "[-inf, inf] trv\n"},
        OutputCase {{"--interval", "floor(x)", "0.5", "1.5"}, 0, "[0, 1] def\n"},
        OutputCase {{"--interval", "ln(x)", "-2", "-1"}, 0, "[empty] ill\n"},
        OutputCase {{"--interval", "x", "-inf", "inf"}, 0, "[-inf, inf] dac\n"},
        OutputCase {{"--interval", "a*x", "0", "1", "a=2"}, 0, "[0, 2] com\n"},
        OutputCase {{"--interval", "2+3", "5", "7"}, 0, "[5, 5] com\n"},
        OutputCase {{"--interval", "1/0", "0", "1"}, 1, ""},
        OutputCase {{"--interval", "x", "nan", "1"}, 2, ""},
        OutputCase {{"--interval", "x", "2", "1"}, 2, ""},
        OutputCase {{"--interval", "x*y", "0", "1"}, 2, ""},
        OutputCase {{"--interval", "x", "0"}, 2, ""},
        // Remarkable points, one line each.
        OutputCase {{"--analyse", "--area", "-4", "4", "-3", "3", "--cartesian", "x^3-3*x"}, 0,
            "0 root -1.7320508075688774 -8.8817841970012523e-16 proven\n"
            "0 maximum -1 2 proven\n"
            "0 root 0 0 proven\n"
            "0 inflection 0 0 proven\n"
            "0 minimum 1 -2 proven\n"
            "0 root 1.7320508075688772 -8.8817841970012523e-16 proven\n"},
        OutputCase {{"--analyse", "--area", "-2", "2", "-2", "2", "--cartesian", "floor(x)",
                        "--cartesian", "x/2"},
            0,
            "0 jump -1 -2 proven -1\n0 jump 0 -1 proven 0\n0 jump 1 0 proven 1\n"
            "1 root 0 0 proven\n"},
        OutputCase {{"--analyse", "--area", "-2", "2", "-3", "3", "--cartesian", "sin(x)",
                        "--cartesian", "cos(x)"},
            0,
            "0 minimum -1.5707963267948966 -1 proven\n0 root 0 0 proven\n"
            "0 inflection 0 0 proven\n"
            "0,1 intersection 0.78539816339744817 0.70710678118654746 proven\n"
            "0 maximum 1.5707963267948966 1 proven\n"
            "1 root -1.5707963267948966 6.123233995736766e-17 proven\n"
            "1 inflection -1.5707963267948966 6.123233995736766e-17 proven\n"
            "1 maximum 0 1 proven\n"
            "1 root 1.5707963267948966 6.123233995736766e-17 proven\n"
            "1 inflection 1.5707963267948966 6.123233995736766e-17 proven\n"},
        OutputCase {{"--analyse", "--parametric", "cos(t)", "sin(t)", "0.5", "4", "100"}, 0,
            "0 axis-y 6.123233995736766e-17 1 proven 1.5707963267948966\n"
            "0 axis-x -1 1.2246467991473532e-16 proven 3.1415926535897931\n"},
        OutputCase {{"--analyse", "--cartesian", "sin("}, 1, ""},
        OutputCase {{"--analyse", "--cartesian", "t"}, 1, ""},
        OutputCase {{"--analyse", "--bogus"}, 2, ""}));

// Standard output that cannot be written (a full disk): the command fails, and says why.
TEST(Cli, AnOutputThatCannotBeWrittenIsAFailure)
{
    if (access("/dev/full", W_OK) != 0)
        GTEST_SKIP() << "no /dev/full";
    const struct {
        const char* args;
        int status;
    } rows[] = {
        {"--eval 1", 2}, {"--interval x 0 1", 2}, {"--analyse --cartesian x", 2},
        {"--export /tmp/curvana_cli_full.cvn --points --cartesian x", 2}, {"--help", 2},
        {"--eval 1/0", 1}, // the engine's error stands
    };
    for (const auto& row : rows) {
        const std::string command
            = Quote(CURVANA_EXECUTABLE) + " " + row.args + " >/dev/full 2>/dev/null; echo $?";
        FILE* pipe = popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        int status = -1;
        ASSERT_EQ(std::fscanf(pipe, "%d", &status), 1);
        pclose(pipe);
        EXPECT_EQ(status, row.status) << row.args;
    }
    std::remove("/tmp/curvana_cli_full.cvn");
    const std::string command = Quote(CURVANA_EXECUTABLE) + " --eval 1 2>&1 >/dev/full";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char line[256] = {};
    ASSERT_NE(std::fgets(line, sizeof line, pipe), nullptr);
    pclose(pipe);
    EXPECT_STREQ(line, "curvana : sortie standard : plus de place sur le disque\n");
}

TEST(Cli, EngineErrorReportsFormulaTextAndPositions)
{
    const Result r = RunCurvana({"--eval", "-(x+1)"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "-(x+1)\n^\nSyntax Error.\n\ncode 27, from 0, to 0\n");

    const Result e = RunCurvana({"--tree", "2*log10(x)"});
    EXPECT_EQ(e.err, "2*log10(x)\n  ^\nError: Unknown Function type.\n\ncode 29, from 7, to 2\n");

    const Result d = RunCurvana({"--eval", "1/x"});
    EXPECT_EQ(d.err, "1/x\n\nError: Division by zero. \n\ncode 0, from -1, to -1\n");

    // The pi of the trigonometric messages reaches the terminal in UTF-8.
    const Result c = RunCurvana({"--eval", "cot(x)"});
    EXPECT_NE(c.err.find("Cotangent of n*\xC2\xB9/2 is infinite."), std::string::npos) << c.err;
    EXPECT_EQ(LastLine(c.err), "code 12, from -1, to -1");

    const Result n = RunCurvana({"--derive", "x % 2"});
    EXPECT_EQ(LastLine(n.err), "code 10, from -1, to -1");
}

TEST(Cli, UnusedVariableIsReportedAndIgnored)
{
    const Result r = RunCurvana({"--eval", "x+1", "z=1"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("z"), std::string::npos);
}

TEST(Cli, FormulaStartingWithMinusIsStillTheFormula)
{
    const Result r = RunCurvana({"--eval", "-x^2", "x=3"});
    EXPECT_EQ(r.out, "9\n");
}

// The window mode, where there is no display: one clear line instead of Qt's abort; with the
// offscreen platform, a file that cannot be opened ends the start with status 2.
struct WindowCase {
    const char* name;
    std::vector<std::string> args;
    const char* platform; // QT_QPA_PLATFORM, or nullptr
    int status;
    const char* message; // in standard error
};

class WindowMode : public ::testing::TestWithParam<WindowCase> { };

TEST_P(WindowMode, StartsOrSaysWhyNot)
{
    const WindowCase& c = GetParam();
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    if (c.platform != nullptr)
        setenv("QT_QPA_PLATFORM", c.platform, 1);
    else
        unsetenv("QT_QPA_PLATFORM");
    const Result r = RunCurvana(c.args);
    unsetenv("QT_QPA_PLATFORM");
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(Cli, WindowMode,
    ::testing::Values(WindowCase {"NoDisplay", {}, nullptr, 2, "xvfb-run"},
        WindowCase {"NoDisplayPointsToExport", {}, nullptr, 2, "--export"},
        WindowCase {"NoDisplayWithAFile", {"examples/tan.cvn"}, nullptr, 2, "aucun affichage"},
        WindowCase {"TwoFiles", {"a.cvn", "b.cvn"}, nullptr, 2, "un seul document"},
        WindowCase {"PrintWithoutFile", {"--print"}, nullptr, 2, "--print"},
        WindowCase {"MissingFile", {"/nonexistent/doc.cvn"}, "offscreen", 2,
            "L'ouverture du document a échoué."},
        WindowCase {"MissingFileToPrint", {"--print", "/nonexistent/doc.cvn"}, nullptr, 2,
            "L'ouverture du document a échoué."},
        WindowCase {
            "NotADocument", {CURVANA_SOURCE_DIR "/README.md"}, "offscreen", 2, "README.md"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Cli, HelpPrintsUsage)
{
    const Result h = RunCurvana({"--help"});
    EXPECT_EQ(h.status, 0);
    EXPECT_NE(h.out.find("--eval"), std::string::npos);
    EXPECT_NE(h.out.find("curvana [FICHIER]"), std::string::npos);
    EXPECT_NE(h.out.find("--print FICHIER"), std::string::npos);
}

// --export to pictures. The environment offers no display and no Qt platform: the program must
// draw offscreen by itself.
class Export : public ::testing::Test {
protected:
    void SetUp() override
    {
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        unsetenv("QT_QPA_PLATFORM");
        char name[] = "/tmp/curvana_cli_exportXXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir_ = name;
    }
    void TearDown() override { std::system(("rm -rf " + Quote(dir_)).c_str()); }

    std::string File(const std::string& name) const { return dir_ + "/" + name; }
    static bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

    std::string dir_;
};

// The big-endian 32-bit value at offset in text.
uint32_t BigEndian(const std::string& text, size_t offset)
{
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i)
        v = (v << 8) | static_cast<unsigned char>(text.at(offset + i));
    return v;
}

TEST_F(Export, PngHasTheSurfaceSize)
{
    struct Row {
        std::vector<std::string> options;
        const char* name;
        uint32_t width, height;
    };
    const Row rows[] = {
        {{}, "plot.png", 800, 600},
        {{"--size", "1000x700"}, "plot.png", 1000, 700},
        {{"--dpi", "192", "--no-antialias", "--dots"}, "upper.PNG", 800, 600},
        {{"--size", "31x17", "--manual-graduation"}, "small.Png", 31, 17},
    };
    for (const Row& r : rows) {
        const std::string out = File(r.name);
        std::vector<std::string> args {"--export", out};
        args.insert(args.end(), r.options.begin(), r.options.end());
        const Result result = RunCurvana(args);
        EXPECT_EQ(result.status, 0) << r.name << ": " << result.err;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, ""); // nothing from Qt either
        const std::string png = ReadFile(out);
        ASSERT_GE(png.size(), 24u) << r.name;
        EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
        EXPECT_EQ(png.substr(12, 4), "IHDR");
        EXPECT_EQ(BigEndian(png, 16), r.width) << r.name;
        EXPECT_EQ(BigEndian(png, 20), r.height) << r.name;
    }
}

TEST_F(Export, VectorFormatsAndPointsOnStandardOutput)
{
    struct Row {
        const char* name;
        const char* start;
    };
    for (const Row& r :
        {Row {"plot.svg", "<?xml"}, {"plot.pdf", "%PDF-"}, {"plot.png", "\x89PNG"}}) {
        const Result result = RunCurvana({"--export", File(r.name), "--points"});
        EXPECT_EQ(result.status, 0) << r.name << ": " << result.err;
        const std::string start = r.start;
        EXPECT_EQ(ReadFile(File(r.name)).substr(0, start.size()), start);
        // The new document's one curve, one sample per pixel column at least.
        EXPECT_EQ(result.out.rfind("# curve 0: ", 0), 0u) << r.name;
        EXPECT_GT(std::count(result.out.begin(), result.out.end(), '\n'), 800) << r.name;
    }
}

TEST_F(Export, ExistingPictureIsReplaced)
{
    const std::string out = File("plot.png");
    {
        std::ofstream old(out, std::ios::binary);
        old << "not a picture";
    }
    const Result result = RunCurvana({"--export", out});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(ReadFile(out).substr(0, 4), "\x89PNG");
}

TEST_F(Export, FailuresExitWithStatus2AndWriteNothing)
{
    // A document cut in half: a valid start, then the end of the file.
    const std::string whole = File("whole.cvn");
    ASSERT_EQ(RunCurvana({"--export", whole}).status, 0);
    const std::string bytes = ReadFile(whole);
    const std::string truncated = File("truncated.cvn");
    std::ofstream(truncated, std::ios::binary) << bytes.substr(0, bytes.size() / 2);

    struct Row {
        const char* why;
        std::vector<std::string> args;
        std::string out;
    };
    const Row rows[] = {
        {"unknown extension", {"--export", File("plot.bmp")}, File("plot.bmp")},
        {"no extension", {"--export", File("plot")}, File("plot")},
        {"missing directory", {"--export", "/nonexistent-dir/x.png"}, "/nonexistent-dir/x.png"},
        {"missing directory, svg", {"--export", File("none/x.svg")}, File("none/x.svg")},
        {"truncated document", {"--export", File("t.png"), truncated}, File("t.png")},
        {"truncated document, pdf", {"--export", File("t.pdf"), truncated}, File("t.pdf")},
        {"missing document", {"--export", File("m.png"), File("absent.cvn")}, File("m.png")},
    };
    for (const Row& r : rows) {
        const Result result = RunCurvana(r.args);
        EXPECT_EQ(result.status, 2) << r.why;
        EXPECT_EQ(result.out, "") << r.why;
        EXPECT_EQ(result.err.rfind("curvana : ", 0), 0u) << r.why << ": " << result.err;
        EXPECT_FALSE(Exists(r.out)) << r.why;
    }
    // Nothing left beside the files made here: no temporary, no partial picture.
    std::system(("ls -A " + Quote(dir_) + " > " + Quote(File("listing.txt"))).c_str());
    EXPECT_EQ(ReadFile(File("listing.txt")), "listing.txt\ntruncated.cvn\nwhole.cvn\n");
}

TEST_F(Export, ErrorMessagesNameTheFileAndTheReason)
{
    const Result unwritable = RunCurvana({"--export", "/nonexistent-dir/x.png"});
    EXPECT_NE(unwritable.err.find("« /nonexistent-dir/x.png » : écriture impossible : "),
        std::string::npos)
        << unwritable.err;
    const Result unknown = RunCurvana({"--export", File("plot.gif")});
    EXPECT_NE(unknown.err.find(".png, .svg, .pdf ou .cvn"), std::string::npos) << unknown.err;
}

// --- Curves typed on the command line ---

// The curves of a .cvn file, read from its bytes as the document layout defines them.
struct StoredCurve {
    int type;
    std::string formula1, formula2;
    double min, max;
    int32_t colour; // 0x00BBGGRR
    double iterations;
};

struct StoredDocument {
    double xMin, xMax, yMin, yMax;
    bool normaliseX, normaliseY;
    std::vector<StoredCurve> curves;
};

class Reader {
public:
    explicit Reader(const std::string& bytes) : bytes_(bytes) { }
    template <class T> T Read()
    {
        T v;
        std::memcpy(&v, bytes_.substr(at_, sizeof v).data(), sizeof v); // little-endian host
        at_ += sizeof v;
        return v;
    }
    std::string ReadShortString()
    {
        const auto length = Read<uint8_t>();
        EXPECT_LT(length, 255) << "longer strings are not needed here";
        const std::string text = bytes_.substr(at_, length);
        at_ += length;
        return text;
    }

private:
    const std::string& bytes_;
    size_t at_ = 0;
};

StoredDocument ReadDocument(const std::string& bytes)
{
    StoredDocument d {};
    if (bytes.size() < 54) {
        ADD_FAILURE() << "not a document: " << bytes.size() << " bytes";
        return d;
    }
    Reader r(bytes);
    r.Read<int32_t>(); // format number
    d.xMin = r.Read<double>();
    d.xMax = r.Read<double>();
    d.yMin = r.Read<double>();
    d.yMax = r.Read<double>();
    d.normaliseX = r.Read<uint8_t>() != 0;
    d.normaliseY = r.Read<uint8_t>() != 0;
    r.Read<int32_t>(); // surface size
    r.Read<int32_t>();
    const auto count = r.Read<int32_t>();
    for (int32_t i = 0; i < count && i < 100; ++i) {
        StoredCurve c {};
        c.type = r.Read<uint8_t>();
        c.formula1 = r.ReadShortString();
        c.formula2 = r.ReadShortString();
        c.min = r.Read<double>();
        c.max = r.Read<double>();
        c.colour = r.Read<int32_t>();
        c.iterations = r.Read<double>();
        d.curves.push_back(c);
    }
    return d;
}

struct PointList {
    int curve;
    std::vector<std::array<double, 3>> points; // x, y, pen down
};

// The --points output, checked for its own consistency: each header's count is the number of
// lines under it.
std::vector<PointList> ParsePoints(const std::string& out)
{
    std::vector<PointList> lists;
    std::istringstream in(out);
    std::string line;
    size_t expected = 0;
    while (std::getline(in, line)) {
        int curve = 0;
        size_t count = 0;
        if (std::sscanf(line.c_str(), "# curve %d: %zu points", &curve, &count) == 2) {
            if (!lists.empty()) {
                EXPECT_EQ(lists.back().points.size(), expected) << "curve " << lists.back().curve;
            }
            lists.push_back({curve, {}});
            expected = count;
            continue;
        }
        // Read in the C locale: the test runs under the user's.
        std::istringstream fields(line);
        fields.imbue(std::locale::classic());
        std::array<double, 3> p {};
        if (lists.empty() || !(fields >> p[0] >> p[1] >> p[2])) {
            ADD_FAILURE() << "unexpected line: " << line;
            continue;
        }
        lists.back().points.push_back(p);
    }
    if (!lists.empty()) {
        EXPECT_EQ(lists.back().points.size(), expected) << "curve " << lists.back().curve;
    }
    return lists;
}

constexpr int32_t kNewDocumentColour = 188 << 16 | 125 << 8 | 129;

TEST_F(Export, TypedCurvesReplaceTheDocumentsInTheirOrder)
{
    const std::string out = File("typed.cvn");
    const Result r = RunCurvana({"--export", out, "--cartesian", "x^2-1", "--parametric",
        "sin(3*t)", "-cos(5*T)", "-0.5", "6.2832", "3000", "--colour", "#C00000", "--polar",
        "sin(4*theta)", "0", "6.2832", "2000", "--colour", "SteelBlue", "--cartesian", "3",
        "--colour", "#0a0", CURVANA_SOURCE_DIR "/examples/tan.cvn"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const StoredDocument d = ReadDocument(ReadFile(out));
    ASSERT_EQ(d.curves.size(), 4u);
    struct Expected {
        int type;
        const char* formula1;
        const char* formula2;
        double min, max, iterations;
        int32_t colour;
    };
    const Expected expected[] = {
        // A Cartesian curve takes the new document's interval and count; it runs over the view.
        {1, "x^2-1", "", 0, 1, 1009, kNewDocumentColour},
        {2, "sin(3*t)", "-cos(5*T)", -0.5, 6.2832, 3000, 0x0000C0},
        {4, "sin(4*theta)", "", 0, 6.2832, 2000, 180 << 16 | 130 << 8 | 70}, // steelblue
        {1, "3", "", 0, 1, 1009, 0x00AA00},
    };
    for (size_t i = 0; i < 4; ++i) {
        const StoredCurve& c = d.curves[i];
        const Expected& e = expected[i];
        EXPECT_EQ(c.type, e.type) << i;
        EXPECT_EQ(c.formula1, e.formula1) << i;
        EXPECT_EQ(c.formula2, e.formula2) << i;
        EXPECT_EQ(c.min, e.min) << i;
        EXPECT_EQ(c.max, e.max) << i;
        EXPECT_EQ(c.iterations, e.iterations) << i;
        EXPECT_EQ(c.colour, e.colour) << i;
    }
}

TEST_F(Export, CurvesWithoutColourTakeAFixedCycle)
{
    const std::string out = File("cycle.cvn");
    std::vector<std::string> args {"--export", out};
    for (int i = 0; i < 17; ++i) {
        args.insert(args.end(), {"--cartesian", "x+" + std::to_string(i)});
        if (i == 2)
            args.insert(args.end(), {"--colour", "black"});
    }
    const Result r = RunCurvana(args);
    ASSERT_EQ(r.status, 0) << r.err;
    const StoredDocument d = ReadDocument(ReadFile(out));
    ASSERT_EQ(d.curves.size(), 17u);
    EXPECT_EQ(d.curves[0].colour, kNewDocumentColour);
    EXPECT_EQ(d.curves[2].colour, 0);
    for (size_t i = 0; i < 8; ++i) {
        for (size_t j = 0; j < i; ++j) {
            if (i != 2 && j != 2) {
                EXPECT_NE(d.curves[i].colour, d.curves[j].colour) << i << " and " << j;
            }
        }
        EXPECT_NE(d.curves[i].colour, 0xFFFFFF) << i; // never white on white
        EXPECT_EQ(d.curves[i + 8].colour, d.curves[i == 2 ? 10 : i].colour) << i;
        EXPECT_EQ(d.curves[i + 8].formula1, "x+" + std::to_string(i + 8));
    }
    EXPECT_EQ(d.curves[16].colour, d.curves[0].colour);
    EXPECT_NE(d.curves[10].colour, 0); // the black was that curve's own
}

TEST_F(Export, AreaIsStoredAndNormalisedAsInTheDocument)
{
    struct Row {
        const char* why;
        std::vector<std::string> extra;
        double xMin, xMax, yMin, yMax;
        bool normaliseX, normaliseY;
    };
    // examples/tan.cvn is normalised along x, as new documents are.
    const Row rows[] = {
        {"new document", {}, -1.5, 1.5, -1.5, 1.5, true, false},
        {"loaded document", {CURVANA_SOURCE_DIR "/examples/tan.cvn"}, -4, 2.5, 1, 3, true, false},
    };
    for (const Row& row : rows) {
        const std::string out = File("area.cvn");
        std::vector<std::string> args {"--export", out, "--area"};
        for (double v : {row.xMin, row.xMax, row.yMin, row.yMax}) {
            std::ostringstream text; // in the C locale: the test runs under the user's
            text.imbue(std::locale::classic());
            text << v;
            args.push_back(text.str());
        }
        args.insert(args.end(), row.extra.begin(), row.extra.end());
        const Result r = RunCurvana(args);
        ASSERT_EQ(r.status, 0) << row.why << ": " << r.err;
        const StoredDocument d = ReadDocument(ReadFile(out));
        EXPECT_EQ(d.xMin, row.xMin) << row.why;
        EXPECT_EQ(d.xMax, row.xMax) << row.why;
        EXPECT_EQ(d.yMin, row.yMin) << row.why;
        EXPECT_EQ(d.yMax, row.yMax) << row.why;
        EXPECT_EQ(d.normaliseX, row.normaliseX) << row.why;
        EXPECT_EQ(d.normaliseY, row.normaliseY) << row.why;
    }
}

// One curve drawn on 800x600 and its plot points checked against the curve's own equation in
// pixels. The new document's view is x from -22 to 18 and y from -15 to 15, 20 pixels a unit;
// with --area -1.5 1.5 -1.5 1.5, x keeps its range (800/3 pixels a unit) and y is derived from it,
// -1.125 to 1.125, so that circles stay round.
TEST_F(Export, TypedCurvesArePlottedWhereTheirFormulasSay)
{
    struct Row {
        const char* why;
        std::vector<std::string> args;
        size_t minPoints, maxPoints;
        // How far a point (x, y in pixels) is from the curve, in pixels.
        double (*distance)(double x, double y);
    };
    const Row rows[] = {
        {"parabola", {"--cartesian", "x^2-1"},
            // One sample per pixel column, the first not drawn; a few off the surface.
            200, 800,
            [](double x, double y) {
                const double wx = x / 20 - 22;
                return std::fabs(y - (15 - (wx * wx - 1)) * 20);
            }},
        {"upper case variable", {"--cartesian", "X/2"}, 790, 800,
            [](double x, double y) { return std::fabs(y - (15 - (x / 20 - 22) / 2) * 20); }},
        {"segment y = -x", {"--parametric", "t", "-t", "-5", "5", "10"}, 9, 10,
            [](double x, double y) { return std::fabs((x - y) - 140); }},
        {"circle", {"--polar", "5", "0", "6.2832", "400"}, 399, 400,
            [](double x, double y) { return std::fabs(std::hypot(x - 440, y - 300) - 100); }},
        {"rose in an area",
            {"--polar", "1", "0", "6.2832", "100", "--area", "-1.5", "1.5", "-1.5", "1.5"}, 99, 100,
            [](double x, double y) { return std::fabs(std::hypot(x - 400, y - 300) - 800.0 / 3); }},
    };
    for (const Row& row : rows) {
        std::vector<std::string> args {"--export", File("p.png"), "--points"};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const Result r = RunCurvana(args);
        ASSERT_EQ(r.status, 0) << row.why << ": " << r.err;
        const std::vector<PointList> lists = ParsePoints(r.out);
        ASSERT_EQ(lists.size(), 1u) << row.why;
        EXPECT_EQ(lists[0].curve, 0);
        const auto& points = lists[0].points;
        EXPECT_GE(points.size(), row.minPoints) << row.why;
        EXPECT_LE(points.size(), row.maxPoints) << row.why;
        for (const auto& p : points) {
            if (p[2] == 1 && std::fabs(p[1]) < 1e5) {
                EXPECT_LT(row.distance(p[0], p[1]), 0.01)
                    << row.why << " at " << p[0] << ' ' << p[1];
            }
        }
        EXPECT_EQ(ReadFile(File("p.png")).substr(0, 4), "\x89PNG") << row.why;
    }
}

TEST_F(Export, RefusedCurvesAndOptionsWriteNothing)
{
    struct Row {
        std::vector<std::string> args;
        int status;
        const char* message; // on standard error
    };
    const Row rows[] = {
        // Formulas the curve would not compile: status 1.
        {{"--cartesian", "t^2"}, 1,
            "la formule « t^2 » utilise la variable « t » ; elle ne peut utiliser que x"},
        {{"--cartesian", "x+y"}, 1,
            "utilise 2 variables (x, y) ; elle ne peut en utiliser qu'une, x"},
        {{"--polar", "th\xC3\xA9ta", "0", "1", "10"}, 1,
            "la variable « th\xC3\xA9ta » ; elle ne peut utiliser que theta"},
        {{"--parametric", "t", "x", "0", "1", "10"}, 1,
            "courbe 0 (--parametric, y(t)) : la formule « x »"},
        {{"--cartesian", "x", "--polar", "t", "0", "1", "10"}, 1, "courbe 1 (--polar, r(theta))"},
        {{"--cartesian", "sin(", "--colour", "red"}, 1, "Unbalanced parenthesis"},
        {{"--cartesian", "1/0"}, 1, "Division by zero"},
        // Usage errors: status 2.
        {{"--cartesian"}, 2, "--cartesian attend FORMULE"},
        {{"--parametric", "t", "t", "0", "1"}, 2, "--parametric attend FX FY TMIN TMAX ITERATIONS"},
        {{"--polar", "1", "0", "1"}, 2, "--polar attend FORMULE THETAMIN THETAMAX ITERATIONS"},
        {{"--polar", "1", "0", "un", "10"}, 2, "THETAMAX n'est pas un nombre fini : « un »"},
        {{"--polar", "1", "0", "inf", "10"}, 2, "THETAMAX n'est pas un nombre fini"},
        {{"--polar", "1", "0,5", "1", "10"}, 2, "THETAMIN n'est pas un nombre fini : « 0,5 »"},
        {{"--parametric", "t", "t", "1", "1", "10"}, 2, "TMIN doit être inférieur à TMAX"},
        {{"--polar", "1", "0", "1", "0"}, 2, "ITERATIONS attend un entier de 1 à 262144 : « 0 »"},
        {{"--polar", "1", "0", "1", "2.5"}, 2, "ITERATIONS attend un entier"},
        {{"--polar", "1", "0", "1", "262145"}, 2, "ITERATIONS attend un entier"},
        {{"--colour", "red", "--cartesian", "x"}, 2, "aucune ne le précède"},
        {{"--cartesian", "x", "--colour", "red", "--colour", "blue"}, 2, "a déjà sa couleur"},
        {{"--cartesian", "x", "--colour", "#12345"}, 2,
            "--colour attend #RRGGBB, #RGB ou un nom de couleur SVG"},
        {{"--cartesian", "x", "--colour", "transparent"}, 2, "« transparent »"},
        {{"--cartesian", "x", "--colour", "violetblue"}, 2, "« violetblue »"},
        {{"--cartesian", "x", "--colour"}, 2, "--colour attend COULEUR"},
        {{"--area", "-1", "1", "-1"}, 2, "--area attend XMIN XMAX YMIN YMAX"},
        {{"--area", "1", "-1", "-1", "1"}, 2, "XMIN doit être inférieur à XMAX"},
        {{"--area", "-1", "1", "0", "0"}, 2, "YMIN doit être inférieur à YMAX"},
        {{"--area", "-1e308", "1e308", "0", "1"}, 2, "de XMIN à XMAX, l'écart dépasse"},
        {{"--cartesian", "x\xE2\x86\x92"}, 2, "code page 1252"},
        // A usage error is found before a formula is checked.
        {{"--cartesian", "t", "--size", "0x0"}, 2, "--size attend"},
    };
    for (const char* name : {"r.png", "r.cvn"}) {
        for (const Row& row : rows) {
            std::vector<std::string> args {"--export", File(name)};
            args.insert(args.end(), row.args.begin(), row.args.end());
            const Result r = RunCurvana(args);
            std::string shown;
            for (const std::string& a : row.args)
                shown += a + ' ';
            EXPECT_EQ(r.status, row.status) << shown << r.err;
            EXPECT_EQ(r.out, "") << shown;
            EXPECT_EQ(r.err.rfind("curvana : ", 0), 0u) << shown << r.err;
            EXPECT_NE(r.err.find(row.message), std::string::npos) << shown << r.err;
            EXPECT_FALSE(Exists(File(name))) << shown;
        }
    }
}

TEST_F(Export, EngineErrorsAreReportedAsTheEngineCommandsReportThem)
{
    for (const char* formula : {"2**x", "-(x+1)", "sin(1/0)", "2*log10(x)"}) {
        const Result e = RunCurvana({"--tree", formula});
        ASSERT_EQ(e.status, 1) << formula;
        const Result r = RunCurvana(
            {"--export", File("e.svg"), "--polar", "1", "0", "1", "5", "--cartesian", formula});
        EXPECT_EQ(r.status, 1) << formula;
        EXPECT_EQ(r.err,
            "curvana : courbe 1 (--cartesian, y(x)) : formule refusée par le moteur :\n" + e.err)
            << formula;
        EXPECT_FALSE(Exists(File("e.svg")));
    }
}

TEST(Cli, HelpDescribesTheCurveOptions)
{
    const Result h = RunCurvana({"--help"});
    for (const char* option : {"--cartesian FORMULE", "--parametric FX FY TMIN TMAX ITERATIONS",
             "--polar FORMULE THETAMIN THETAMAX ITERATIONS", "--colour COULEUR",
             "--area XMIN XMAX YMIN YMAX"})
        EXPECT_NE(h.out.find(option), std::string::npos) << option;
}

} // namespace
