#include "ui/FindingsList.h"

#include "checks/FindingsFile.h"
#include "model/Columns.h"
#include "model/DateText.h"

#include <QHeaderView>

namespace kolvane {

FindingsList::FindingsList(QWidget* parent) : QTableWidget(parent) {
    setObjectName(QStringLiteral("tblFindings"));
    // The columns of the findings file, as the user finds them there.
    QStringList header;
    for (std::string_view name : FINDINGS_HEADER)
        header << QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    setColumnCount(static_cast<int>(header.size()));
    setHorizontalHeaderLabels(header);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    verticalHeader()->hide();
    // Compact rows: a year can have hundreds, and the plot needs the height.
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setStretchLastSection(true);
    connect(this, &QTableWidget::itemSelectionChanged, this, &FindingsList::RowPicked);
}

void FindingsList::SetFindings(int year, std::vector<Finding> findings) {
    std::erase_if(findings, [year](const Finding& f) { return f.year != year; });
    year_ = year;
    findings_ = std::move(findings);
    {
        const QSignalBlocker quiet(this); // one dayPicked for the whole list, below
        Fill();
    }
    emit dayPicked(-1);
}

void FindingsList::Fill() {
    clearContents();
    setRowCount(static_cast<int>(findings_.size()));
    const auto utf8 = [](std::string_view text) {
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    };
    for (int row = 0; row < rowCount(); ++row) {
        const Finding& f = findings_[static_cast<std::size_t>(row)];
        const QString cells[] = {
            QStringLiteral("%1/%2/%3")
                .arg(f.year)
                .arg(f.month, 2, 10, QLatin1Char('0'))
                .arg(f.day, 2, 10, QLatin1Char('0')),
            QStringLiteral("%1:%2").arg(f.hour).arg(f.minute, 2, 10, QLatin1Char('0')),
            utf8(MONTHLY_VALUE_COLUMNS[f.column].name),
            utf8(FormatMeasured(f.value, f.column)),
            utf8(CheckKindName(f.kind)),
            utf8(f.explanation),
        };
        for (int column = 0; column < 6; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (column == 3) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (column == 5) item->setToolTip(cells[column]); // may be cut at the list's edge
            setItem(row, column, item);
        }
    }
    // The explanation takes the rest of the width: sized to its contents it would no longer fill
    // the list once the year changes.
    for (int column = 0; column + 1 < columnCount(); ++column)
        resizeColumnToContents(column);
}

void FindingsList::RowPicked() {
    const QList<QTableWidgetItem*> picked = selectedItems();
    emit dayPicked(picked.isEmpty()
                       ? -1
                       : DayOfYear(year_, findings_.at(static_cast<std::size_t>(picked.front()->row()))));
}

int DayOfYear(int year, const Finding& finding) {
    if (finding.year != year) return -1;
    const std::optional<std::size_t> index = DayInYear(finding.year, finding.month, finding.day);
    return index ? static_cast<int>(*index) : -1;
}

} // namespace kolvane
