#pragma once

#include <array>
#include <string>
#include <string_view>

namespace kolvane {

// The settings file, read once at start and written once at exit (SettingsFilePath says where).
inline constexpr std::string_view SETTINGS_FILE_NAME = "kolvane.ini";

// The file's path in `folder` (a "/" is added when the folder lacks one).
std::string SettingsPath(const std::string& folder);

struct SettingEntry {
    std::string_view section;
    std::string_view key;
    std::string_view defaultValue;
};

// The nine settings with their defaults, in the order the exit writes them (which is also the order
// a new file lists them in).
inline constexpr std::array<SettingEntry, 9> SETTING_ENTRIES{{
    {"Path", "Load", ""},
    {"Data", "Pref", "0"},
    {"Data", "Locale", "000000"},
    {"Data", "LatitudeDegrees", ""},
    {"Data", "LatitudeMinutes", ""},
    {"Data", "LatitudeSeconds", ""},
    {"Data", "LongitudeDegrees", ""},
    {"Data", "LongitudeMinutes", ""},
    {"Data", "LongitudeSeconds", ""},
}};

// The folder the last run wrote into, where the output folder dialog opens the next time. Apart from
// the nine: it is written only once a run has had an output folder, so a file is otherwise kept as it was.
inline constexpr SettingEntry OUTPUT_FOLDER_ENTRY{"Path", "Save", ""};

// Remembered at exit while the blank prefecture is chosen. Five zeros, unlike the six of the default;
// neither is a code of the locality table.
inline constexpr std::string_view NO_PREFECTURE_LOCALITY_CODE = "00000";

// The prefecture list: a blank entry, then the 47 prefectures, so an entry's index is its
// JIS X 0401 code and the prefecture number of the locality table.
inline constexpr int PREFECTURE_COUNT = 47;
inline constexpr std::array<std::string_view, PREFECTURE_COUNT + 1> PREFECTURE_NAMES{{
    "",         "北海道", "青森県", "岩手県", "宮城県",   "秋田県", "山形県",   "福島県", "茨城県", "栃木県",
    "群馬県",   "埼玉県", "千葉県", "東京都", "神奈川県", "新潟県", "富山県",   "石川県", "福井県", "山梨県",
    "長野県",   "岐阜県", "静岡県", "愛知県", "三重県",   "滋賀県", "京都府",   "大阪府", "兵庫県", "奈良県",
    "和歌山県", "鳥取県", "島根県", "岡山県", "広島県",   "山口県", "徳島県",   "香川県", "愛媛県", "高知県",
    "福岡県",   "佐賀県", "長崎県", "熊本県", "大分県",   "宮崎県", "鹿児島県", "沖縄県",
}};

// The nine values as the window holds them. LoadSettings fills them with the stored texts or the
// defaults of SETTING_ENTRIES.
struct SettingsValues {
    std::string monthlyFolder;            // Path/Load, as stored
    int prefectureIndex = 0;              // Data/Pref, 0 to PREFECTURE_COUNT
    std::string localityCode;             // Data/Locale
    std::array<std::string, 3> latitude;  // box texts: degrees, minutes, seconds
    std::array<std::string, 3> longitude; // box texts: degrees, minutes, seconds
    std::string outputFolder;             // Path/Save (OUTPUT_FOLDER_ENTRY); empty is not written
};

// A stored prefecture index: its leading number (0 when it has none) rounded to the nearest whole
// number, halves away from zero; a value outside 0 to PREFECTURE_COUNT, which could select no
// entry, is taken as 0.
int PrefectureIndexFromText(std::string_view text);

// Reads the file. A missing or unreadable file gives the defaults. Values are at most 255 bytes of
// CP932 text, like every profile value.
SettingsValues LoadSettings(const std::string& path);

// The locality code to remember at exit: NO_PREFECTURE_LOCALITY_CODE for the blank prefecture;
// otherwise the code of the table row of the chosen prefecture and the shown locality name, or
// `currentCode` (the one read at start) when the table has no such row or cannot be read.
std::string LocalityCodeAtExit(const std::string& tablePath, int prefectureIndex,
                               std::string_view shownLocality, std::string_view currentCode);

// Writes the nine values in the order of SETTING_ENTRIES, keeping every other line of the file, and
// replaces the file once, atomically. A value that cannot be stored on one line (a folder name
// holding a line break) leaves that key's stored value as it was. Returns 0 or an errno; a file
// that exists but cannot be read is not replaced (its other lines would be lost); message::SettingsNotSaved
// words a failure. The file's folder is made when missing (the user's configuration folder at a
// first exit).
int SaveSettings(const std::string& path, const SettingsValues& values);

// The folder of the monthly files at start: the stored folder when it names an existing folder,
// else the sample folder `dataFolder` + "Data/" (DataFolder of Locations.h says which folder holds
// it). The result ends in "/".
std::string StartMonthlyFolder(const std::string& stored, const std::string& dataFolder);

} // namespace kolvane
