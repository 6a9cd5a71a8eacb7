#include "UiTestSupport.h"

#include "model/FileIo.h"
#include "model/Text.h"

#include <QDir>
#include <QGuiApplication>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace kolvane::testing {

void ScriptedDialogs::ShowMessage(const QString& text, const QString& title, int style) {
    const bool wait = QGuiApplication::overrideCursor() != nullptr;
    messages << (wait ? QStringLiteral("(wait) ") : QString()) + Line(title, style, text);
    if (onMessage) onMessage();
}

namespace {

// The next scripted answer; an unexpected question fails the test and gets `none`.
template <typename T> T Next(std::deque<T>& answers, const QString& question, T none = T()) {
    if (answers.empty()) {
        ADD_FAILURE() << "unexpected question: " << question.toStdString();
        return none;
    }
    T answer = answers.front();
    answers.pop_front();
    return answer;
}

} // namespace

QString ScriptedDialogs::AskFolder(const QString& prompt, const QString& startFolder) {
    folderRequests.push_back({prompt, startFolder});
    return Next(folderAnswers, prompt);
}

bool ScriptedDialogs::AskYesNo(const QString& text, const QString& title) {
    questions << title + u' ' + text;
    if (onQuestion) onQuestion();
    return Next(yesNoAnswers, text, false);
}

ReplaceAnswer ScriptedDialogs::AskMergeOrReplace(const QString& text, const QString& title) {
    questions << title + u' ' + text;
    if (onQuestion) onQuestion();
    return Next(replaceAnswers, text, ReplaceAnswer::Stop);
}

QString ScriptedDialogs::AskSaveFileName(const QString& caption, const QString& suggestedPath,
                                         const QString& filter) {
    saveRequests.push_back({caption, suggestedPath, filter});
    return Next(saveAnswers, caption);
}

QStringList ScriptedDialogs::StartFolders() const {
    QStringList folders;
    for (const FolderRequest& request : folderRequests)
        folders << request.startFolder;
    return folders;
}

const QStringList COORDINATES = Strings({"35", "41", "0", "139", "45", "30"});

bool RunEnds(const frmKolvane& window) {
    return QTest::qWaitFor([&] { return !window.runInProgress(); }, RUN_WAIT_MS);
}

struct TestDeadline::Watch {
    std::chrono::seconds limit;
    std::mutex mutex;
    std::condition_variable changed;
    std::string running; // empty between tests
    std::chrono::steady_clock::time_point due;

    void Run() {
        std::unique_lock lock(mutex);
        for (;;) {
            if (running.empty()) {
                changed.wait(lock);
            } else if (changed.wait_until(lock, due) == std::cv_status::timeout && !running.empty() &&
                       std::chrono::steady_clock::now() >= due) {
                std::fprintf(stderr,
                             "[  FAILED  ] %s did not end within %lld s: what it waited for never came\n",
                             running.c_str(), static_cast<long long>(limit.count()));
                std::fflush(stderr);
                std::_Exit(1);
            }
        }
    }
};

TestDeadline::TestDeadline(std::chrono::seconds limit) : watch_(std::make_shared<Watch>()) {
    watch_->limit = limit;
    std::thread([watch = watch_] { watch->Run(); }).detach();
}

void TestDeadline::OnTestStart(const ::testing::TestInfo& test) {
    const std::lock_guard lock(watch_->mutex);
    watch_->running = std::string(test.test_suite_name()) + "." + test.name();
    watch_->due = std::chrono::steady_clock::now() + watch_->limit;
    watch_->changed.notify_all();
}

void TestDeadline::OnTestEnd(const ::testing::TestInfo&) {
    const std::lock_guard lock(watch_->mutex);
    watch_->running.clear();
    watch_->changed.notify_all();
}

ModalUser::ModalUser(std::function<void(QWidget*)> answer) : answer_(std::move(answer)) {
    connect(&timer_, &QTimer::timeout, this, [this] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) answer_(modal);
    });
    timer_.start(10);
}

std::string Shown(const std::string& path) {
    return Shown(QString::fromStdString(path)).toStdString();
}

QString Shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QStringList Entries(const std::string& folder) {
    return QDir(QString::fromStdString(folder))
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

std::string Bytes(const std::string& path) {
    std::string bytes;
    EXPECT_EQ(ReadWholeFile(path, bytes), 0) << path;
    return bytes;
}

std::string UiFixture::Folder(const std::string& name) const {
    const QString path = temp.filePath(QString::fromStdString(name));
    QDir().mkpath(path);
    return path.toStdString() + "/";
}

std::unique_ptr<frmKolvane> UiFixture::StartWindow(bool scripted) {
    auto answers = scripted ? std::make_unique<ScriptedDialogs>() : nullptr;
    dialogs = answers.get();
    return StartWindow(std::move(answers));
}

std::unique_ptr<frmKolvane> UiFixture::StartWindow(std::unique_ptr<UserDialogs> answers) {
    std::string app = AppFolder();
    app.pop_back(); // as the executable's folder is reported: without a trailing "/"
    auto window = std::make_unique<frmKolvane>(QString::fromStdString(app), std::move(answers));
    window->Form_Load();
    return window;
}

std::unique_ptr<frmKolvane> UiFixture::StartWith(const std::string& settings) {
    WriteFile(SettingsFile(), settings);
    return StartWindow();
}

void UiFixture::ChooseMonthly(frmKolvane& window, const std::string& folder) {
    dialogs->folderAnswers = {QString::fromStdString(folder)};
    Click(&window, "Command1");
}

void UiFixture::Ready(frmKolvane& window, const std::string& monthly) {
    ChooseMonthly(window, monthly);
    SetCoordinates(&window, COORDINATES);
    Child<QListWidget>(&window, "List1")->selectAll();
}

bool UiFixture::RunInto(frmKolvane& window, const std::string& output) {
    dialogs->folderAnswers = {QString::fromStdString(output)};
    Click(&window, "cmdOK");
    return RunEnds(window);
}

QString Line(const QString& title, int style, const QString& text) {
    return QStringLiteral("%1 (%2) %3").arg(title).arg(style).arg(text);
}

QString ErrorLine(const QString& text) {
    return Line(QStringLiteral("エラー"), 48, text);
}

QString ConfirmLine(const QString& text) {
    return Line(QStringLiteral("確認"), 0, text);
}

void ExpectMessage(const QString& line, const QString& head, const QStringList& parts) {
    bool whole = line.startsWith(head);
    for (const QString& part : parts)
        whole = whole && line.contains(part);
    EXPECT_TRUE(whole) << line.toStdString();
}

QString RangeErrorLine(int box) {
    static const char* const texts[] = {"緯度(度)には20-49の範囲の半角数字を入力して下さい。",
                                        "緯度(分)には0-59の範囲の半角数字を入力して下さい。",
                                        "緯度(秒)には0-59の範囲の半角数字を入力して下さい。",
                                        "経度(度)には120-155の範囲の半角数字を入力して下さい。",
                                        "経度(分)には0-59の範囲の半角数字を入力して下さい。",
                                        "経度(秒)には0-59の範囲の半角数字を入力して下さい。"};
    return Line(QStringLiteral("入力値エラー"), 48, QString::fromUtf8(texts[box]));
}

void WriteFile(const std::string& path, const std::string& utf8Text) {
    ASSERT_EQ(WriteFileAtomically(path, EncodeCp932(utf8Text)), 0) << path;
}

std::string DataSettings(const std::string& keys, const QStringList& coordinates) {
    std::string text = "[Data]\r\n" + keys;
    const char* const names[] = {"LatitudeDegrees",  "LatitudeMinutes",  "LatitudeSeconds",
                                 "LongitudeDegrees", "LongitudeMinutes", "LongitudeSeconds"};
    for (qsizetype i = 0; i < coordinates.size(); ++i)
        text += std::string(names[i]) + "=" + coordinates[i].toStdString() + "\r\n";
    return text;
}

void WriteMonthlyFile(const std::string& folder, int year, int month, const std::string& station) {
    char name[32];
    std::snprintf(name, sizeof name, "M%02d%02d_%s.csv", year % 100, month, station.c_str());
    ASSERT_EQ(WriteFileAtomically(folder + name, MonthlyText(year, month, 1, 2)), 0) << name;
}

QStringList Texts(const QWidget* list) {
    const auto* box = qobject_cast<const QComboBox*>(list);
    const QAbstractItemModel* model =
        box ? box->model() : qobject_cast<const QAbstractItemView*>(list)->model();
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, 0).data().toString();
    return texts;
}

std::array<QLineEdit*, 6> CoordinateBoxes(const QWidget* window) {
    return {Child<QLineEdit>(window, "txtLat0"), Child<QLineEdit>(window, "txtLat1"),
            Child<QLineEdit>(window, "txtLat2"), Child<QLineEdit>(window, "txtLon0"),
            Child<QLineEdit>(window, "txtLon1"), Child<QLineEdit>(window, "txtLon2")};
}

void SetCoordinates(const QWidget* window, const QStringList& texts) {
    const auto boxes = CoordinateBoxes(window);
    for (std::size_t i = 0; i < boxes.size(); ++i)
        boxes[i]->setText(texts.value(static_cast<qsizetype>(i)));
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

} // namespace kolvane::testing
