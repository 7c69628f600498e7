#pragma once

#include <QAbstractTableModel>
#include <QString>

class CMainDoc;

// One channel's grid over the document's step texts, read where they are stored: lines 1 to 1024
// are rows 0 to 1023 (only the first 255 under Hardware Control), the columns are those of
// WorksheetFormats::Column. The existing lines and the entry row just after the last step show their
// fields; later rows are blank. The vertical header carries the line numbers.
class WorksheetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    WorksheetModel(const CMainDoc& document, int channel, QObject* parent = nullptr);

    int channel() const { return channel_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The cell text of a line (1-based) and column, as the grid shows it.
    QString cellText(int line, int column) const;
    QString headerText(int column) const;

    // The lines shown (1024, or 255 under Hardware Control).
    void setShownLines(int lines);
    void setTimeHeaders(const QString& time, const QString& interval);
    void setValueHeader(const QString& value);

    // The document changed lines first..last (clamped to the rows shown): the grid reads them again.
    void linesChanged(int firstLine, int lastLine);
    // The document changed the Time texts of lines first..last.
    void timesChanged(int firstLine, int lastLine);

private:
    void columnChanged(int firstLine, int lastLine, int firstColumn, int lastColumn);

    const CMainDoc& document_;
    int channel_;
    int shownLines_;
    QString timeHeader_;
    QString valueHeader_;
    QString intervalHeader_;
};
