// Saves PNG pictures of the program's windows as a user sees them, for scripts/screenshots.sh: the main
// window started on the folder beside this executable as the program starts, the folder dialog, a
// range message of the coordinate boxes and the help window. Not part of the program.
//
//   kolvane-screenshots [--screenshot-prefecture N] [--screenshot PNG] [--screenshot-folder-dialog PNG]
//                       [--screenshot-range-message PNG] [--screenshot-help PNG]

#include "ui/Form1.h"
#include "ui/frmKolvane.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace {

// What to take: each a PNG path, or empty to leave that picture out.
struct Screenshots {
    QString mainWindow;
    int prefecture = 0; // chosen, with its first locality's coordinates set, before the main window
    QString folderDialog;
    QString rangeMessage;
    QString help;

    bool any() const {
        return !mainWindow.isEmpty() || !folderDialog.isEmpty() || !rangeMessage.isEmpty() || !help.isEmpty();
    }
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

int TakeScreenshots(QApplication& app, kolvane::frmKolvane& window, const Screenshots& shots) {
    int status = 0;
    auto save = [&status](QWidget* widget, const QString& path) {
        if (path.isEmpty()) return;
        if (!widget || !widget->grab().save(path)) status = 1;
    };
    kolvane::Form1 dialog(&window);
    std::vector<std::function<void()>> steps;
    steps.push_back([&] {
        if (shots.prefecture > 0) {
            window.findChild<QComboBox*>(QStringLiteral("cboArea1"))->setCurrentIndex(shots.prefecture);
            window.findChild<QPushButton*>(QStringLiteral("cmdSet"))->click();
        }
    });
    steps.push_back([&] { save(&window, shots.mainWindow); });
    if (!shots.folderDialog.isEmpty()) {
        steps.push_back([&] {
            dialog.setPrompt(QStringLiteral("年次ファイルを保存するフォルダを指定して下さい。"));
            dialog.setPath(QString::fromStdString(window.monthlyFolder()));
            dialog.show();
        });
        steps.push_back([&] {
            save(&dialog, shots.folderDialog);
            dialog.hide();
        });
    }
    if (!shots.rangeMessage.isEmpty()) {
        steps.push_back([&] {
            // The message is modal: it is taken and answered from within its own event loop.
            QTimer::singleShot(500, &window, [&] {
                QWidget* box = QApplication::activeModalWidget();
                save(qobject_cast<QMessageBox*>(box), shots.rangeMessage);
                if (box) box->close();
            });
            window.findChild<QLineEdit*>(QStringLiteral("txtLat1"))->setText(QStringLiteral("60"));
        });
    }
    if (!shots.help.isEmpty()) {
        steps.push_back([&] { window.findChild<QPushButton*>(QStringLiteral("cmdHelp"))->click(); });
        steps.push_back([&] { save(window.findChild<QWidget*>(QStringLiteral("helpWindow")), shots.help); });
    }
    steps.push_back([&] { app.quit(); });
    RunSteps(&window, std::move(steps));
    app.exec();
    return status;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const Screenshots shots = ReadScreenshotOptions(argc, argv);
    if (!shots.any()) {
        std::fprintf(stderr, "usage: kolvane-screenshots [--screenshot-prefecture N] [--screenshot PNG] "
                             "[--screenshot-folder-dialog PNG] [--screenshot-range-message PNG] "
                             "[--screenshot-help PNG]\n");
        return 2;
    }

    kolvane::frmKolvane window(QCoreApplication::applicationDirPath());
    // Like the program, it ends at once while another instance is running.
    if (!window.Form_Load()) {
        std::fprintf(stderr, "kolvane-screenshots: the program is already running\n");
        return 1;
    }
    window.show();
    return TakeScreenshots(app, window, shots);
}
