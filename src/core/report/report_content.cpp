#include "core/report/report_content.h"

#include "core/base/kvx_error.h"
#include "core/base/numbers.h"
#include "core/calc/power.h"

#include <algorithm>
#include <cmath>

namespace kvx {

namespace {

// The place where every right-aligned value ends, and the unit's column.
constexpr int kValueEnd = 64;
constexpr int kUnitColumn = 72;
constexpr int kHeadingColumn = 10;
constexpr int kTypeColumn = 62;

const QString kMakerText = QStringLiteral("Halcyra");

enum class Line {
    Blank,
    Title,
    Version,
    Heading,
    Description,
    Row,        // label, value, unit
    SubRow,     // as Row, one zone further in
    Group,      // label only
    TypeRow,    // label, value at a fixed column
    CountRow,   // label, value, no unit
    PatternRow, // the pattern's line, for offset rows only
    Foot,
    FontSize,
    FontName,
    Bold,
    Italic,
    // The total power is worked out here, before the rows that follow.
    NeedTotalPower,
};

enum class Field {
    None,
    RoomLength,
    RoomWidth,
    RoomHeight,
    EarHeight,
    LoudspeakerType,
    Angle1,
    Angle4,
    Sensitivity,
    MaxPower,
    SpeakerTap,
    AmplifierTap,
    SpeakerPower,
    Distance,
    Speakers,
    TotalPower,
    DirectLevel,
    LevelDif1,
    LevelDif4,
};

enum class Rule { Right, Point, Number, RightOfTrimmed };

// A text of the report: the string-table text of id (none for 0) followed by a literal.
struct Text {
    int id = 0;
    const char* literal = "";
};

struct Entry {
    Line line = Line::Blank;
    Text label{};
    Field field = Field::None;
    Rule rule = Rule::Right;
    Text unit{};
    int count = 1;   // Blank
    double size = 0; // FontSize
    bool on = false; // Bold, Italic
    const char* face = "";
};

constexpr Entry blank(int count = 1) {
    return {.line = Line::Blank, .count = count};
}
constexpr Entry heading(int id) {
    return {.line = Line::Heading, .label = {id}};
}
constexpr Entry row(Text label, Field field, Rule rule, Text unit) {
    return {.line = Line::Row, .label = label, .field = field, .rule = rule, .unit = unit};
}
constexpr Entry subRow(Text label, Field field, Rule rule, Text unit) {
    return {.line = Line::SubRow, .label = label, .field = field, .rule = rule, .unit = unit};
}
constexpr Entry fontSize(double points) {
    return {.line = Line::FontSize, .size = points};
}
constexpr Entry bold(bool on) {
    return {.line = Line::Bold, .on = on};
}
constexpr Entry italic(bool on) {
    return {.line = Line::Italic, .on = on};
}

constexpr Text metres{0, "(m)"};
constexpr Text decibels{0, "(dB)"};
constexpr Text watts{0, "(W)"};
constexpr Text degrees{ReportText::Degrees};
constexpr Text at1kHz{0, "@ 1 kHz:"};
constexpr Text at4kHz{0, "@ 4 kHz:"};

// The report, line by line, with the printer's font changes where they happen.
constexpr Entry kReport[] = {
    blank(3),
    fontSize(16),
    bold(true),
    {.line = Line::Title},
    bold(false),
    fontSize(11),
    {.line = Line::FontName, .face = "Arial"},
    {.line = Line::Version},
    blank(2),
    italic(true),
    heading(ReportText::DescriptionHeading),
    italic(false),
    bold(true),
    {.line = Line::Description},
    bold(false),
    blank(),
    italic(true),
    heading(ReportText::RoomHeading),
    italic(false),
    blank(),
    row({ReportText::Length}, Field::RoomLength, Rule::Point, metres),
    row({ReportText::Width}, Field::RoomWidth, Rule::Point, metres),
    row({ReportText::Height}, Field::RoomHeight, Rule::Point, metres),
    row({ReportText::EarHeight}, Field::EarHeight, Rule::Point, metres),
    blank(2),
    italic(true),
    heading(ReportText::LoudspeakerHeading),
    italic(false),
    blank(),
    {.line = Line::TypeRow, .label = {ReportText::Loudspeaker}, .field = Field::LoudspeakerType},
    {.line = Line::Group, .label = {ReportText::OpeningAngle}},
    subRow(at1kHz, Field::Angle1, Rule::Right, degrees),
    subRow(at4kHz, Field::Angle4, Rule::Right, degrees),
    row({ReportText::Sensitivity}, Field::Sensitivity, Rule::Right, decibels),
    row({ReportText::RatedPower}, Field::MaxPower, Rule::Right, watts),
    blank(2),
    italic(true),
    heading(ReportText::PowerHeading),
    italic(false),
    blank(),
    row({ReportText::SpeakerTap}, Field::SpeakerTap, Rule::Right, {0, "(P)"}),
    row({ReportText::AmplifierTap}, Field::AmplifierTap, Rule::Right, {0, "(V)"}),
    row({ReportText::SpeakerPower}, Field::SpeakerPower, Rule::Right, watts),
    blank(2),
    italic(true),
    heading(ReportText::ResultsHeading),
    italic(false),
    row({ReportText::Distance}, Field::Distance, Rule::Point, metres),
    {.line = Line::CountRow, .label = {ReportText::Speakers}, .field = Field::Speakers},
    {.line = Line::PatternRow, .label = {ReportText::OffsetPattern}},
    {.line = Line::NeedTotalPower},
    blank(),
    row({ReportText::TotalPower}, Field::TotalPower, Rule::Number, watts),
    row({ReportText::DirectLevel, " @ 1 kHz"}, Field::DirectLevel, Rule::RightOfTrimmed, decibels),
    {.line = Line::Group, .label = {ReportText::DifferenceLevel}},
    subRow(at1kHz, Field::LevelDif1, Rule::Point, decibels),
    subRow(at4kHz, Field::LevelDif4, Rule::Point, decibels),
    blank(3),
    {.line = Line::Foot},
};

ReportItem zone() {
    return {ReportItem::Kind::Zone, 0, {}};
}
ReportItem tab(int column) {
    return {ReportItem::Kind::Tab, std::max(column, 1), {}};
}
ReportItem text(const QString& s) {
    return {ReportItem::Kind::Text, 0, s};
}

class Builder {
public:
    Builder(const ReportFields& fields, const LocalTexts& texts, double pageWidth,
            const QDate& today)
        : m_fields(fields)
        , m_texts(texts)
        , m_width(pageWidth)
        , m_today(today) {}

    ReportContent build() {
        for (const Entry& entry : kReport) {
            if (!add(entry))
                break;
        }
        return std::move(m_content);
    }

private:
    QString resolve(const Text& t) const {
        QString s = t.id ? m_texts.text(t.id) : QString();
        return s + QLatin1String(t.literal);
    }

    QString fieldText(Field field) const {
        switch (field) {
        case Field::None:
        case Field::TotalPower:
            return {};
        case Field::RoomLength:
            return m_fields.roomLength;
        case Field::RoomWidth:
            return m_fields.roomWidth;
        case Field::RoomHeight:
            return m_fields.roomHeight;
        case Field::EarHeight:
            return m_fields.earHeight;
        case Field::LoudspeakerType:
            return m_fields.loudspeakerType;
        case Field::Angle1:
            return m_fields.angle1;
        case Field::Angle4:
            return m_fields.angle4;
        case Field::Sensitivity:
            return m_fields.sensitivity;
        case Field::MaxPower:
            return m_fields.ratedPower;
        case Field::SpeakerTap:
            return speakerTapShortForm(m_fields.speakerTap);
        case Field::AmplifierTap:
            return amplifierTapShortForm(m_fields.amplifierTap);
        case Field::SpeakerPower:
            return m_fields.speakerPower;
        case Field::Distance:
            return m_fields.distance;
        case Field::Speakers:
            return m_fields.speakers;
        case Field::DirectLevel:
            return m_fields.level;
        case Field::LevelDif1:
            return m_fields.difference1;
        case Field::LevelDif4:
            return m_fields.difference4;
        }
        return {};
    }

    // Label, value and unit of a Row, SubRow or CountRow.
    void addRow(const Entry& entry, int zones, bool withUnit) {
        ReportStatement items;
        for (int i = 0; i < zones; ++i)
            items << zone();
        items << text(resolve(entry.label));
        if (entry.field == Field::TotalPower) {
            items << tab(numberColumn(m_totalPower, m_texts.locale))
                  << text(reportNumber(m_totalPower, m_texts.locale));
        } else {
            const QString value = fieldText(entry.field);
            int column = 0;
            switch (entry.rule) {
            case Rule::Right:
            case Rule::Number:
                column = rightColumn(value);
                break;
            case Rule::Point:
                column = pointColumn(value);
                break;
            case Rule::RightOfTrimmed:
                column = rightColumn(trimSpaces(value));
                break;
            }
            items << tab(column) << text(value);
        }
        if (withUnit)
            items << tab(kUnitColumn)
                  << text(withLengthSymbol(resolve(entry.unit), m_fields.units));
        statement(items);
    }

    void statement(const ReportStatement& items) {
        ReportStep step;
        step.statement = items;
        m_content.steps << step;
    }

    void font(ReportStep::Kind kind, double size, const QString& face, bool on) {
        ReportStep step;
        step.kind = kind;
        step.size = size;
        step.face = face;
        step.on = on;
        m_content.steps << step;
    }

    // The total power needs both captions to be numbers as this locale writes them.
    bool workOutTotalPower() {
        bool speakersOk = false;
        bool powerOk = false;
        const double speakers = m_texts.locale.toDouble(m_fields.speakers, &speakersOk);
        const double power = m_texts.locale.toDouble(m_fields.speakerPower, &powerOk);
        m_totalPower = speakers * power;
        if (speakersOk && powerOk && std::isfinite(m_totalPower))
            return true;
        m_content.error =
            QStringLiteral("The total power needs the number of speakers and the speaker power; "
                           "calculate the results first.");
        return false;
    }

    bool add(const Entry& entry) {
        switch (entry.line) {
        case Line::Blank:
            for (int i = 0; i < entry.count; ++i)
                statement({});
            break;
        case Line::Title: {
            const QString& title = m_fields.title;
            const int c1 = roundToColumn((m_width - title.size()) / 2 * 11 / 16);
            statement({tab(c1), text(title)});
            break;
        }
        case Line::Version: {
            const QString date = m_texts.locale.toString(m_today, QLocale::ShortFormat);
            const int c2 = roundToColumn(m_width - date.size() - 6);
            statement({text(m_fields.version), tab(c2), text(date)});
            break;
        }
        case Line::Heading:
            statement({tab(kHeadingColumn), text(resolve(entry.label))});
            break;
        case Line::Description:
            statement({text(m_fields.description)});
            break;
        case Line::Row:
            addRow(entry, 2, true);
            break;
        case Line::SubRow:
            addRow(entry, 3, true);
            break;
        case Line::CountRow:
            addRow(entry, 2, false);
            break;
        case Line::Group:
            statement({zone(), zone(), text(resolve(entry.label))});
            break;
        case Line::PatternRow:
            if (m_fields.pattern == Pattern::Offset)
                statement({zone(), zone(), text(resolve(entry.label))});
            break;
        case Line::TypeRow:
            statement({zone(), zone(), text(resolve(entry.label)), tab(kTypeColumn),
                       text(fieldText(entry.field))});
            break;
        case Line::Foot: {
            const int c3 = roundToColumn((m_width - kMakerText.size()) / 2);
            statement({tab(c3), text(kMakerText)});
            break;
        }
        case Line::FontSize:
            font(ReportStep::Kind::FontSize, entry.size, {}, false);
            break;
        case Line::FontName:
            font(ReportStep::Kind::FontName, 0, QLatin1String(entry.face), false);
            break;
        case Line::Bold:
            font(ReportStep::Kind::Bold, 0, {}, entry.on);
            break;
        case Line::Italic:
            font(ReportStep::Kind::Italic, 0, {}, entry.on);
            break;
        case Line::NeedTotalPower:
            return workOutTotalPower();
        }
        return true;
    }

    const ReportFields& m_fields;
    const LocalTexts& m_texts;
    double m_width;
    QDate m_today;
    double m_totalPower = 0;
    ReportContent m_content;
};

} // namespace

int ReportContent::statementCount() const {
    int n = 0;
    for (const ReportStep& step : steps)
        n += step.kind == ReportStep::Kind::Statement ? 1 : 0;
    return n;
}

int rightColumn(const QString& value) {
    return kValueEnd + 1 - int(value.size());
}

int pointColumn(const QString& value) {
    const int point = int(value.indexOf(QLatin1Char('.'))) + 1; // 0 without a point
    return point + rightColumn(value);
}

int numberColumn(double value, const QLocale& locale) {
    return kValueEnd + 1 - int(formatGeneral(std::abs(value), locale).size());
}

QString reportNumber(double value, const QLocale& locale) {
    const QChar sign = value < 0 ? QLatin1Char('-') : QLatin1Char(' ');
    return sign + formatGeneral(std::abs(value), locale) + QLatin1Char(' ');
}

QString speakerTapShortForm(const QString& tap) {
    for (const int divisor : kSpeakerTapDivisors) {
        if (tap == speakerTapItem(divisor))
            return QStringLiteral("1/%1").arg(divisor);
    }
    return tap;
}

QString amplifierTapShortForm(const QString& tap) {
    qsizetype start = 0;
    while (start < tap.size() && tap[start] == QLatin1Char(' '))
        ++start;
    const QStringView entry = QStringView(tap).mid(start);
    for (const double volts : kLineVoltages) {
        const QString number = QString::number(volts);
        if (entry == QString(number + QStringLiteral(" V")))
            return number;
    }
    return tap;
}

int roundToColumn(double value) {
    const double rounded = roundHalfEven(value);
    if (std::isnan(rounded))
        return 0;
    return int(std::clamp(rounded, -1e9, 1e9));
}

ReportContent buildReport(const ReportFields& fields, const LocalTexts& texts, double pageWidth,
                          const QDate& today) {
    return Builder(fields, texts, pageWidth, today).build();
}

void playReport(const ReportContent& content, ReportPrinter& printer) {
    for (const ReportStep& step : content.steps) {
        switch (step.kind) {
        case ReportStep::Kind::Statement:
            printer.print(step.statement);
            break;
        case ReportStep::Kind::FontSize:
            printer.setFontSize(step.size);
            break;
        case ReportStep::Kind::FontName:
            printer.setFontName(step.face);
            break;
        case ReportStep::Kind::Bold:
            printer.setBold(step.on);
            break;
        case ReportStep::Kind::Italic:
            printer.setItalic(step.on);
            break;
        }
    }
    if (!content.isComplete())
        throw KvxError(content.error);
}

void printReport(const ReportFields& fields, const LocalTexts& texts, const QDate& today,
                 ReportPrinter& printer) {
    const double width = printer.pageWidth();
    if (!(width > 0 && width <= kMaxPageWidth))
        throw KvxError(QStringLiteral("The printer gives no usable page width."));
    playReport(buildReport(fields, texts, width, today), printer);
}

} // namespace kvx
