#pragma once

#include "core/report/report_printer.h"

#include <QSaveFile>
#include <QString>

namespace kvx {

// A statement laid out in fixed columns with spaces: a zone step goes to the
// next of columns 1, 15, 29, ...; a tab to a column the position has passed
// starts a new line (CR LF) at that column. No line end after the last item.
QString layOutStatement(const ReportStatement& statement);

// Text in the Windows-1252 code page, one byte per character; a character the
// code page lacks becomes "?".
QByteArray toWindows1252(const QString& text);

// The report as a text file: one line per statement, each ended by CR LF,
// Windows-1252. The file appears, whole, only when endDocument() succeeds; a
// report dropped before that leaves no file and any old file as it was. Font
// settings have no effect on the text.
class TextReport : public ReportPrinter {
public:
    TextReport(const QString& path, double pageWidth);

    // Starts the file; false (see errorString) when it cannot be created.
    bool open();
    QString errorString() const { return m_file.errorString(); }

    double pageWidth() const override { return m_width; }
    void setFontSize(double) override {}
    void setFontName(const QString&) override {}
    void setBold(bool) override {}
    void setItalic(bool) override {}
    void print(const ReportStatement& statement) override;
    // Puts the file in place; false when any write failed.
    bool endDocument() override;

private:
    QSaveFile m_file;
    double m_width;
};

} // namespace kvx
