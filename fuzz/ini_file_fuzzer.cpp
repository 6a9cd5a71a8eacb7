// The settings (ini) module. Any bytes parse, and an unchanged document writes back byte for byte.
// Setting values (to keys the file has, to new keys of its sections and to a new section) and reading
// the written file again gives what was set, and every other value as it was.

#include "FuzzSupport.h"

#include "model/Text.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

using namespace kolvane;

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// Section and key names as a user of the module sees them: the names the file's lines give.
struct Name {
    std::string section;
    std::string key;
};

std::vector<Name> NamesOf(std::string_view bytes) {
    std::vector<Name> names;
    std::string section;
    for (std::string_view raw : SplitLines(bytes)) {
        const std::string text = DecodeCp932(raw);
        const std::string_view t = Trim(text);
        if (t.empty() || t.front() == ';') continue;
        if (t.front() == '[') {
            if (std::size_t close = t.find(']'); close != t.npos) section = Trim(t.substr(1, close - 1));
            continue;
        }
        const std::size_t eq = t.find('=');
        if (eq != t.npos && !Trim(t.substr(0, eq)).empty())
            names.push_back({section, std::string(Trim(t.substr(0, eq)))});
    }
    return names;
}

// A text survives CP932 as it stands: no undecodable byte and no character without a CP932 form.
bool Cp932Safe(std::string_view utf8) {
    return utf8.find("\xEF\xBF\xBD") == utf8.npos && DecodeCp932(EncodeCp932(utf8)) == utf8;
}

using Values = std::map<std::pair<std::string, std::string>, std::optional<std::string>>;

Values Snapshot(const IniFile& file, const std::vector<Name>& names) {
    Values values;
    for (const Name& n : names)
        values[{LowerAscii(n.section), LowerAscii(n.key)}] = file.Find(n.section, n.key);
    return values;
}

void CheckFound(const std::optional<std::string>& found, std::string_view set) {
    FUZZ_CHECK(found.has_value());
    const std::string_view expected = Trim(set);
    const std::size_t bytes = EncodeCp932(*found).size();
    FUZZ_CHECK(bytes <= INI_VALUE_MAX_BYTES);
    if (EncodeCp932(expected).size() <= INI_VALUE_MAX_BYTES)
        FUZZ_CHECK(*found == expected);
    else
        FUZZ_CHECK(expected.substr(0, found->size()) == *found && bytes >= INI_VALUE_MAX_BYTES - 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    IniFile file = IniFile::Parse(bytes);
    FUZZ_CHECK(file.Serialize() == bytes);

    const int pref = PrefectureIndexFromText(file.Get("Data", "Pref", "0"));
    FUZZ_CHECK(pref >= 0 && pref <= PREFECTURE_COUNT);

    std::vector<Name> names = NamesOf(bytes);
    // New keys in the file's sections and a new section, besides the keys it has.
    const std::size_t existing = names.size();
    for (std::size_t i = 0; i < existing && i < 4; ++i)
        names.push_back({names[i].section, names[i].key + "New"});
    names.push_back({"Kolvane Fuzz", "Added"});
    if (names.size() > 6) names.resize(6);

    // The values set are texts of the file itself, so they carry whatever the fuzzer put there.
    std::vector<std::string> texts;
    for (std::string_view raw : SplitLines(bytes))
        texts.push_back(DecodeCp932(raw));
    texts.push_back(std::string(300, 'v'));
    texts.push_back(" \t");

    Values before = Snapshot(file, names);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const Name& name = names[i];
        if (!Cp932Safe(name.section) || !Cp932Safe(name.key)) continue;
        const std::string& value = texts[i % texts.size()];
        if (!Cp932Safe(value)) continue;

        if (!file.Set(name.section, name.key, value)) {
            const std::string_view breaks("\r\n\0", 3);
            FUZZ_CHECK(value.find_first_of(breaks) != value.npos ||
                       name.key.find_first_of(breaks) != name.key.npos ||
                       name.section.find_first_of(breaks) != name.section.npos || name.section.empty() ||
                       name.section.find(']') != name.section.npos);
            continue;
        }
        const std::string written = file.Serialize();
        const IniFile reread = IniFile::Parse(written);
        FUZZ_CHECK(reread.Serialize() == written);
        CheckFound(reread.Find(name.section, name.key), value);
        CheckFound(file.Find(name.section, name.key), value);

        Values after = Snapshot(reread, names);
        const std::pair<std::string, std::string> set{LowerAscii(name.section), LowerAscii(name.key)};
        for (const auto& [k, v] : before)
            FUZZ_CHECK(k == set || after[k] == v);
        before = std::move(after);
        file = reread;
    }
    return 0;
}
