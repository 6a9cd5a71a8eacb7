#include "UiTestSupport.h"

#include "model/FileIo.h"
#include "model/Text.h"

#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QListWidget>
#include <cstdio>

namespace kolvane::testing {

void ScriptedDialogs::ShowMessage(const QString& text, const QString& title, int style) {
    messages.push_back({text, title, style, QGuiApplication::overrideCursor() != nullptr});
    if (onMessage) onMessage(messages.back());
}

QString ScriptedDialogs::AskFolder(const QString& prompt, const QString& startFolder) {
    folderRequests.push_back({prompt, startFolder});
    if (folderAnswers.empty()) {
        ADD_FAILURE() << "unexpected folder question: " << prompt.toStdString();
        return QString();
    }
    QString answer = folderAnswers.front();
    folderAnswers.pop_front();
    return answer;
}

std::string UiFixture::Folder(const std::string& name) const {
    const QString path = temp.filePath(QString::fromStdString(name));
    QDir().mkpath(path);
    return path.toStdString() + "/";
}

std::unique_ptr<frmKolvane> UiFixture::StartWindow() {
    auto scripted = std::make_unique<ScriptedDialogs>();
    dialogs = scripted.get();
    std::string app = AppFolder();
    app.pop_back(); // as the executable's folder is reported: without a trailing "/"
    auto window = std::make_unique<frmKolvane>(QString::fromStdString(app), std::move(scripted));
    window->setInstanceLockPath(LockPath());
    EXPECT_TRUE(window->Form_Load());
    return window;
}

void WriteFile(const std::string& path, const std::string& utf8Text) {
    ASSERT_EQ(WriteFileAtomically(path, EncodeCp932(utf8Text)), 0) << path;
}

void WriteMonthlyFile(const std::string& folder, int year, int month, const std::string& station, int days) {
    std::string text = "年月日,時刻,降水量,気温,湿度,気圧,風向,平均風速,最大瞬間風速,最大時風向,日射量,"
                       "露点温度,地中温度\r\n";
    char line[128];
    for (int day = 1; day <= days; ++day) {
        for (int hour = 1; hour <= 24; ++hour) {
            std::snprintf(line, sizeof line, "%d/%02d/%02d,%d:00,0,5.2,60,1013,90,2.5,5.0,90,0.5,1.0,4.0\r\n",
                          year, month, day, hour);
            text += line;
        }
    }
    char name[32];
    std::snprintf(name, sizeof name, "M%02d%02d_%s.csv", year % 100, month, station.c_str());
    WriteFile(folder + name, text);
}

std::vector<std::string> ReadYearlyLines(const std::string& path) {
    std::string bytes;
    if (ReadWholeFile(path, bytes) != 0) return {};
    const std::string text = DecodeCp932(bytes);
    std::vector<std::string> lines;
    for (std::string_view line : SplitLines(text))
        lines.emplace_back(line);
    return lines;
}

std::string YearlyField(const std::vector<std::string>& lines, const std::string& day, int column) {
    for (const std::string& line : lines) {
        if (line.rfind("\"" + day + "\"", 0) != 0) continue;
        std::vector<std::string_view> fields = SplitFields(line);
        return column < static_cast<int>(fields.size()) ? std::string(fields[column]) : std::string();
    }
    return "(no line " + day + ")";
}

QStringList Texts(const QWidget* widget) {
    QStringList texts;
    if (const auto* list = qobject_cast<const QListWidget*>(widget)) {
        for (int row = 0; row < list->count(); ++row)
            texts << list->item(row)->text();
    } else if (const auto* box = qobject_cast<const QComboBox*>(widget)) {
        for (int row = 0; row < box->count(); ++row)
            texts << box->itemText(row);
    }
    return texts;
}

std::array<QLineEdit*, 6> CoordinateBoxes(const QWidget* window) {
    return {Child<QLineEdit>(window, "txtLat0"), Child<QLineEdit>(window, "txtLat1"),
            Child<QLineEdit>(window, "txtLat2"), Child<QLineEdit>(window, "txtLon0"),
            Child<QLineEdit>(window, "txtLon1"), Child<QLineEdit>(window, "txtLon2")};
}

QStringList Strings(std::initializer_list<const char*> utf8Texts) {
    QStringList list;
    for (const char* text : utf8Texts)
        list << QString::fromUtf8(text);
    return list;
}

QStringList CoordinateTexts(const QWidget* window) {
    QStringList texts;
    for (const QLineEdit* box : CoordinateBoxes(window))
        texts << box->text();
    return texts;
}

std::string ReadText(const std::string& path) {
    std::string bytes;
    return ReadWholeFile(path, bytes) == 0 ? bytes : std::string();
}

} // namespace kolvane::testing
