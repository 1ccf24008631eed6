// The command line, run as a separate process: exact standard output, standard error and exit
// status for each command.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
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
        OutputCase {{"--bogus"}, 2, ""}, OutputCase {{"--tree", "x", "y"}, 2, ""}));

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
        WindowCase {"NotADocument", {CURVANA_SOURCE_DIR "/README.md"}, "offscreen", 2,
            "README.md"}),
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

} // namespace
