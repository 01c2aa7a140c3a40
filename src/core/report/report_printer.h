#pragma once

#include <QList>
#include <QString>

namespace kvx {

// One item of a report statement, laid out by the output: a zone step moves to
// the next print zone (every 14 columns), a tab moves to a column (ending the
// line first when the position is past it), text is written as it stands.
struct ReportItem {
    enum class Kind { Zone, Tab, Text };
    Kind kind = Kind::Text;
    int column = 0;
    QString text;
};
using ReportStatement = QList<ReportItem>;

// A printer as the printed report drives it: character units of 1/12 inch,
// font settings, one statement per line.
class ReportPrinter {
public:
    virtual ~ReportPrinter() = default;
    // Printable width in character units (1/12 inch); need not be whole.
    virtual double pageWidth() const = 0;
    virtual void setFontSize(double points) = 0;
    virtual void setFontName(const QString& face) = 0;
    virtual void setBold(bool on) = 0;
    virtual void setItalic(bool on) = 0;
    // Lays out the statement's items and ends the line.
    virtual void print(const ReportStatement& statement) = 0;
    // Sends the page; false when the output failed.
    virtual bool endDocument() = 0;
};

} // namespace kvx
