#include "ui/PathLabel.h"

#include <QPainter>

namespace kolvane {
namespace {

constexpr int FLAGS = Qt::AlignLeft | Qt::AlignTop | Qt::TextWrapAnywhere;

QString KeepEnds(const QString& text, qsizetype kept) {
    qsizetype head = kept / 3;
    qsizetype tail = kept - head;
    // Never half a surrogate pair at either side of the cut.
    if (head > 0 && text.at(head - 1).isHighSurrogate()) --head;
    if (tail > 0 && text.at(text.size() - tail).isLowSurrogate()) --tail;
    return text.left(head) + QStringLiteral("…") + text.right(tail);
}

} // namespace

QString ShortenedToFit(const QString& text, const QFontMetrics& metrics, const QSize& room) {
    const auto fits = [&](const QString& candidate) {
        return metrics.boundingRect(QRect(QPoint(), room), FLAGS, candidate).height() <= room.height();
    };
    if (fits(text)) return text;
    qsizetype low = 0;
    qsizetype high = text.size() - 1;
    while (low < high) {
        const qsizetype middle = (low + high + 1) / 2;
        if (fits(KeepEnds(text, middle)))
            low = middle;
        else
            high = middle - 1;
    }
    return KeepEnds(text, low);
}

void PathLabel::setPath(const QString& path) {
    setText(path);
    setToolTip(path);
}

QString PathLabel::shownText() const {
    return ShortenedToFit(text(), fontMetrics(), contentsRect().size());
}

void PathLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(contentsRect(), FLAGS, shownText());
}

} // namespace kolvane
