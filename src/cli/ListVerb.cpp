#include "Texts.h"
#include "Verbs.h"

#include "discovery/Discovery.h"
#include "model/Error.h"
#include "model/FileIo.h"
#include "model/Messages.h"

#include <iostream>

namespace kolvane::cli {

std::string MonthlyFolder(const std::string& given) {
    if (given.empty()) throw UsageError(cli_text::NoMonthly());
    platform::Status st;
    if (platform::Stat(given, st) == 0 && st.kind != platform::Kind::Missing &&
        st.kind != platform::Kind::Folder)
        throw UsageError(cli_text::MonthlyIsAFile(given));
    std::string folder = WithTrailingSlash(given);
    if (!IsFolder(folder)) throw UsageError(cli_text::NoMonthlyFolder(folder));
    return folder;
}

int RunList(const ListCommand& command) {
    const std::string folder = MonthlyFolder(command.monthly);
    std::vector<StationMonths> stations;
    if (int e = ListStations(folder, stations))
        throw KolvaneError(message::MonthlyFolderUnreadable(folder, e));
    if (stations.empty()) std::cout << cli_text::NoMonthlyFiles(folder) << "\n";
    for (const StationMonths& s : stations) {
        std::cout << cli_text::ListedStation(s.group, s.bucket, s.months.size()) << "\n";
        for (std::size_t i = 0; i < s.months.size(); ++i)
            std::cout << (i % 12 == 0 ? "  " : " ") << s.months[i] << (i % 12 == 11 ? "\n" : "");
        if (s.months.size() % 12 != 0) std::cout << "\n";
    }
    return 0;
}

} // namespace kolvane::cli
