#include "settings/Locations.h"

#include "model/FileIo.h"
#include "settings/LocalityTable.h"
#include "settings/Settings.h"

#include <vector>

#ifndef KOLVANE_INSTALLED_DATA_FOLDER
#define KOLVANE_INSTALLED_DATA_FOLDER "../share/kolvane/"
#endif

namespace kolvane {
namespace {

bool Exists(const std::string& path) {
    platform::Status st;
    return platform::Stat(path, st) == 0 && st.kind != platform::Kind::Missing;
}

// `folder` with "." and "name/.." taken out of its text, ending in "/".
std::string LexicallyNormal(const std::string& folder) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= folder.size()) {
        std::size_t slash = folder.find('/', start);
        if (slash == std::string::npos) slash = folder.size();
        const std::string part = folder.substr(start, slash - start);
        if (part == ".." && !parts.empty() && parts.back() != ".." && !parts.back().empty())
            parts.pop_back();
        else if (part != "." && (part != "" || parts.empty()))
            parts.push_back(part);
        start = slash + 1;
    }
    std::string text;
    for (const std::string& part : parts)
        text += part + "/";
    return text;
}

std::string Installed(const ProgramEnvironment& env) {
    const std::string& folder = env.installedDataFolder;
    if (folder.empty()) return {};
    if (folder.front() == '/') return WithTrailingSlash(folder);
    // The executable's folder is a real path (links resolved), so ".." can be taken away in the text;
    // the user sees /usr/share/kolvane/Data/, not /usr/bin/../share/kolvane/Data/.
    return LexicallyNormal(WithTrailingSlash(env.executableFolder) + WithTrailingSlash(folder));
}

// The folder of Program Files is every user's, and not theirs to write: an installed copy keeps each
// user's settings in their own profile. A portable copy carries its settings with it.
std::string WindowsSettingsFilePath(const ProgramEnvironment& env) {
    const std::string folder = WithTrailingSlash(env.executableFolder);
    const std::string beside = SettingsPath(env.executableFolder);
    const bool installed = Exists(folder + std::string(UNINSTALLER_FILE_NAME));
    if (!installed && (Exists(beside) || (env.canWrite && env.canWrite(folder)))) return beside;
    return SettingsPath(WithTrailingSlash(env.appData) + "Kolvane");
}

} // namespace

std::string_view InstalledDataFolder() {
    return KOLVANE_INSTALLED_DATA_FOLDER;
}

ProgramEnvironment ProgramEnvironment::Current(const std::string& executableFolder) {
    ProgramEnvironment env;
    env.executableFolder = executableFolder;
    env.installedDataFolder = std::string(InstalledDataFolder());
    env.configHome = platform::Environment("XDG_CONFIG_HOME");
    env.home = platform::HomeFolder();
    env.canWrite = platform::CanWrite;
#ifdef _WIN32
    env.appData = platform::Environment("APPDATA");
#endif
    return env;
}

std::string DataFolder(const ProgramEnvironment& env, std::string_view name) {
    const std::string beside = WithTrailingSlash(env.executableFolder);
    if (Exists(beside + std::string(name))) return beside;
    const std::string installed = Installed(env);
    if (!installed.empty() && Exists(installed + std::string(name))) return installed;
    return beside;
}

std::string DataPath(const ProgramEnvironment& env, std::string_view name) {
    return DataFolder(env, name) + std::string(name);
}

std::string SettingsFilePath(const ProgramEnvironment& env) {
    if (!env.appData.empty()) return WindowsSettingsFilePath(env);
    const std::string beside = SettingsPath(env.executableFolder);
    if (Exists(beside)) return beside;
    // An installed program's folder (bin/) is never a place for settings, even for a user who may
    // write there: one file left there would become every user's settings file.
    const bool installed =
        DataFolder(env, LOCALITY_TABLE_FILE_NAME) != WithTrailingSlash(env.executableFolder);
    if (!installed && env.canWrite && env.canWrite(WithTrailingSlash(env.executableFolder))) return beside;
    std::string config;
    if (!env.configHome.empty() && env.configHome.front() == '/')
        config = WithTrailingSlash(env.configHome);
    else if (!env.home.empty())
        config = WithTrailingSlash(env.home) + ".config/";
    else
        return beside;
    return config + "kolvane/" + std::string(SETTINGS_FILE_NAME);
}

} // namespace kolvane
