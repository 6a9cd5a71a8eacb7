#include "model/Text.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <stdexcept>
#include <unordered_map>

namespace kolvane {
namespace {

bool IsAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts `in`; at an unconvertible sequence appends `replacement` and skips `skip(in)` bytes.
    template <typename Skip> std::string Run(std::string_view in, std::string_view replacement, Skip skip) {
        std::string out;
        out.resize(in.size() * 2 + 16);
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        std::size_t used = 0;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        while (srcLeft > 0) {
            char* dst = out.data() + used;
            std::size_t dstLeft = out.size() - used;
            std::size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            used = out.size() - dstLeft;
            if (r != static_cast<std::size_t>(-1)) break;
            if (errno == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            // EILSEQ or EINVAL (incomplete at the end): replace and go on.
            if (out.size() - used < replacement.size()) out.resize(out.size() * 2 + replacement.size());
            out.replace(used, replacement.size(), replacement);
            used += replacement.size();
            std::size_t n = std::min(srcLeft, skip(std::string_view(src, srcLeft)));
            src += n;
            srcLeft -= n;
        }
        out.resize(used);
        return out;
    }

  private:
    iconv_t cd_;
};

std::size_t SkipCp932(std::string_view rest) {
    auto lead = static_cast<unsigned char>(rest[0]);
    bool doubleByteLead = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
    if (doubleByteLead && rest.size() >= 2) {
        auto trail = static_cast<unsigned char>(rest[1]);
        if (trail >= 0x40 && trail <= 0xFC && trail != 0x7F) return 2;
    }
    return 1;
}

std::size_t SkipUtf8(std::string_view rest) {
    auto lead = static_cast<unsigned char>(rest[0]);
    std::size_t n = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    for (std::size_t k = 1; k < n; ++k) {
        if (k >= rest.size() || (static_cast<unsigned char>(rest[k]) & 0xC0) != 0x80) return k;
    }
    return n;
}

} // namespace

std::string DecodeCp932(std::string_view bytes) {
    if (IsAscii(bytes)) return std::string(bytes);
    thread_local Converter converter("UTF-8", "CP932");
    return converter.Run(bytes, "\xEF\xBF\xBD", SkipCp932);
}

// The files written are ASCII but for the same few Japanese words on every line: those runs are converted
// once and remembered, the rest is copied. An ASCII byte is never part of a longer UTF-8 sequence, so a
// run converts as it would within the whole text.
std::string EncodeCp932(std::string_view utf8) {
    if (IsAscii(utf8)) return std::string(utf8);
    thread_local Converter converter("CP932", "UTF-8");
    thread_local std::unordered_map<std::string, std::string> known;
    std::string out;
    out.reserve(utf8.size());
    const auto ascii = [](char c) { return static_cast<unsigned char>(c) < 0x80; };
    for (auto at = utf8.begin(); at != utf8.end();) {
        const auto run = std::find_if_not(at, utf8.end(), ascii);
        out.append(at, run);
        at = std::find_if(run, utf8.end(), ascii);
        if (run == at) continue;
        if (known.size() >= 256) known.clear(); // any text may come through here
        auto [entry, added] = known.try_emplace(std::string(run, at));
        if (added) entry->second = converter.Run(entry->first, "?", SkipUtf8);
        out += entry->second;
    }
    return out;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    ForEachLine(text, [&lines](std::string_view line, std::size_t) { lines.push_back(line); });
    return lines;
}

namespace {
char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
} // namespace

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = LowerAscii(c);
    return lower;
}

bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

bool LessIgnoreAsciiCase(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(LowerAscii(x)) < static_cast<unsigned char>(LowerAscii(y));
    });
}

} // namespace kolvane
