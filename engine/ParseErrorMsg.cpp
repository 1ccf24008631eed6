#include "engine/ParseErrorMsg.h"

namespace {

struct ErrorText {
    int code;
    const char* text; // nullptr: the default text
    bool caretLine;
};

constexpr const char* kDefaultText = "Unknown Error Type!\n\n";

#define CURVANA_ERROR_ROW(Name, code, text, caret) {code, text, caret},
constexpr ErrorText kErrorTexts[] = {CURVANA_ENGINE_ERRORS(CURVANA_ERROR_ROW)};
#undef CURVANA_ERROR_ROW
// Indexed by code.
static_assert(CoversEveryError(kErrorTexts));
static_assert([] {
    for (int code = 0; code < kErrorCodeCount; ++code)
        if (kErrorTexts[code].code != code)
            return false;
    return true;
}());

const ErrorText* Row(int code)
{
    if (code < 0 || code >= kErrorCodeCount)
        return nullptr;
    return &kErrorTexts[code];
}

// A caret under position from and another under position to, dashes between.
std::string CaretLine(int from, int to)
{
    std::string line;
    for (int i = 0; i < to; ++i)
        line += i < from ? ' ' : (i == from ? '^' : '-');
    line += "^\n";
    return line;
}

} // namespace

void RaiseError(int code, int from, int to)
{
    throw ParseErrorMsg {code, from, to};
}

bool ErrorHasPlace(int code)
{
    const ErrorText* row = Row(code);
    return row != nullptr && row->caretLine;
}

std::string ParseErrorText(const ParseErrorMsg& error)
{
    const ErrorText* row = Row(error.code);
    if (row == nullptr || row->text == nullptr)
        return kDefaultText;
    const ErrorText& entry = *row;
    // A nesting error raised on a tree rather than on text has no place to mark.
    const bool caret = entry.caretLine && !(error.code == kErrorTooDeep && error.from < 0);
    return caret ? CaretLine(error.from, error.to) + entry.text : std::string(entry.text);
}
