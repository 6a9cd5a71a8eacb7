#include "ui/Form1.h"

#include "model/FileIo.h"
#include "model/Messages.h"
#include "plot/Fonts.h"
#include "ui/FolderList.h"
#include "ui/Layout.h"
#include "ui/PathLabel.h"
#include "ui/Texts.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStorageInfo>
#include <QTextLayout>
#include <algorithm>

namespace kolvane {
namespace {

// The prompt has room for two lines only at the tight line spacing of a 9 point Gothic font; Japanese
// fonts with a taller line height would lose the second line, so lines are set at 1.1 em.
class PromptLabel : public QLabel {
  public:
    using QLabel::QLabel;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect area = contentsRect();
        const qreal em = QFontInfo(font()).pixelSize();
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        QTextLayout layout(text(), font(), this);
        layout.setTextOption(option);
        layout.beginLayout();
        const qreal ascent = QFontMetricsF(font()).ascent();
        for (qreal baseline = 0.9 * em;; baseline += 1.1 * em) {
            QTextLine line = layout.createLine();
            if (!line.isValid()) break;
            line.setLineWidth(area.width());
            line.setPosition(QPointF(0, baseline - ascent));
        }
        layout.endLayout();
        painter.setPen(palette().color(QPalette::WindowText));
        layout.draw(&painter, area.topLeft());
    }
};

// The dialog's size as first shown, and its smallest; what the user adds goes to the lists.
constexpr int BASE_WIDTH = 4395;
constexpr int BASE_HEIGHT = 5280;

// Places `widget` at its rectangle in twips for the base size, then moves it by `move` and grows it
// by `grow` pixels of the size the user added.
void PlaceGrowing(QWidget* widget, int left, int top, int width, int height, QSize move, QSize grow) {
    PlaceInTwips(widget, left, top, width, height);
    widget->setGeometry(widget->geometry()
                            .translated(move.width(), move.height())
                            .adjusted(0, 0, grow.width(), grow.height()));
}

} // namespace

QStringList DriveRoots(QStringList mountRoots) {
    mountRoots.removeIf([](const QString& root) { return !QFileInfo(root).isDir(); });
    mountRoots.removeDuplicates();
    mountRoots.removeAll(QDir::rootPath());
    mountRoots.sort();
    mountRoots.prepend(QDir::rootPath());
    return mountRoots;
}

QStringList MountedDriveRoots() {
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady()) roots.append(volume.rootPath());
    }
    return DriveRoots(roots);
}

Form1::Form1(QWidget* parent, QString previousResult) : QDialog(parent), strPath_(std::move(previousResult)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(text::FolderDialogTitle());
    setFont(JapaneseFont());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    CreateControls();

    const qreal dpi = logicalDpiX();
    const QSize base(TwipsToPixels(BASE_WIDTH, dpi), TwipsToPixels(BASE_HEIGHT, dpi));
    setMinimumSize(base);
    resize(base);
    setSizeGripEnabled(true);
    PlaceControls();
    setTabOrder(Drive1, Dir1);
    setTabOrder(Dir1, txtOpen);
    setTabOrder(txtOpen, cmdNewFolder);
    setTabOrder(cmdNewFolder, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    // The list is what the user works in; on the drive list, End or an arrow key would leave for
    // another mount.
    Dir1->setFocus();

    const QStringList roots = MountedDriveRoots();
    for (const QString& root : roots)
        Drive1->addItem(QDir::toNativeSeparators(root), root);
    const int current = roots.indexOf(QStorageInfo(QDir::currentPath()).rootPath());
    Drive1->setCurrentIndex(current >= 0 ? current : 0);

    const auto showOpen = [this](const QString& path) {
        const QString shown = QDir::toNativeSeparators(path);
        txtOpen->setText(shown);
        txtOpen->setToolTip(shown);
        // The end of a long path names the folder itself.
        txtOpen->setCursorPosition(static_cast<int>(shown.size()));
        ShowProblem(QString());
    };
    showOpen(Dir1->path());
    connect(Dir1, &FolderList::pathChanged, this, showOpen);
    connect(Dir1, &FolderList::problem, this, &Form1::ShowProblem);
    connect(txtOpen, &QLineEdit::returnPressed, this, &Form1::OpenTyped);
    connect(Drive1, &QComboBox::currentIndexChanged, this, &Form1::Drive1_Change);
    connect(cmdOK, &QPushButton::clicked, this, &Form1::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &Form1::cmdCancel_Click);
    connect(cmdNewFolder, &QPushButton::clicked, this, &Form1::cmdNewFolder_Click);
}

void Form1::CreateControls() {
    // Created in tab order.
    Drive1 = new QComboBox(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Drive1->setEditable(false);
    Dir1 = new FolderList(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    cmdOK = new QPushButton(text::OkCaption(), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel = new QPushButton(text::CancelCaption(), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdNewFolder = new QPushButton(text::NewFolderCaption(), this);
    cmdNewFolder->setObjectName(QStringLiteral("cmdNewFolder"));
    Label1 = new PromptLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblOpen = new QLabel(text::OpenFolderCaption(), this);
    lblOpen->setObjectName(QStringLiteral("lblOpen"));
    // A long path can be scrolled, selected and copied; a typed or pasted one is opened.
    txtOpen = new QLineEdit(this);
    txtOpen->setObjectName(QStringLiteral("txtOpen"));
    lblOpen->setBuddy(txtOpen);
    // Two lines, a long path shortened in the middle: the reason at its end stays in view.
    lblProblem = new PathLabel(this);
    lblProblem->setObjectName(QStringLiteral("lblProblem"));
    QPalette warning = lblProblem->palette();
    warning.setColor(QPalette::WindowText, Qt::darkRed);
    lblProblem->setPalette(warning);

    // No button is the default or the cancel button: Enter presses nothing (in the path it opens the
    // path), and Escape closes the dialog as its frame does, without running Cancel.
    for (QPushButton* button : {cmdOK, cmdCancel, cmdNewFolder}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
}

void Form1::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    PlaceControls();
}

void Form1::PlaceControls() {
    const qreal dpi = logicalDpiX();
    const QSize added =
        (size() - QSize(TwipsToPixels(BASE_WIDTH, dpi), TwipsToPixels(BASE_HEIGHT, dpi))).expandedTo({0, 0});
    const QSize none;
    const QSize wider(added.width(), 0);
    const QSize lower(0, added.height());
    PlaceGrowing(Label1, 120, 120, 4095, 375, none, wider);
    PlaceGrowing(Drive1, 120, 600, 3255, 300, none, wider);
    PlaceGrowing(Dir1, 120, 1080, 3255, 2400, none, added);
    PlaceGrowing(lblOpen, 120, 3540, 4155, 255, lower, wider);
    PlaceGrowing(txtOpen, 120, 3810, 4155, 300, lower, wider);
    PlaceGrowing(lblProblem, 120, 4140, 4155, 570, lower, wider);
    PlaceGrowing(cmdNewFolder, 120, 4830, 1800, 350, lower, none);
    PlaceGrowing(cmdOK, 2040, 4830, 1000, 350, added, none);
    PlaceGrowing(cmdCancel, 3240, 4830, 1000, 350, added, none);
}

void Form1::setPrompt(const QString& prompt) {
    Label1->setText(prompt);
    // Japanese breaks between any two characters, so a wrapped prompt may split a word: the dialog
    // is widened to hold it on one line where the screen allows.
    const int needed = QFontMetrics(Label1->font()).horizontalAdvance(prompt) +
                       TwipsToPixels(BASE_WIDTH - 4095, logicalDpiX()) + 2;
    const QScreen* screen = this->screen();
    const int room = screen ? screen->availableGeometry().width() * 9 / 10 : needed;
    if (width() < needed) resize(std::min(needed, room), height());
}

QString Form1::prompt() const {
    return Label1->text();
}

void Form1::setPath(const QString& folder) {
    Dir1->setPath(folder);
}

QString Form1::path() const {
    return Dir1->path();
}

void Form1::Drive1_Change() {
    if (Drive1->currentIndex() < 0) return;
    const QVariant root = Drive1->currentData();
    Dir1->setPath(root.isValid() ? root.toString() : Drive1->currentText());
}

void Form1::cmdOK_Click() {
    // A new folder just named is the one meant.
    Dir1->FinishNaming();
    // A path typed but not yet opened is what the user means to choose.
    if (QDir::fromNativeSeparators(txtOpen->text()) != Dir1->path() && !OpenTyped()) return;
    // The open folder, not a subfolder that is merely highlighted, written as the system writes paths
    // ("C:\data\2005\" on Windows): the program hands it on as it is and shows it so.
    strPath_ = QDir::toNativeSeparators(Dir1->path());
    if (!strPath_.endsWith(QDir::separator())) strPath_ += QDir::separator();
    accept();
}

bool Form1::OpenTyped() {
    QString typed = txtOpen->text().trimmed();
    if (typed == QLatin1String("~") || typed.startsWith(QLatin1String("~/")))
        typed.replace(0, 1, QDir::homePath());
    // A relative path is taken from the open folder, as the list shows it.
    const QString folder = QDir::cleanPath(QDir(Dir1->path()).absoluteFilePath(typed));
    const QFileInfo info(folder);
    std::vector<std::string> names;
    QString problem;
    if (!info.exists())
        problem = text::FolderNotFound(QDir::toNativeSeparators(folder));
    else if (!info.isDir())
        problem = text::NotAFolder(QDir::toNativeSeparators(folder));
    else if (int error = ListRegularFiles(ToCore(folder), names))
        problem =
            text::FolderCannotOpen(QDir::toNativeSeparators(folder), FromCore(DescribeSystemError(error)));
    if (!problem.isEmpty()) {
        ShowProblem(problem);
        return false;
    }
    Dir1->setPath(folder);
    return true;
}

void Form1::ShowProblem(const QString& text) {
    lblProblem->setPath(text);
}

void Form1::cmdNewFolder_Click() {
    const QString problem = Dir1->MakeNewFolder();
    if (!problem.isEmpty()) ShowProblem(problem);
}

void Form1::cmdCancel_Click() {
    strPath_.clear();
    reject();
}

} // namespace kolvane
