#include "settings/IniFile.h"

#include "model/FileIo.h"
#include "model/Text.h"

#include <algorithm>
#include <cerrno>

namespace kolvane {
namespace {

bool IsCp932Lead(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The longest prefix of at most `max` bytes that ends on a character boundary.
std::string_view CutCp932(std::string_view bytes, std::size_t max) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::size_t width = IsCp932Lead(static_cast<unsigned char>(bytes[i])) ? 2 : 1;
        if (i + width > max) break;
        i += width;
    }
    return bytes.substr(0, std::min(i, bytes.size()));
}

bool HasLineBreakOrNul(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) != s.npos;
}

} // namespace

IniFile::Line IniFile::ParseLine(std::string raw, std::string ending) {
    Line line;
    line.raw = std::move(raw);
    line.ending = std::move(ending);
    std::string text = DecodeCp932(line.raw);
    std::string_view t = TrimBlanks(text);
    if (t.empty() || t.front() == ';') return line;
    if (t.front() == '[') {
        std::size_t close = t.find(']');
        if (close != t.npos) {
            line.kind = Kind::Section;
            line.name = TrimBlanks(t.substr(1, close - 1));
        }
        return line;
    }
    std::size_t eq = t.find('=');
    if (eq == t.npos) return line;
    std::string_view name = TrimBlanks(t.substr(0, eq));
    if (name.empty()) return line;
    line.kind = Kind::Key;
    line.name = name;
    line.value = TrimBlanks(t.substr(eq + 1));
    return line;
}

IniFile IniFile::Parse(std::string_view bytes) {
    IniFile file;
    bool endingSeen = false;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t lf = bytes.find('\n', start);
        if (lf == bytes.npos) {
            // A file cut between CR and LF: the CR ends the line and is no part of its value.
            const std::string_view rest = bytes.substr(start);
            const bool cr = rest.back() == '\r';
            file.lines_.push_back(ParseLine(std::string(rest.substr(0, rest.size() - cr)), cr ? "\r" : ""));
            break;
        }
        std::size_t stop = lf;
        const bool crlf = stop > start && bytes[stop - 1] == '\r';
        if (crlf) --stop;
        const std::string_view ending = crlf ? "\r\n" : "\n";
        if (!endingSeen) {
            file.newline_ = std::string(ending);
            endingSeen = true;
        }
        file.lines_.push_back(ParseLine(std::string(bytes.substr(start, stop - start)), std::string(ending)));
        start = lf + 1;
    }
    return file;
}

IniFile IniFile::Load(const std::string& path) {
    std::string bytes;
    int error = ReadWholeFile(path, bytes);
    IniFile file = error == 0 ? Parse(bytes) : IniFile();
    file.loadError_ = error;
    return file;
}

std::optional<std::size_t> IniFile::FindSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].kind == Kind::Section && EqualsIgnoreAsciiCase(lines_[i].name, section)) return i;
    return std::nullopt;
}

// Index of the next section header after `header`, or the line count.
std::size_t IniFile::SectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < lines_.size() && lines_[i].kind != Kind::Section)
        ++i;
    return i;
}

std::optional<std::size_t> IniFile::FindKey(std::size_t header, std::string_view key) const {
    std::size_t end = SectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i)
        if (lines_[i].kind == Kind::Key && EqualsIgnoreAsciiCase(lines_[i].name, key)) return i;
    return std::nullopt;
}

std::optional<std::string> IniFile::Find(std::string_view section, std::string_view key) const {
    std::optional<std::size_t> header = FindSection(section);
    if (!header) return std::nullopt;
    std::optional<std::size_t> at = FindKey(*header, key);
    if (!at) return std::nullopt;
    const std::string& value = lines_[*at].value;
    std::string cut = DecodeCp932(CutCp932(EncodeCp932(value), INI_VALUE_MAX_BYTES));
    std::erase(cut, '\0');
    return cut;
}

std::string IniFile::Get(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const {
    std::optional<std::string> value = Find(section, key);
    return value ? std::move(*value) : std::string(defaultValue);
}

void IniFile::InsertLine(std::size_t at, std::string utf8Text) {
    // The line before may be a last line without a line end, or with only the CR of one.
    if (at > 0 && lines_[at - 1].ending.empty()) lines_[at - 1].ending = newline_;
    if (at > 0 && lines_[at - 1].ending == "\r") lines_[at - 1].ending = "\r\n";
    std::string raw = EncodeCp932(utf8Text);
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), ParseLine(std::move(raw), newline_));
}

bool IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
    std::string_view s = TrimBlanks(section);
    std::string_view k = TrimBlanks(key);
    if (HasLineBreakOrNul(value) || HasLineBreakOrNul(section) || HasLineBreakOrNul(key)) return false;
    if (s.empty() || s.find(']') != s.npos || k.empty() || k.find('=') != k.npos || k.front() == ';' ||
        k.front() == '[')
        return false;

    std::optional<std::size_t> header = FindSection(s);
    if (!header) {
        InsertLine(lines_.size(), "[" + std::string(s) + "]");
        InsertLine(lines_.size(), std::string(k) + "=" + std::string(value));
        return true;
    }
    if (std::optional<std::size_t> at = FindKey(*header, k)) {
        Line& line = lines_[*at];
        // The file's spelling of the key is kept.
        Line replaced = ParseLine(EncodeCp932(line.name + "=" + std::string(value)), line.ending);
        line = std::move(replaced);
        return true;
    }
    // After the section's last non-blank line, so blank lines before the next section stay there.
    std::size_t at = SectionEnd(*header);
    while (at > *header + 1 && TrimBlanks(lines_[at - 1].raw).empty())
        --at;
    InsertLine(at, std::string(k) + "=" + std::string(value));
    return true;
}

std::string IniFile::Serialize() const {
    std::string out;
    for (const Line& line : lines_) {
        out += line.raw;
        out += line.ending;
    }
    return out;
}

int IniFile::Save(const std::string& path) const {
    if (loadError_ != 0 && loadError_ != ENOENT) return loadError_;
    return WriteFileAtomically(path, Serialize());
}

std::string ReadIniValue(const std::string& path, std::string_view section, std::string_view key,
                         std::string_view defaultValue) {
    return IniFile::Load(path).Get(section, key, defaultValue);
}

int WriteIniValue(const std::string& path, std::string_view section, std::string_view key,
                  std::string_view value) {
    IniFile file = IniFile::Load(path);
    if (!file.Set(section, key, value)) return EINVAL;
    return file.Save(path);
}

} // namespace kolvane
