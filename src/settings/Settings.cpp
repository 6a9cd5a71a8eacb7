#include "settings/Settings.h"

#include "model/FileIo.h"
#include "model/Numbers.h"
#include "settings/IniFile.h"
#include "settings/LocalityTable.h"

#include <cerrno>
#include <cmath>

namespace kolvane {
namespace {

enum Entry { LOAD, PREF, LOCALE, LAT_DEG, LAT_MIN, LAT_SEC, LON_DEG, LON_MIN, LON_SEC };

// The folder of a path ("" when it has none), without its trailing separator.
std::string ParentFolder(const std::string& path) {
    std::size_t slash = path.find_last_of(platform::kSeparators);
    while (slash != std::string::npos && slash > 0 &&
           platform::kSeparators.find(path[slash - 1]) != std::string_view::npos)
        --slash;
    return slash == std::string::npos || slash == 0 ? std::string() : path.substr(0, slash);
}

// Only the user reads the folders made for their settings, which name their own folders.
int MakeFolders(const std::string& folder) {
    if (folder.empty() || IsFolder(folder)) return 0;
    if (int error = MakeFolders(ParentFolder(folder))) return error;
    if (int error = platform::MakePrivateFolder(folder); error && error != EEXIST) return error;
    return 0;
}

} // namespace

std::string SettingsPath(const std::string& folder) {
    return WithTrailingSlash(folder) + std::string(SETTINGS_FILE_NAME);
}

int PrefectureIndexFromText(std::string_view text) {
    double v = std::round(LeadingNumberOrZero(text));
    if (!(v >= 0 && v <= PREFECTURE_COUNT)) return 0;
    return static_cast<int>(v);
}

SettingsValues LoadSettings(const std::string& path) {
    const IniFile file = IniFile::Load(path);
    auto read = [&file](Entry e) {
        const SettingEntry& s = SETTING_ENTRIES[e];
        return file.Get(s.section, s.key, s.defaultValue);
    };
    SettingsValues v;
    v.monthlyFolder = read(LOAD);
    v.prefectureIndex = PrefectureIndexFromText(read(PREF));
    v.localityCode = read(LOCALE);
    v.latitude = {read(LAT_DEG), read(LAT_MIN), read(LAT_SEC)};
    v.longitude = {read(LON_DEG), read(LON_MIN), read(LON_SEC)};
    v.outputFolder =
        file.Get(OUTPUT_FOLDER_ENTRY.section, OUTPUT_FOLDER_ENTRY.key, OUTPUT_FOLDER_ENTRY.defaultValue);
    return v;
}

std::string LocalityCodeAtExit(const std::string& tablePath, int prefectureIndex,
                               std::string_view shownLocality, std::string_view currentCode) {
    if (prefectureIndex == 0) return std::string(NO_PREFECTURE_LOCALITY_CODE);
    std::optional<std::string> code = FindLocalityCode(tablePath, prefectureIndex, shownLocality);
    return code ? std::move(*code) : std::string(currentCode);
}

int SaveSettings(const std::string& path, const SettingsValues& values) {
    IniFile file = IniFile::Load(path);
    const std::string texts[] = {
        values.monthlyFolder, std::to_string(values.prefectureIndex),
        values.localityCode,  values.latitude[0],
        values.latitude[1],   values.latitude[2],
        values.longitude[0],  values.longitude[1],
        values.longitude[2],
    };
    for (std::size_t i = 0; i < SETTING_ENTRIES.size(); ++i)
        file.Set(SETTING_ENTRIES[i].section, SETTING_ENTRIES[i].key, texts[i]);
    if (!values.outputFolder.empty())
        file.Set(OUTPUT_FOLDER_ENTRY.section, OUTPUT_FOLDER_ENTRY.key, values.outputFolder);
    if (int error = MakeFolders(ParentFolder(path))) return error;
    return file.Save(path);
}

std::string StartMonthlyFolder(const std::string& stored, const std::string& dataFolder) {
    if (!stored.empty() && IsFolder(stored)) return WithTrailingSlash(stored);
    return WithTrailingSlash(WithTrailingSlash(dataFolder) + "Data");
}

} // namespace kolvane
