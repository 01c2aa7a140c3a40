#include "cli/plan_command.h"

#include "cli/console.h"
#include "core/base/numbers.h"
#include "core/base/string_table.h"
#include "core/calc/design.h"
#include "core/plan/coverage.h"
#include "core/plan/layout.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <optional>

namespace kvx::cli {

namespace {

const QStringList kDrawingSuffixes = {QStringLiteral("png"), QStringLiteral("svg"),
                                      QStringLiteral("pdf"), QStringLiteral("dxf")};
const QString kCsvSuffix = QStringLiteral("csv");
constexpr int kMaxSamples = 1024;
// "%1: "%2" is not a length in feet (such as ...)", the window's own words.
constexpr int kNotFeet = 1631;
// "Plan and coverage", the plan window's title: the title of its notes.
constexpr int kPlanTitle = 1251;

QString suffixOf(const QString& path) {
    return QFileInfo(path).suffix().toLower();
}

// Writes -o; false, with the message in whyNot, when the file was not written.
bool writeOutput(const QString& path, const Layout& layout, const PlanDrawer& draw,
                 QString& whyNot) {
    if (suffixOf(path) == kCsvSuffix) {
        if (writePositionsCsv(layout, path, runTexts(QLocale::c()), &whyNot))
            return true;
        whyNot = filled(said(CliText::CannotWrite), {path, whyNot});
        return false;
    }
    whyNot = draw(path);
    return whyNot.isEmpty();
}

QJsonArray numbers(const std::vector<double>& values, size_t from = 0, size_t count = SIZE_MAX) {
    QJsonArray array;
    const size_t end = std::min(values.size(), count == SIZE_MAX ? values.size() : from + count);
    for (size_t i = from; i < end; ++i)
        array.append(values[i]);
    return array;
}

QJsonObject planJson(const Layout& layout, const CoverageMap* map) {
    QJsonArray positions;
    for (const QPointF& p : layout.positions())
        positions.append(QJsonArray{p.x(), p.y()});
    const QJsonObject layoutObject{{QStringLiteral("columns"), double(layout.columns)},
                                   {QStringLiteral("rows"), double(layout.rows)},
                                   {QStringLiteral("count"), double(layout.count())},
                                   {QStringLiteral("spacingX"), layout.spacingX},
                                   {QStringLiteral("spacingY"), layout.spacingY},
                                   {QStringLiteral("pattern"), patternToken(layout.pattern)},
                                   {QStringLiteral("positions"), positions}};

    if (!map)
        return {{QStringLiteral("layout"), layoutObject},
                {QStringLiteral("coverage"), QJsonValue()}};
    QJsonObject bands;
    for (const Band band : {Band::K1, Band::K4}) {
        QJsonArray level;
        if (map->hasLevels()) {
            for (size_t iy = 0; iy < map->y.size(); ++iy)
                level.append(numbers(map->level[size_t(band)], iy * map->x.size(), map->x.size()));
        }
        const BandFigures& f = map->band(band);
        bands.insert(band == Band::K1 ? QStringLiteral("1k") : QStringLiteral("4k"),
                     QJsonObject{{QStringLiteral("level"), level},
                                 {QStringLiteral("max"), f.max},
                                 {QStringLiteral("min"), f.min},
                                 {QStringLiteral("spread"), f.spread},
                                 {QStringLiteral("withinSet"), f.withinSet},
                                 {QStringLiteral("within1"), f.within1},
                                 {QStringLiteral("within2"), f.within2},
                                 {QStringLiteral("within3"), f.within3}});
    }
    const QJsonObject coverage{
        {QStringLiteral("samples"), map->samples},   {QStringLiteral("margin"), map->margin},
        {QStringLiteral("offset1k"), map->offset1k}, {QStringLiteral("x"), numbers(map->x)},
        {QStringLiteral("y"), numbers(map->y)},      {QStringLiteral("bands"), bands}};
    return {{QStringLiteral("layout"), layoutObject}, {QStringLiteral("coverage"), coverage}};
}

QString planLines(const Layout& layout, const CoverageMap* map, const QLocale& locale,
                  Units units) {
    const auto fixed = [&locale](double value, int decimals) {
        return locale.toString(value, 'f', decimals);
    };
    const auto length = [&](double metres) {
        return units == Units::Imperial ? formatFeet(metres, locale) : fixed(metres, 2);
    };
    QString text;
    const auto line = [&text](const QString& name, const QString& value) {
        text += name + QStringLiteral(": ") + value + u'\n';
    };
    // A square grid's lines stay as they always were.
    if (layout.pattern == Pattern::Offset)
        line(QStringLiteral("pattern"), patternToken(layout.pattern));
    line(QStringLiteral("columns"), QString::number(layout.columns));
    line(QStringLiteral("rows"), QString::number(layout.rows));
    line(QStringLiteral("spacing x"), length(layout.spacingX));
    line(QStringLiteral("spacing y"), length(layout.spacingY));
    line(QStringLiteral("wall x"), length(layout.wallX()));
    line(QStringLiteral("wall y"), length(layout.wallY()));
    if (!map)
        return text;
    for (const Band band : {Band::K1, Band::K4}) {
        const QString name = band == Band::K1 ? QStringLiteral("1k ") : QStringLiteral("4k ");
        const BandFigures& f = map->band(band);
        // Both bands' levels are relative here, as in --json.
        line(name + QStringLiteral("reference"), said(LevelReference::OneOverhead));
        line(name + QStringLiteral("max"), fixed(f.max, 2));
        line(name + QStringLiteral("min"), fixed(f.min, 2));
        line(name + QStringLiteral("spread"), fixed(f.spread, 2));
        line(name + QStringLiteral("within set"), fixed(f.withinSet, 3));
        line(name + QStringLiteral("within 1"), fixed(f.within1, 3));
        line(name + QStringLiteral("within 2"), fixed(f.within2, 3));
        line(name + QStringLiteral("within 3"), fixed(f.within3, 3));
    }
    return text;
}

QJsonObject note(int textId) {
    // Information, as a message box would carry it.
    return {{QStringLiteral("title"), said(kPlanTitle)},
            {QStringLiteral("text"), said(textId)},
            {QStringLiteral("style"), 64}};
}

} // namespace

double marginMetres(const Invocation& invocation, Units units) {
    const double margin = invocation.margin.value_or(0);
    return units == Units::Imperial ? feetToMetres(margin) : margin;
}

OptionRow marginOption() {
    return {{QStringLiteral("margin")},
            QStringLiteral("The listener area keeps M metres (feet with --units imperial) from "
                           "every wall (default: the project's, else %1); --save keeps it in "
                           "the project.")
                .arg(exactNumber(CoverageOptions{}.margin)),
            QStringLiteral("M"),
            [](const QString& text, Invocation& invocation) {
                const std::optional<double> value = readLengthOption(text, invocation);
                if (!value && invocation.units == Units::Imperial)
                    throw UsageError{{}, kNotFeet, {QStringLiteral("--margin"), text}};
                if (!value)
                    throw UsageError{QStringLiteral("--margin"), CliText::NotANumber, {text}};
                if (*value < 0)
                    throw UsageError{
                        {}, CliText::NotAValueFor, {text, QStringLiteral("--margin M >= 0")}};
                invocation.margin = *value;
            }};
}

OptionRow samplesOption() {
    return {{QStringLiteral("samples")},
            QStringLiteral("Samples per spacing on each axis, an even number (default: at least "
                           "200 along the longer side, at most 64)."),
            QStringLiteral("m"),
            [](const QString& text, Invocation& invocation) {
                bool ok = false;
                const int value = text.trimmed().toInt(&ok);
                if (ok && value > kMaxSamples)
                    throw UsageError{QStringLiteral("--samples"),
                                     CliText::OutOfRange,
                                     {text, QStringLiteral("2"), QString::number(kMaxSamples)}};
                if (!ok || value < 2 || value % 2 != 0)
                    throw UsageError{QStringLiteral("--samples"), PlanText::OddSamples, {}};
                invocation.samples = value;
            }};
}

Invocation parsePlan(const QStringList& rest) {
    CalcLikeCommand plan;
    plan.command = Invocation::Command::Plan;
    plan.name = QStringLiteral("plan");
    plan.description = QStringLiteral(
        "Runs calc, then prints the plan of its calculation: where the loudspeakers go in the "
        "room and how the listener area is covered at 1 and 4 kHz.");
    plan.options = {
        marginOption(),
        samplesOption(),
        {{QStringLiteral("o"), QStringLiteral("output")},
         QStringLiteral("Writes the positions (.csv) or the plan (.png, .svg, .pdf, .dxf)."),
         QStringLiteral("OUT"),
         [](const QString& path, Invocation& invocation) {
             invocation.output = path;
             const QString suffix = suffixOf(path);
             if (suffix != kCsvSuffix && !kDrawingSuffixes.contains(suffix))
                 throw UsageError{QStringLiteral("-o"),
                                  CliText::Expected,
                                  {QStringLiteral("OUT.png|OUT.svg|OUT.pdf|OUT.dxf|OUT.csv")}};
         }},
    };
    return parseCalcLike(rest, plan);
}

bool isPlanDrawing(const QString& path) {
    return kDrawingSuffixes.contains(suffixOf(path));
}

int runPlan(const Invocation& invocation, const Design* design, const QJsonArray& messages,
            int status, const PlanDrawer& draw, Units units) {
    const auto withoutPlan = [&](const QString& why) {
        complain(why);
        if (invocation.json) {
            const QJsonObject object = withUnits({{QStringLiteral("layout"), QJsonValue()},
                                                  {QStringLiteral("coverage"), QJsonValue()},
                                                  {QStringLiteral("messages"), messages}},
                                                 invocation, units);
            writeOut(QString::fromUtf8(QJsonDocument(object).toJson()));
        }
        return std::max(status, int(Exit::MessageShown));
    };
    const Layout layout = design ? layoutFor(*design) : Layout{};
    if (layout.count() <= 0)
        return withoutPlan(said(PlanText::CalculateFirst));

    // A map that cannot be made still leaves the layout to show.
    std::optional<CoverageMap> map;
    QString refusal;
    try {
        map = coverageFor(*design, layout, {invocation.samples, invocation.margin.value_or(0)});
    } catch (const CoverageError& error) {
        refusal = said(error.textId);
        status = std::max(status, int(Exit::MessageShown));
    }
    const CoverageMap* shown = map ? &*map : nullptr;

    QJsonArray notes = messages;
    if (!layout.hasPositions())
        notes.append(note(PlanText::TooManyToDraw));
    if (map && map->samplesLowered)
        notes.append(note(PlanText::SamplesLowered));
    if (invocation.json) {
        QJsonObject object = withUnits(planJson(layout, shown), invocation, units);
        object.insert(QStringLiteral("messages"), notes);
        writeOut(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) + u'\n');
    } else {
        writeOut(planLines(layout, shown, invocation.locale.value_or(QLocale::system()), units));
    }
    for (qsizetype i = messages.size(); i < notes.size(); ++i)
        complain(notes.at(i).toObject().value(QStringLiteral("text")).toString());
    if (!map) {
        complain(refusal);
        return status;
    }

    if (!invocation.output.isEmpty()) {
        QString whyNot;
        if (!writeOutput(invocation.output, layout, draw, whyNot)) {
            complain(whyNot);
            return Exit::Failure;
        }
    }
    return status;
}

} // namespace kvx::cli
