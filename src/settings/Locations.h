#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace kolvane {

// Where the program's own files lie. A build folder or a portable copy keeps everything beside the
// executable; an installed program finds its data in the installed data folder and keeps the
// user's settings in the user's configuration folder, since the program folder is not theirs.

// What the rules look at. Current() reads the real process; tests fill it by hand.
struct ProgramEnvironment {
    std::string executableFolder;
    // The installed data folder, relative to executableFolder unless absolute.
    std::string installedDataFolder;
    std::string configHome; // $XDG_CONFIG_HOME; ignored unless absolute
    std::string home;       // $HOME, or the account's home folder
    std::function<bool(const std::string& folder)> canWrite;
    // Windows: %APPDATA%, where an installed copy keeps the user's settings. Empty elsewhere.
    std::string appData;

    static ProgramEnvironment Current(const std::string& executableFolder);
};

// The installed data folder as seen from the executable's folder, fixed when the program is built.
std::string_view InstalledDataFolder();

// The folder (ending in "/") that holds the data file or folder `name` (locale.dat, kolvane.hlp,
// Data): the executable's folder when `name` is there, else the installed data folder when it is
// there, else the executable's folder, so that a missing file is reported where it was looked for
// first.
std::string DataFolder(const ProgramEnvironment& env, std::string_view name);

// The data folder of DataFolder() followed by `name`.
std::string DataPath(const ProgramEnvironment& env, std::string_view name);

// The uninstaller the Windows installer leaves beside the program: it marks an installed copy.
inline constexpr std::string_view UNINSTALLER_FILE_NAME = "Uninstall.exe";

// On Windows (appData set): Kolvane/kolvane.ini in %APPDATA% for an installed copy (its uninstaller
// beside it), else beside the executable when a file is already there or the folder can be written
// (a portable copy), else in %APPDATA% too. Elsewhere: kolvane.ini beside the executable when one is already
// there, or when the folder is a build folder or portable copy (its locality table is beside it, not only in
// the installed data folder) that can be written; otherwise kolvane/kolvane.ini in the user's configuration
// folder
// ($XDG_CONFIG_HOME, else $HOME/.config). Without a home folder it stays beside the executable.
std::string SettingsFilePath(const ProgramEnvironment& env);

} // namespace kolvane
