#include "core/base/numbers.h"

#include "core/base/kvx_error.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <system_error>

namespace kvx {

namespace {

// Walks a text the way the leading-number reader sees it: blanks, tabs and
// line feeds are not there.
class Reader {
public:
    explicit Reader(const QString& text)
        : m_text(text) {
        skipBlanks();
    }
    bool atEnd() const { return m_pos >= m_text.size(); }
    QChar peek() const { return atEnd() ? QChar() : m_text.at(m_pos); }
    void next() {
        ++m_pos;
        skipBlanks();
    }
    bool take(char c) {
        if (peek().toUpper() != QLatin1Char(c))
            return false;
        next();
        return true;
    }
    // The value of the next character as a digit of the given base, or -1.
    int digit(int base) const {
        const char16_t c = peek().unicode();
        int value = -1;
        if (c >= u'0' && c <= u'9')
            value = c - u'0';
        else if (c >= u'a' && c <= u'f')
            value = c - u'a' + 10;
        else if (c >= u'A' && c <= u'F')
            value = c - u'A' + 10;
        return value < base ? value : -1;
    }

private:
    void skipBlanks() {
        while (!atEnd()) {
            const QChar c = m_text.at(m_pos);
            if (c != u' ' && c != u'\t' && c != u'\n')
                break;
            ++m_pos;
        }
    }

    const QString& m_text;
    qsizetype m_pos = 0;
};

// &H and &O: a whole number in base 16 or 8, never negative.
std::optional<double> readWhole(Reader& in, int base) {
    double value = 0;
    for (int d = in.digit(base); d >= 0; d = in.digit(base)) {
        value = value * base + d;
        in.next();
    }
    if (std::isinf(value))
        return std::nullopt;
    return value;
}

std::optional<double> readDecimal(Reader& in) {
    std::string mantissa;
    if (in.take('-'))
        mantissa += '-';
    else
        in.take('+');

    // Where the first significant digit sits relative to the decimal point,
    // to tell an overflow from an underflow.
    long magnitude = 0;
    bool significant = false;
    bool anyDigit = false;
    bool dot = false;
    for (;;) {
        const int d = in.digit(10);
        if (d >= 0) {
            anyDigit = true;
            if (d != 0)
                significant = true;
            if (significant && !dot)
                ++magnitude;
            else if (!significant && dot)
                --magnitude;
            mantissa += char('0' + d);
            in.next();
        } else if (!dot && in.peek() == u'.') {
            dot = true;
            mantissa += '.';
            in.next();
        } else {
            break;
        }
    }
    if (!anyDigit || !significant)
        return 0.0;

    // Exponents beyond any double's range are held at a bound that still
    // overflows or underflows.
    constexpr long kExponentBound = 100000;
    long exponent = 0;
    if (in.take('E') || in.take('D')) {
        const bool negative = in.take('-');
        if (!negative)
            in.take('+');
        for (int d = in.digit(10); d >= 0; d = in.digit(10)) {
            if (exponent < kExponentBound)
                exponent = exponent * 10 + d;
            in.next();
        }
        if (negative)
            exponent = -exponent;
    }
    mantissa += 'e';
    mantissa += std::to_string(exponent);

    double value = 0;
    const auto [end, ec] =
        std::from_chars(mantissa.data(), mantissa.data() + mantissa.size(), value);
    Q_UNUSED(end);
    if (ec == std::errc::result_out_of_range) {
        if (magnitude + exponent > 0)
            return std::nullopt;
        return 0.0;
    }
    if (ec != std::errc() || std::isinf(value))
        return std::nullopt;
    return value;
}

// The decimal digits of a value: |value| = 0.digits x 10^point, no leading or
// trailing zeros; no digits at all for zero.
struct Decimal {
    std::string digits;
    int point = 0;
    bool negative = false;
};

// Whether a decimal text d.ddd...e+XX of a large value lies beyond the
// largest finite Real (small values would report their underflow).
template <typename Real>
bool overflows(std::string_view text) {
    Real back = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), back);
    Q_UNUSED(end);
    return ec == std::errc::result_out_of_range || std::isinf(back);
}

template <typename Real>
Decimal toDecimal(Real value, int significantDigits) {
    Decimal result;
    result.negative = std::signbit(value);
    // d.ddd...e+XX
    char rounded[64];
    const auto end = std::to_chars(rounded, rounded + sizeof rounded, std::abs(value),
                                   std::chars_format::scientific, significantDigits - 1)
                         .ptr;
    std::string_view text(rounded, end - rounded);
    char exact[64];
    if (std::abs(value) > 1 && overflows<Real>(text)) {
        // Rounded up past the largest finite value (1.79769313486232E+308 for
        // a double) the shown number would no longer read back: the digits
        // are cut off instead. Forty digits are exact far beyond those kept.
        const auto exactEnd = std::to_chars(exact, exact + sizeof exact, std::abs(value),
                                            std::chars_format::scientific, 40)
                                  .ptr;
        const std::string_view all(exact, exactEnd - exact);
        result.point = std::atoi(std::string(all.substr(all.find('e') + 1)).c_str()) + 1;
        text = all.substr(0, significantDigits + 1); // d. and the digits after the point
    } else {
        const auto e = text.find('e');
        result.point = std::atoi(std::string(text.substr(e + 1)).c_str()) + 1;
        text = text.substr(0, e);
    }
    for (char c : text) {
        if (c != '.')
            result.digits += c;
    }
    while (!result.digits.empty() && result.digits.back() == '0')
        result.digits.pop_back();
    if (result.digits.empty())
        result.point = 0;
    return result;
}

// Rounds to the given number of decimals, a half away from zero, as the
// digits read.
void roundToDecimals(Decimal& number, int decimals) {
    const int keep = number.point + decimals;
    if (keep >= int(number.digits.size()))
        return;
    if (keep < 0) {
        number.digits.clear();
        return;
    }
    const bool up = number.digits[keep] >= '5';
    number.digits.resize(keep);
    if (up) {
        int i = keep - 1;
        while (i >= 0 && number.digits[i] == '9')
            number.digits[i--] = '0';
        if (i >= 0) {
            ++number.digits[i];
        } else {
            number.digits.insert(number.digits.begin(), '1');
            ++number.point;
        }
    }
    while (!number.digits.empty() && number.digits.back() == '0')
        number.digits.pop_back();
}

// The digit at a position: 0 is the first digit before the decimal point, -1
// the first after it.
char digitAt(const Decimal& number, int position) {
    const int index = number.point - 1 - position;
    if (index < 0 || index >= int(number.digits.size()))
        return '0';
    return number.digits[index];
}

QString sign(const Decimal& number) {
    // A value that shows only zeros shows no sign.
    return number.negative && !number.digits.empty() ? QStringLiteral("-") : QString();
}

QString formatFixed(double value, int decimals, const QLocale& locale) {
    if (!std::isfinite(value))
        return locale.toString(value);
    Decimal number = toDecimal(value, std::numeric_limits<double>::digits10);
    roundToDecimals(number, decimals);
    QString text = sign(number);
    for (int position = std::max(number.point, 1) - 1; position >= 0; --position)
        text += QLatin1Char(digitAt(number, position));
    if (decimals > 0) {
        text += locale.decimalPoint();
        for (int position = -1; position >= -decimals; --position)
            text += QLatin1Char(digitAt(number, position));
    }
    return text;
}

// Fixed notation while the value's leading digit lies within the digits
// shown and not far behind the point; otherwise d.dddE+XX.
QString formatShortest(const Decimal& number, int significantDigits, const QLocale& locale) {
    if (number.digits.empty())
        return QStringLiteral("0");
    QString text = sign(number);
    const int exponent = number.point - 1;
    const auto fraction = [&](std::string_view digits) {
        return digits.empty() ? QString() : locale.decimalPoint() + QLatin1String(digits);
    };
    const std::string_view digits = number.digits;
    if (exponent >= significantDigits || exponent < -5) {
        text += QLatin1Char(digits.front());
        text += fraction(digits.substr(1));
        text += exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+");
        text += QStringLiteral("%1").arg(std::abs(exponent), 2, 10, QLatin1Char('0'));
    } else if (number.point <= 0) {
        text += QLatin1Char('0') + locale.decimalPoint() + QString(-number.point, u'0') +
                QLatin1String(digits);
    } else if (number.point >= int(digits.size())) {
        text += QLatin1String(digits) + QString(number.point - int(digits.size()), u'0');
    } else {
        text += QLatin1String(digits.substr(0, number.point));
        text += fraction(digits.substr(number.point));
    }
    return text;
}

} // namespace

std::optional<double> ValChecked(const QString& text) {
    Reader in(text);
    if (in.take('&')) {
        if (in.take('H'))
            return readWhole(in, 16);
        if (in.take('O'))
            return readWhole(in, 8);
        return 0.0;
    }
    return readDecimal(in);
}

double Val(const QString& text) {
    return ValChecked(text).value_or(0.0);
}

QString trimSpaces(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == u' ')
        ++first;
    while (last > first && text.at(last - 1) == u' ')
        --last;
    return text.mid(first, last - first);
}

double ParseDecimal(const QString& text) {
    const QString trimmed = trimSpaces(text);
    QString s = trimmed;
    s.replace(u',', u'.');
    const std::optional<double> value = ValChecked(s);
    if (!value)
        throw KvxError(QStringLiteral("Number too large: %1").arg(trimmed));
    return *value;
}

std::optional<double> readNumber(QString text) {
    text = text.trimmed();
    text.replace(u',', u'.');
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString formatOneDecimal(double value, const QLocale& locale) {
    return formatFixed(value, 1, locale);
}

QString formatWhole(double value, const QLocale& locale) {
    return formatFixed(value, 0, locale);
}

QString formatGeneral(double value, const QLocale& locale) {
    if (!std::isfinite(value))
        return locale.toString(value);
    constexpr int kDigits = std::numeric_limits<double>::digits10;
    return formatShortest(toDecimal(value, kDigits), kDigits, locale);
}

QString exactNumber(double value) {
    return QLocale::c().toString(value, 'g', QLocale::FloatingPointShortest);
}

QString formatGeneralSingle(float value, const QLocale& locale) {
    if (!std::isfinite(value))
        return locale.toString(value);
    constexpr int kDigits = std::numeric_limits<float>::digits10 + 1;
    return formatShortest(toDecimal(value, kDigits), kDigits, locale);
}

double roundHalfEven(double value) {
    if (!std::isfinite(value))
        return value;
    const double down = std::floor(value);
    const double fraction = value - down;
    if (fraction < 0.5)
        return down;
    if (fraction > 0.5)
        return down + 1;
    return std::fmod(down, 2.0) == 0.0 ? down : down + 1;
}

} // namespace kvx
