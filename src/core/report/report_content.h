#pragma once

// The report of a project: one definition of its lines, fed to any output.
// buildReport() takes the project's fields as the window shows them and turns
// the report table into a list of steps: statements (one line each, made of zone steps, tabs and
// texts) and the font changes that only a printer sees, in the order a printer
// gets them. printReport() plays those steps on a ReportPrinter: the printed
// page and the PDF (app/printing.h) and the text file (text_report.h).

#include "core/base/string_table.h"
#include "core/base/units.h"
#include "core/calc/pattern.h"
#include "core/report/report_printer.h"

#include <QDate>
#include <QList>
#include <QLocale>
#include <QString>

namespace kvx {

// The string-table ids (English block) of the report's texts: its headings
// are the project file's section headers, its labels mostly the main window's.
namespace ReportText {
constexpr int DescriptionHeading = 1057;
constexpr int LoudspeakerHeading = 1058;
constexpr int RoomHeading = 1059;
constexpr int PowerHeading = 1060;
constexpr int ResultsHeading = 1061;
constexpr int Length = 1120;
constexpr int Width = 1121;
constexpr int Height = 1122;
constexpr int EarHeight = 1013;
constexpr int Loudspeaker = 1123;
constexpr int OpeningAngle = 1081;
constexpr int Degrees = 1084;
constexpr int Sensitivity = 1082;
constexpr int RatedPower = 1083;
constexpr int SpeakerTap = 1016;
constexpr int AmplifierTap = 1018;
constexpr int SpeakerPower = 1020;
constexpr int Distance = 1035;
constexpr int Speakers = 1037;
constexpr int TotalPower = 1124;
constexpr int DirectLevel = 1125;
constexpr int DifferenceLevel = 1030;
constexpr int OffsetPattern = 1576; // the line printed for offset rows only
} // namespace ReportText

// What a report shows: the program's title and version line and the project's
// fields, each as the window shows it.
struct ReportFields {
    QString title;
    QString version;
    QString description; // empty while the field shows only its prompt
    QString roomLength;
    QString roomWidth;
    QString roomHeight;
    QString earHeight;
    QString loudspeakerType;
    QString angle1;
    QString angle4;
    QString sensitivity;
    QString ratedPower;
    QString speakerTap;
    QString amplifierTap;
    QString speakerPower;
    QString distance;
    QString speakers;
    QString level;
    QString difference1;
    QString difference4;
    // The square grid has no line of its own, so its report stays as it was.
    Pattern pattern = Pattern::Square;
    // The unit the lengths above are in: "(m)" or "(ft)" beside them.
    Units units = Units::Metric;
};

// One step of the report: a statement, or a font change between statements.
struct ReportStep {
    enum class Kind { Statement, FontSize, FontName, Bold, Italic };
    Kind kind = Kind::Statement;
    ReportStatement statement;
    double size = 0; // FontSize
    QString face;    // FontName
    bool on = false; // Bold, Italic
};

struct ReportContent {
    QList<ReportStep> steps;
    // Why the report stopped before its end; empty for a whole report.
    QString error;

    bool isComplete() const { return error.isEmpty(); }
    int statementCount() const;
};

// The printer's default margins on an A4 portrait page leave 575.28 points of
// 595.28 across; in character units of 1/12 inch that is 95.88. The text-file
// report uses it when no printer is installed.
constexpr double kA4PageWidth = (595.2756 - 20.0) / 6.0;

// Columns of a value that ends at a fixed place (see the report table).
// Right: the value ends at column 64.
int rightColumn(const QString& value);
// Point: the first "." of the value falls on column 65; without one, as Right.
int pointColumn(const QString& value);
// Number: the digits of the printed number end at column 65.
int numberColumn(double value, const QLocale& locale);

// A number as the report prints it: a space (a minus when negative), the
// general form, a trailing space.
QString reportNumber(double value, const QLocale& locale);

// "1/2 P" prints as "1/2"; other texts unchanged.
QString speakerTapShortForm(const QString& tap);
// "100 V", " 70 V", " 50 V" print as "100", "70", "50"; other texts unchanged.
QString amplifierTapShortForm(const QString& tap);

// The widest page a report is laid out for, in character units. An A0 sheet
// across is about 550; a printer or a command line that gives more is not
// believed, and the lines the report builds stay short.
inline constexpr double kMaxPageWidth = 1000;

// A column: rounded with roundHalfEven, NaN as 0, held to +-1e9.
int roundToColumn(double value);

// The report of the fields for a page pageWidth character units wide, dated
// today, its labels in the language of texts. Stops after the number of
// speakers when the total power cannot be worked out (error set).
ReportContent buildReport(const ReportFields& fields, const LocalTexts& texts, double pageWidth,
                          const QDate& today);

// Plays the steps on the printer; a report that stopped early throws KvxError
// with its reason after the steps it has were played. The document is not ended.
void playReport(const ReportContent& content, ReportPrinter& printer);

// Builds the report for the printer's page width and the date and plays it.
// Throws KvxError when the page width is unusable or the report stops early.
void printReport(const ReportFields& fields, const LocalTexts& texts, const QDate& today,
                 ReportPrinter& printer);

} // namespace kvx
