#pragma once

#include <QLabel>
#include <QString>

namespace kolvane {

// A label for a path: wrapped anywhere, since paths have no spaces to wrap at, and shortened in the
// middle with "…" when it needs more lines than the label has, so that no line is cut through. Its
// tooltip holds the whole path.
class PathLabel : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;

    void setPath(const QString& path);
    // The text as drawn at the label's present size.
    QString shownText() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

// `text` as it fits in `room` wrapped anywhere: whole, or its start and (twice as much of) its end
// around "…". The end of a path names the folder itself.
QString ShortenedToFit(const QString& text, const QFontMetrics& metrics, const QSize& room);

} // namespace kolvane
