#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kolvane {

// The most a read value holds, in CP932 bytes (a Japanese character takes two).
inline constexpr std::size_t INI_VALUE_MAX_BYTES = 255;

// A profile (ini) file in CP932, edited in memory and written back whole.
//
// Section and key names are compared ignoring ASCII case; names and values are trimmed of blanks.
// Of a section or key given twice, the first counts. Setting a value replaces that one line or
// inserts it (a missing section goes at the end, a missing key after the last line of its
// section); every other line is written back byte for byte with its own line end. New lines take
// the line end of the file's first line (CR LF for a new file).
class IniFile {
  public:
    IniFile() = default;

    // The document of CP932 bytes.
    static IniFile Parse(std::string_view bytes);

    // Reads `path`. A missing file is an empty document. Any other read failure gives an empty
    // document too, and Save then refuses to replace the file whose lines could not be kept.
    static IniFile Load(const std::string& path);

    // 0, or the errno of a failed Load (ENOENT for a missing file, which Save does not mind).
    int loadError() const { return loadError_; }

    // The trimmed value, cut to its first INI_VALUE_MAX_BYTES CP932 bytes without splitting a
    // double-byte character, so it may end one byte short. Nothing when the section or key is absent.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;

    // Find, or `defaultValue` when absent. A present key with an empty value gives "".
    std::string Get(std::string_view section, std::string_view key, std::string_view defaultValue) const;

    // Creates or replaces the value. Returns false, changing nothing, for a value holding a line
    // break or NUL (it could not be read back as one line) and for names that cannot form a
    // section or key line. A value read back is trimmed, so blanks around it are not kept.
    bool Set(std::string_view section, std::string_view key, std::string_view value);

    // The CP932 bytes of the whole file.
    std::string Serialize() const;

    // Replaces `path` atomically with Serialize(). Returns 0 or an errno.
    int Save(const std::string& path) const;

  private:
    enum class Kind { Other, Section, Key };
    struct Line {
        std::string raw;    // CP932 bytes without the line end
        std::string ending; // "\r\n", "\n" or "" (a last line without a line end)
        Kind kind = Kind::Other;
        std::string name;  // section or key name, UTF-8, trimmed
        std::string value; // key value, UTF-8, trimmed
    };

    static Line ParseLine(std::string raw, std::string ending);
    std::optional<std::size_t> FindSection(std::string_view section) const;
    std::size_t SectionEnd(std::size_t header) const;
    std::optional<std::size_t> FindKey(std::size_t header, std::string_view key) const;
    void InsertLine(std::size_t at, std::string utf8Text);

    std::vector<Line> lines_;
    std::string newline_ = "\r\n";
    int loadError_ = 0;
};

// One value from a file, or the default (missing file, section or key).
std::string ReadIniValue(const std::string& path, std::string_view section, std::string_view key,
                         std::string_view defaultValue);

// Sets one value and replaces the file. Returns 0, an errno, or EINVAL for a value Set refuses.
int WriteIniValue(const std::string& path, std::string_view section, std::string_view key,
                  std::string_view value);

} // namespace kolvane
