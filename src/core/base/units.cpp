#include "core/base/units.h"

#include "core/base/numbers.h"

#include <QRegularExpression>

#include <cmath>
#include <stdexcept>
#include <string_view>
#include <utility>
#include <vector>

namespace kvx {

namespace {

// A value scaled by 10^decimals and rounded to a whole number, a half away
// from zero as its decimal digits read (2.675 to two decimals is 2.68), as
// the program's number masks round: the digits, with a leading "-" when the
// result is not zero.
QString scaledDigits(double value, int decimals) {
    return formatWhole(value * std::pow(10.0, decimals), QLocale::c());
}

// The digits of scaledDigits with the point put back: "-0.50" for -50 and
// two decimals; trailing zeros (and a bare point) left out when asked.
QString withPoint(QString digits, int decimals, const QString& point, bool dropZeros) {
    const bool negative = digits.startsWith(u'-');
    if (negative)
        digits.remove(0, 1);
    if (digits.size() <= decimals)
        digits.prepend(QString(decimals + 1 - digits.size(), u'0'));
    QString fraction = digits.right(decimals);
    if (dropZeros) {
        while (fraction.endsWith(u'0'))
            fraction.chop(1);
    }
    QString text = negative ? QStringLiteral("-") : QString();
    text += digits.left(digits.size() - decimals);
    if (!fraction.isEmpty())
        text += point + fraction;
    return text;
}

enum class Mark { None, Foot, Inch };

struct Part {
    double value = 0;
    Mark mark = Mark::None;
};

// Reads the imperial forms: a sign, then one or two parts, each a number and
// an optional mark. A part that does not fit ends the reading with an error.
class ImperialReader {
public:
    explicit ImperialReader(const QString& text)
        : m_text(text) {}

    LengthReading read() {
        skipBlanks();
        if (atEnd())
            return {};
        double sign = 1;
        if (peek() == u'-' || peek() == u'+') {
            sign = peek() == u'-' ? -1 : 1;
            ++m_pos;
        }
        std::vector<Part> parts;
        while (!atEnd() && parts.size() < 2) {
            Part part;
            if (!takeNumber(part.value))
                return {0, m_error};
            part.mark = takeMark();
            parts.push_back(part);
        }
        if (!atEnd() || parts.empty())
            return {0, LengthError::NotALength};
        const auto metres = lengthOf(parts);
        if (!metres)
            return {0, LengthError::NotALength};
        return {sign * *metres};
    }

private:
    bool atEnd() const { return m_pos >= m_text.size(); }
    QChar peek(qsizetype ahead = 0) const {
        return m_pos + ahead < m_text.size() ? m_text.at(m_pos + ahead) : QChar();
    }
    void skipBlanks() {
        while (!atEnd() && peek().isSpace())
            ++m_pos;
    }

    // Digits with at most one separator, a dot or a comma; at least one digit.
    bool takeNumber(double& value) {
        skipBlanks();
        QString number;
        bool separator = false;
        bool digit = false;
        for (; !atEnd(); ++m_pos) {
            const QChar c = peek();
            if (c >= u'0' && c <= u'9') {
                digit = true;
                number += c;
            } else if ((c == u'.' || c == u',') && !separator) {
                separator = true;
                number += u'.';
            } else {
                break;
            }
        }
        if (!digit) {
            m_error = LengthError::NotALength;
            return false;
        }
        bool ok = false;
        value = QLocale::c().toDouble(number, &ok);
        if (!ok || !std::isfinite(value)) {
            m_error = LengthError::TooLarge;
            return false;
        }
        return true;
    }

    // ' or ft for feet, " or '' or in for inches, or none. Letters after a word
    // mark need no test of their own: the next part must start with a digit.
    Mark takeMark() {
        static constexpr std::pair<std::u16string_view, Mark> kMarks[] = {
            {u"''", Mark::Inch}, {u"'", Mark::Foot},  {u"\"", Mark::Inch},
            {u"ft", Mark::Foot}, {u"in", Mark::Inch},
        };
        skipBlanks();
        for (const auto& [spelling, mark] : kMarks) {
            const QStringView marked = QStringView(spelling);
            if (QStringView(m_text)
                    .mid(m_pos, marked.size())
                    .compare(marked, Qt::CaseInsensitive) == 0) {
                m_pos += marked.size();
                skipBlanks();
                return mark;
            }
        }
        return Mark::None;
    }

    static std::optional<double> lengthOf(const std::vector<Part>& parts) {
        const Part& first = parts.front();
        if (parts.size() == 1)
            return first.value * (first.mark == Mark::Inch ? kMetresPerInch : kMetresPerFoot);
        // Feet, then inches: 9'6" or 9'6; whole feet and less than a foot of
        // inches, so that a slip such as 9' 61" is not taken as 14' 1".
        const Part& second = parts.back();
        if (first.mark != Mark::Foot || second.mark == Mark::Foot ||
            first.value != std::floor(first.value) || second.value >= 12)
            return std::nullopt;
        return first.value * kMetresPerFoot + second.value * kMetresPerInch;
    }

    const QString& m_text;
    qsizetype m_pos = 0;
    LengthError m_error = LengthError::None;
};

} // namespace

QString unitsIniText(Units units) {
    return units == Units::Imperial ? QStringLiteral("Imperial") : QStringLiteral("Metric");
}

QString unitsOptionText(Units units) {
    return unitsIniText(units).toLower();
}

std::optional<Units> readUnits(const QString& text) {
    for (const Units units : {Units::Metric, Units::Imperial}) {
        if (text.trimmed().compare(unitsIniText(units), Qt::CaseInsensitive) == 0)
            return units;
    }
    return std::nullopt;
}

LengthReading readLength(const QString& text, Units units) {
    if (units == Units::Imperial)
        return ImperialReader(text).read();
    // As every field is read. Its only error is a number too large, a KvxError,
    // caught by its base class so that these rules need only the number reading.
    try {
        return {ParseDecimal(text)};
    } catch (const std::runtime_error&) {
        return {0, LengthError::TooLarge};
    }
}

QString formatFeet(double metres, const QLocale& locale, int decimals) {
    const double feet = metresToFeet(metres);
    if (!std::isfinite(feet))
        return locale.toString(feet);
    return withPoint(scaledDigits(feet, decimals), decimals, locale.decimalPoint(), false);
}

QString formatFeetInches(double metres) {
    if (!std::isfinite(metres))
        return QLocale::c().toString(metres);
    // Counted in half inches, so that 11.99" carries into 1' 0".
    QString halves = scaledDigits(metres / (kMetresPerInch / 2), 0);
    const bool negative = halves.startsWith(u'-');
    if (negative)
        halves.remove(0, 1);
    const double count = QLocale::c().toDouble(halves);
    const double feet = std::floor(count / 24);
    const int rest = int(count - feet * 24);
    const int inches = rest / 2;
    QString inchText = inches > 0 || rest % 2 == 0 ? QString::number(inches) : QString();
    if (rest % 2)
        inchText += QChar(0x00BD);
    return QStringLiteral("%1%2' %3\"")
        .arg(negative ? QStringLiteral("-") : QString(), formatWhole(feet, QLocale::c()), inchText);
}

QString metresFileText(double metres) {
    if (!std::isfinite(metres))
        return QLocale::c().toString(metres);
    return withPoint(scaledDigits(metres, 4), 4, QStringLiteral("."), true);
}

std::optional<QString> storedLengthText(const QString& fieldText, Units units) {
    if (units == Units::Metric || fieldText.trimmed().isEmpty())
        return fieldText;
    const LengthReading length = readLength(fieldText, units);
    if (!length.ok())
        return std::nullopt;
    return metresFileText(length.metres);
}

QString shownLengthText(const QString& storedText, Units units, const QLocale& locale) {
    if (units == Units::Metric || storedText.trimmed().isEmpty())
        return storedText;
    const LengthReading length = readLength(storedText, Units::Metric);
    if (!length.ok())
        return storedText;
    return withPoint(scaledDigits(metresToFeet(length.metres), kFeetDecimals), kFeetDecimals,
                     locale.decimalPoint(), true);
}

QString withLengthSymbol(const QString& text, Units units) {
    if (units == Units::Metric)
        return text;
    if (text == QLatin1String("m"))
        return QStringLiteral("ft");
    static const QRegularExpression kPlaceholderMetres(
        QStringLiteral(R"((%\d+)(\s)m(?![\p{L}²³]))"));
    QString named = text;
    named.replace(kPlaceholderMetres, QStringLiteral("\\1\\2ft"));
    named.replace(QLatin1String("(m)"), QLatin1String("(ft)"));
    return named;
}

bool acceptsLengthCharacter(QChar c, Units units) {
    if (units == Units::Metric)
        return false;
    return c == u'\'' || c == u'"' || c == u' ' ||
           QStringLiteral("ftin").contains(c, Qt::CaseInsensitive);
}

QString defaultCrossSection(Units units) {
    return units == Units::Imperial ? QStringLiteral("14AWG") : QStringLiteral("1.5");
}

int lengthSymbolId(Units units) {
    return units == Units::Imperial ? UnitsText::Foot : UnitsText::Metre;
}

int lengthLabelId(Units units) {
    return units == Units::Imperial ? UnitsText::FootLabel : UnitsText::MetreLabel;
}

int crossSectionSymbolId(Units units) {
    return units == Units::Imperial ? UnitsText::Awg : UnitsText::SquareMillimetre;
}

} // namespace kvx
