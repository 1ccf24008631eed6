// The command line, run as a separate process: exact standard output, standard error and exit
// status for each command.

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

TEST(Cli, NoArgumentPrintsUsage)
{
    const Result r = RunCurvana({});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("--eval"), std::string::npos);
    const Result h = RunCurvana({"--help"});
    EXPECT_EQ(h.out, r.out);
}

} // namespace
