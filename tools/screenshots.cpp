// Saves PNG pictures of the program's windows as a user sees them, for scripts/screenshots.sh: the main
// window started on the folder beside this executable as the program starts, the folder dialog, a
// range message of the coordinate boxes, the help window, and a run of all months into a temporary
// folder (the replace question, the window during the run, the closing message) followed by an empty
// folder's month list. Not part of the program.
//
//   kolvane-screenshots [--screenshot-prefecture N] [--screenshot PNG] [--screenshot-folder-dialog PNG]
//                       [--screenshot-range-message PNG] [--screenshot-help PNG] [--screenshot-run PREFIX]

#include "app/SingleInstance.h"
#include "plot/Translations.h"
#include "ui/Form1.h"
#include "ui/QtUserDialogs.h"
#include "ui/frmKolvane.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace {

// What to take: each a PNG path, or empty to leave that picture out.
struct Screenshots {
    QString mainWindow;
    int prefecture = 0; // chosen, with its first locality's coordinates set, before the main window
    QString folderDialog;
    QString rangeMessage;
    QString help;
    QString run; // prefix of the run's pictures

    bool any() const {
        return !mainWindow.isEmpty() || !folderDialog.isEmpty() || !rangeMessage.isEmpty() ||
               !help.isEmpty() || !run.isEmpty();
    }
};

// The real message boxes; folders from a list while it has any, so a run needs no folder dialog.
class ShotDialogs : public kolvane::QtUserDialogs {
  public:
    using QtUserDialogs::QtUserDialogs;
    QString AskFolder(const QString& prompt, const QString& startFolder) override {
        if (folders.empty()) return QtUserDialogs::AskFolder(prompt, startFolder);
        QString folder = folders.front();
        folders.pop_front();
        return folder;
    }
    QString AskSaveFileName(const QString& caption, const QString& suggested,
                            const QString& filter) override {
        if (saves.empty()) return QtUserDialogs::AskSaveFileName(caption, suggested, filter);
        QString path = saves.front();
        saves.pop_front();
        return path;
    }
    std::deque<QString> folders;
    std::deque<QString> saves;
};

Screenshots ReadScreenshotOptions(int argc, char** argv) {
    Screenshots shots;
    for (int i = 1; i + 1 < argc; ++i) {
        const char* option = argv[i];
        const QString value = QString::fromLocal8Bit(argv[++i]);
        if (std::strcmp(option, "--screenshot") == 0)
            shots.mainWindow = value;
        else if (std::strcmp(option, "--screenshot-prefecture") == 0)
            shots.prefecture = value.toInt();
        else if (std::strcmp(option, "--screenshot-folder-dialog") == 0)
            shots.folderDialog = value;
        else if (std::strcmp(option, "--screenshot-range-message") == 0)
            shots.rangeMessage = value;
        else if (std::strcmp(option, "--screenshot-help") == 0)
            shots.help = value;
        else if (std::strcmp(option, "--screenshot-run") == 0)
            shots.run = value;
        else
            --i;
    }
    return shots;
}

// Runs the steps one after another, each after the windows have had time to show themselves.
void RunSteps(QObject* context, std::vector<std::function<void()>> steps, std::size_t next = 0) {
    if (next >= steps.size()) return;
    QTimer::singleShot(500, context, [context, steps = std::move(steps), next]() mutable {
        steps[next]();
        RunSteps(context, std::move(steps), next + 1);
    });
}

int TakeScreenshots(QApplication& app, kolvane::frmKolvane& window, ShotDialogs& dialogs,
                    const Screenshots& shots) {
    int status = 0;
    auto save = [&status](QWidget* widget, const QString& path) {
        if (path.isEmpty()) return;
        if (!widget || !widget->grab().save(path)) status = 1;
    };
    // A modal box is taken and closed (its safe answer) from within its own event loop.
    auto shootModal = [&save, &window](const QString& path, int delay = 250) {
        QTimer::singleShot(delay, &window, [&save, path] {
            QWidget* box = QApplication::activeModalWidget();
            save(qobject_cast<QMessageBox*>(box), path);
            if (box) box->close();
        });
    };
    kolvane::Form1 dialog(&window);
    QTemporaryDir scratch;
    std::vector<std::function<void()>> steps;
    steps.push_back([&] {
        if (shots.prefecture > 0) {
            window.findChild<QComboBox*>(QStringLiteral("cboArea1"))->setCurrentIndex(shots.prefecture);
            window.findChild<QPushButton*>(QStringLiteral("cmdSet"))->click();
        }
    });
    steps.push_back([&] {
        save(&window, shots.mainWindow);
        // Another locality than the one whose coordinates the boxes hold: the window says so.
        if (shots.prefecture > 0 && !shots.mainWindow.isEmpty()) {
            window.findChild<QComboBox*>(QStringLiteral("cboArea2"))->setCurrentIndex(1);
            save(&window, QString(shots.mainWindow)
                              .replace(QStringLiteral(".png"), QStringLiteral("-other-locality.png")));
            window.findChild<QComboBox*>(QStringLiteral("cboArea2"))->setCurrentIndex(0);
        }
    });
    if (!shots.folderDialog.isEmpty()) {
        steps.push_back([&] {
            dialog.setPrompt(QStringLiteral("年次ファイルを保存するフォルダを指定して下さい。"));
            dialog.setPath(QString::fromStdString(window.monthlyFolder()));
            dialog.show();
        });
        steps.push_back([&] {
            save(&dialog, shots.folderDialog);
            // A typed folder that does not exist is said under the path.
            auto* path = dialog.findChild<QLineEdit*>(QStringLiteral("txtOpen"));
            path->setText(path->text() + QStringLiteral("/存在しないフォルダ"));
            QMetaObject::invokeMethod(path, &QLineEdit::returnPressed);
        });
        steps.push_back([&] {
            save(&dialog,
                 QString(shots.folderDialog).replace(QStringLiteral(".png"), QStringLiteral("-typed.png")));
            // A new folder being named, in a folder of its own.
            dialog.setPath(scratch.path());
            dialog.findChild<QPushButton*>(QStringLiteral("cmdNewFolder"))->click();
        });
        steps.push_back([&] {
            save(&dialog, QString(shots.folderDialog)
                              .replace(QStringLiteral(".png"), QStringLiteral("-new-folder.png")));
            dialog.hide();
        });
    }
    if (!shots.rangeMessage.isEmpty()) {
        steps.push_back([&] {
            shootModal(shots.rangeMessage);
            window.findChild<QLineEdit*>(QStringLiteral("txtLat1"))->setText(QStringLiteral("60"));
        });
    }
    if (!shots.help.isEmpty()) {
        steps.push_back([&] { window.findChild<QPushButton*>(QStringLiteral("cmdHelp"))->click(); });
        steps.push_back([&] { save(window.findChild<QWidget*>(QStringLiteral("helpWindow")), shots.help); });
    }
    QTemporaryDir output;
    const QString sample = QString::fromStdString(window.monthlyFolder());
    // The window during the run, as it takes the notice of the first file (the run waits for that).
    bool progressTaken = false;
    QObject::connect(&window, &kolvane::frmKolvane::yearlyFileWritten, &window, [&] {
        if (std::exchange(progressTaken, true)) return;
        save(&window, shots.run + QStringLiteral("-progress.png"));
        // 終了 during the run asks first; the shot answers いいえ and the run goes on.
        shootModal(shots.run + QStringLiteral("-exit-question.png"), 200);
        window.findChild<QPushButton*>(QStringLiteral("cmdExit"))->click();
    });
    auto modal = [] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); };
    if (!shots.run.isEmpty()) {
        steps.push_back([&] {
            // Run with a coordinate box left empty.
            window.findChild<QLineEdit*>(QStringLiteral("txtLat0"))->clear();
            shootModal(shots.run + QStringLiteral("-input-error.png"));
            window.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        });
        steps.push_back([&] {
            // A yearly file in the output folder that the run did not merge from: it asks first.
            const QString folder = output.path() + u'/';
            QFile earlier(folder + QStringLiteral("Y2024_0101.csv"));
            if (earlier.open(QIODevice::WriteOnly)) earlier.write("earlier\r\n");
            dialogs.folders = {folder};
            // The range message shot left a box empty: the locality's coordinates again.
            window.findChild<QPushButton*>(QStringLiteral("cmdSet"))->click();
            window.findChild<QListWidget*>(QStringLiteral("List1"))->selectAll();
            // Run opens a modal question: started once this step has returned.
            QTimer::singleShot(0, &window,
                               [&] { window.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click(); });
        });
        steps.push_back([&] {
            save(modal(), shots.run + QStringLiteral("-question.png"));
            // 置き換え: the earlier file is no yearly file to merge.
            if (QMessageBox* box = modal())
                for (QAbstractButton* button : box->buttons())
                    if (box->buttonRole(button) == QMessageBox::DestructiveRole) button->click();
        });
        steps.push_back([&] {
            save(modal(), shots.run + QStringLiteral("-done.png"));
            if (QMessageBox* box = modal(); box && box->button(QMessageBox::Ok))
                box->button(QMessageBox::Ok)->click();
        });
        steps.push_back([&] {
            save(&window, shots.run + QStringLiteral("-after.png"));
            window.findChild<QPushButton*>(QStringLiteral("cmdPlot"))->click();
        });
        steps.push_back([&] {
            QWidget* view = window.findChild<QWidget*>(QStringLiteral("YearView"));
            save(view, shots.run + QStringLiteral("-plot.png"));
            // The whole screen as well: whether the view, frame and all, fits on it.
            if (QScreen* screen = view ? view->screen() : nullptr)
                if (!screen->grabWindow(0).save(shots.run + QStringLiteral("-plot-screen.png"))) status = 1;
            if (auto* common = view ? view->findChild<QCheckBox*>(QStringLiteral("chkCommonScale")) : nullptr)
                common->setChecked(false);
        });
        steps.push_back([&] {
            QWidget* view = window.findChild<QWidget*>(QStringLiteral("YearView"));
            save(view, shots.run + QStringLiteral("-plot-own-scale.png"));
            if (!view) return;
            view->findChild<QCheckBox*>(QStringLiteral("chkCommonScale"))->setChecked(true);
            // The pictures saved, as the user's save dialog would name them.
            dialogs.saves = {shots.run + QStringLiteral("-saved.png"),
                             shots.run + QStringLiteral("-saved.svg")};
            for (const char* button : {"cmdSavePng", "cmdSaveSvg"})
                if (auto* save = view->findChild<QPushButton*>(QLatin1String(button))) save->click();
            view->resize(view->minimumSizeHint());
        });
        steps.push_back([&] {
            QWidget* view = window.findChild<QWidget*>(QStringLiteral("YearView"));
            save(view, shots.run + QStringLiteral("-plot-smallest.png"));
            // The other year, as a user flips through them.
            if (auto* years = view ? view->findChild<QComboBox*>(QStringLiteral("cboYear")) : nullptr)
                years->setCurrentIndex(years->currentIndex() == 0 ? 1 : 0);
        });
        steps.push_back([&] {
            QWidget* view = window.findChild<QWidget*>(QStringLiteral("YearView"));
            save(view, shots.run + QStringLiteral("-plot-other-year.png"));
            if (view) view->close();
        });
        steps.push_back([&] {
            dialogs.folders = {output.path() + QStringLiteral("/empty/")};
            QDir().mkpath(dialogs.folders.front());
            window.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        });
        steps.push_back([&] {
            save(&window, shots.run + QStringLiteral("-empty.png"));
            // A long folder name, shortened in the middle, with months selected.
            QString name;
            while (name.size() < 84)
                name += QStringLiteral("茨城県つくば市の農業気象観測データ");
            name.truncate(84);
            const QString folder = output.path() + u'/' + name + u'/';
            QDir().mkpath(folder);
            for (const char* month : {"M2401_0101.csv", "M2402_0101.csv", "M2403_0101.csv"})
                QFile::copy(sample + QLatin1String(month), folder + QLatin1String(month));
            dialogs.folders = {folder};
            window.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
            auto* months = window.findChild<QListWidget*>(QStringLiteral("List1"));
            for (int row : {0, 1})
                if (QListWidgetItem* item = months->item(row)) item->setSelected(true);
        });
        steps.push_back([&] { save(&window, shots.run + QStringLiteral("-long-folder.png")); });
    }
    steps.push_back([&] { app.quit(); });
    RunSteps(&window, std::move(steps));
    app.exec();
    return status;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    kolvane::InstallQtTranslations(); // as the program does
    const Screenshots shots = ReadScreenshotOptions(argc, argv);
    if (!shots.any()) {
        std::fprintf(stderr, "usage: kolvane-screenshots [--screenshot-prefecture N] [--screenshot PNG] "
                             "[--screenshot-folder-dialog PNG] [--screenshot-range-message PNG] "
                             "[--screenshot-help PNG] [--screenshot-run PREFIX]\n");
        return 2;
    }

    // Like the program, it ends at once while another instance is running.
    const kolvane::SingleInstance instance;
    if (!instance.mayStart()) {
        std::fprintf(stderr, "kolvane-screenshots: the program is already running\n");
        return 1;
    }
    auto owned = std::make_unique<ShotDialogs>();
    ShotDialogs& dialogs = *owned;
    kolvane::frmKolvane window(QCoreApplication::applicationDirPath(), std::move(owned));
    window.Form_Load();
    window.show();
    return TakeScreenshots(app, window, dialogs, shots);
}
