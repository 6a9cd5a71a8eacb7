#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kolvane {

// CP932 (Shift_JIS) bytes to UTF-8. Undecodable bytes become U+FFFD. ASCII passes unchanged.
std::string DecodeCp932(std::string_view bytes);

// UTF-8 to CP932. A character without a CP932 form (or invalid UTF-8) is written "?".
std::string EncodeCp932(std::string_view utf8);

// Visits the lines of a text split at LF, with one CR removed before each LF, so CR LF and LF text
// read alike; a text with CR but no LF at all (old Mac files) is split at CR. A final line without a
// line end is visited too; the empty remainder after a final line end is not a line. The callback gets
// the line and its 1-based number.
template <typename F> void ForEachLine(std::string_view text, F&& visit) {
    const bool crOnly = text.find('\n') == std::string_view::npos;
    const char end = crOnly ? '\r' : '\n';
    std::size_t start = 0;
    std::size_t number = 0;
    while (start < text.size()) {
        std::size_t lf = text.find(end, start);
        std::size_t stop = lf == std::string_view::npos ? text.size() : lf;
        if (!crOnly && lf != std::string_view::npos && stop > start && text[stop - 1] == '\r') --stop;
        visit(text.substr(start, stop - start), ++number);
        if (lf == std::string_view::npos) break;
        start = lf + 1;
    }
}

// The lines of ForEachLine, collected.
std::vector<std::string_view> SplitLines(std::string_view text);

inline bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

// Blanks are space and tab, wherever text is read.
inline bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The text without blanks at either end.
std::string_view TrimBlanks(std::string_view text);

bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b);

// The text with ASCII letters in lower case.
std::string LowerAscii(std::string_view text);

} // namespace kolvane
