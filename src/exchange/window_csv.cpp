// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/window_csv.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

#include "map/map_image.h"

namespace tesselink {

const char* const WindowCsvHeader = "No,MapMode,OriginalX,OriginalY,Width,Height,TargetX,TargetY";

namespace {

// The columns a window needs, in the order MakeWindow takes them, and the mode.
const char* const Needed[] = {"OriginalX", "OriginalY", "Width", "Height", "TargetX", "TargetY", "MapMode"};
constexpr int NeededCount = 7;
constexpr int ModeColumn = 6;

// One line of the table: the line of the file it starts on and its cells.
struct Record {
    int Line = 0;
    QStringList Cells;
};

// Splits the text into records: commas separate cells and line ends (LF or CR LF) records; a
// cell in double quotes may hold commas, doubled quotes and line ends. Blanks around a cell are
// dropped. A quote left open to the end is reported by the line it opened on in `openQuote`.
std::vector<Record> SplitRecords(const QString& text, int& openQuote) {
    std::vector<Record> records;
    Record record;
    record.Line = 1;
    QString cell;
    bool quoted = false;
    int line = 1, quoteLine = 0;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == '\n') ++line;
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                cell += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                cell += c;
            }
        } else if (c == '"') {
            quoted = true;
            quoteLine = line;
        } else if (c == ',') {
            record.Cells << cell.trimmed();
            cell.clear();
        } else if (c == '\n') {
            if (cell.endsWith('\r')) cell.chop(1);
            record.Cells << cell.trimmed();
            cell.clear();
            records.push_back(record);
            record = Record();
            record.Line = line;
        } else {
            cell += c;
        }
    }
    record.Cells << cell.trimmed();
    records.push_back(record);
    openQuote = quoted ? quoteLine : 0;
    return records;
}

// CR alone ends the lines of old Mac text files; read as one line, such a table would make no sense.
bool EndsLinesWithCrAlone(const QByteArray& csv) {
    if (csv.contains('\n')) return false;
    qsizetype end = csv.size();  // a CR ending the only line is harmless
    while (end > 0 && (csv[end - 1] == '\r' || csv[end - 1] == ' ' || csv[end - 1] == '\t')) --end;
    return csv.left(end).contains('\r');
}

bool IsBlank(const QStringList& cells) {
    for (const QString& cell : cells)
        if (!cell.isEmpty()) return false;
    return true;
}

// The cell as a number 0-65535; otherwise -1 with the reason. "-0" is 0, as it is in JSON.
long Number(const QString& cell, const char* column, std::string& why) {
    const std::string shown = std::string(column) + " " + QuotedValue(cell.toStdString());
    if (cell.isEmpty()) {
        why = std::string(column) + " is empty";
        return -1;
    }
    bool digits = true;
    for (int i = 0; i < cell.size(); ++i) digits = digits && cell[i] >= '0' && cell[i] <= '9';
    if (!digits && cell.size() > 1 && cell[0] == '-') {
        bool zeros = true;
        for (int i = 1; i < cell.size(); ++i) zeros = zeros && cell[i] == '0';
        if (zeros) return 0;
    }
    if (!digits) {
        bool isInteger = false;
        const qlonglong value = cell.toLongLong(&isInteger);
        why = shown + (isInteger && value < 0 ? " is negative" : " is not a whole number");
        return -1;
    }
    bool ok = false;
    const qulonglong value = cell.toULongLong(&ok);  // not ok: more digits than 64 bits hold
    if (!ok || value > 65535) {
        why = shown + " is above 65535";
        return -1;
    }
    return static_cast<long>(value);
}

}  // namespace

QByteArray WriteWindowCsv(const Map& map, std::string* why) {
    std::string out = std::string(WindowCsvHeader) + "\n";
    for (std::size_t i = 0; i < map.Windows.size(); ++i) {
        const PlaybackWindow& w = map.Windows[i];
        if (w.MapMode >= MapModeCount) {
            if (why)
                *why = "window " + std::to_string(i + 1) + " has map mode " + std::to_string(w.MapMode) + ", not 0-5";
            return QByteArray();
        }
        out += std::to_string(i + 1) + "," + std::to_string(w.MapMode) + "," + std::to_string(w.OriginalStartX) + "," +
               std::to_string(w.OriginalStartY) + "," + std::to_string(w.Width) + "," + std::to_string(w.Height) + "," +
               std::to_string(w.TargetStartX) + "," + std::to_string(w.TargetStartY) + "\n";
    }
    return QByteArray::fromStdString(out);
}

ExchangeRead ReadWindowCsv(const QByteArray& csv, const MapFileHead& head, Map& map) {
    ExchangeRead result;
    auto problem = [&result](int line, std::string reason) {
        result.Problems.push_back({line, "", std::move(reason)});
    };

    if (const std::string what = TextEncodingProblem(csv.constData(), static_cast<std::size_t>(csv.size()));
        !what.empty()) {
        problem(0, what);
        return result;
    }
    if (EndsLinesWithCrAlone(csv)) {
        problem(0, "the lines end in CR alone, as in old Mac text files; save it with LF or CR LF line ends");
        return result;
    }
    QString text = QString::fromUtf8(csv);
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);  // spreadsheets mark UTF-8 this way
    int openQuote = 0;
    const std::vector<Record> records = SplitRecords(text, openQuote);
    if (openQuote > 0) {
        problem(openQuote, "the quote opened on this line is never closed");
        return result;
    }

    int column[NeededCount];
    int headerLine = 0;
    std::size_t first = 0;
    for (std::size_t i = 0; i < records.size() && headerLine == 0; ++i) {
        const QStringList& cells = records[i].Cells;
        if (IsBlank(cells)) continue;
        headerLine = records[i].Line;
        first = i + 1;
        QStringList missing;
        for (int n = 0; n < NeededCount; ++n) {
            column[n] = -1;
            for (int c = 0; c < cells.size(); ++c) {
                if (cells[c].compare(QLatin1String(Needed[n]), Qt::CaseInsensitive) != 0) continue;
                if (column[n] >= 0) {
                    problem(headerLine, std::string("the column ") + Needed[n] + " is named twice");
                    return result;
                }
                column[n] = c;
            }
            if (column[n] < 0) missing << Needed[n];
        }
        if (missing.size() == NeededCount) {
            problem(headerLine,
                    std::string("the header line is missing: the first line must name the columns ") + WindowCsvHeader);
            return result;
        }
        if (!missing.isEmpty()) {
            problem(headerLine, "the header lacks the column" + std::string(missing.size() > 1 ? "s " : " ") +
                                    missing.join(", ").toStdString());
            return result;
        }
    }
    if (headerLine == 0) {
        problem(0, std::string("the file has no lines; it needs the header ") + WindowCsvHeader);
        return result;
    }

    Map read;
    read.Head = head;
    int windows = 0;
    for (std::size_t i = first; i < records.size(); ++i) {
        const int lineNumber = records[i].Line;
        const QStringList& cells = records[i].Cells;
        if (IsBlank(cells)) continue;
        if (++windows == static_cast<int>(MaxWindowCount) + 1)
            problem(lineNumber, "a map holds at most 255 windows; this is window 256");
        long values[NeededCount];
        std::string why;
        for (int n = 0; n < NeededCount && why.empty(); ++n) {
            if (column[n] >= cells.size()) {
                why = std::string("there is no ") + Needed[n] + " cell: the line has " + std::to_string(cells.size()) +
                      " cell" + (cells.size() == 1 ? "" : "s") + ", " + Needed[n] + " is cell " +
                      std::to_string(column[n] + 1);
                break;
            }
            values[n] = Number(cells[column[n]], Needed[n], why);
        }
        if (why.empty() && values[ModeColumn] >= MapModeCount)
            why = "MapMode " + QuotedValue(cells[column[ModeColumn]].toStdString()) + " is not a map mode 0-5";
        if (!why.empty()) {
            problem(lineNumber, why);
            continue;
        }
        const PlaybackWindow w = MakeWindow(values[0], values[1], values[2], values[3], values[4], values[5],
                                            static_cast<int>(values[ModeColumn]));
        const MapLoadResult checked = CheckMapWindow(w, head, EmptyWindows::Refused);
        if (!checked) {
            problem(lineNumber, "window " + std::to_string(windows) + ": " + checked.Message);
            continue;
        }
        read.Windows.push_back(w);
    }
    if (!result.Ok()) return result;
    read.Head.WindowCount = static_cast<std::uint8_t>(read.Windows.size());
    map = read;
    return result;
}

}  // namespace tesselink
