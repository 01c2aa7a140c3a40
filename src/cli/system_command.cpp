#include "cli/system_command.h"

#include "cli/cli_platform.h"
#include "cli/console.h"
#include "cli/plan_command.h"
#include "core/base/numbers.h"
#include "core/plan/plan_settings.h"
#include "core/project/project_settings.h"
#include "core/system/listener_level.h"
#include "core/system/system_texts.h"
#include "core/ui/main_window.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QJsonArray>
#include <QLocale>

#include <cmath>

namespace kvx::cli {

namespace {

std::optional<SystemFigures> figuresOf(const FrmKvx& window) {
    const Design* design = window.design();
    if (!design)
        return std::nullopt;
    return systemFiguresFor(*design, window.systemSettings(),
                            quietestRelative1k(*design, window.planSettings().margin));
}

QJsonValue orNull(const std::optional<double>& value) {
    return value ? QJsonValue(*value) : QJsonValue();
}

// A figure for reading: at most `decimals` decimals, no trailing zeros.
QString plain(double value, int decimals, const QLocale& locale) {
    const double scale = std::pow(10.0, decimals);
    return locale.toString(std::round(value * scale) / scale, 'g', 15);
}

} // namespace

QString amplifierStateName(AmplifierState state) {
    switch (state) {
    case AmplifierState::Fine:
        return QStringLiteral("fine");
    case AmplifierState::Tight:
        return QStringLiteral("tight");
    case AmplifierState::Overloaded:
        break;
    }
    return QStringLiteral("overloaded");
}

QString dropStateName(DropState state) {
    switch (state) {
    case DropState::Green:
        return QStringLiteral("green");
    case DropState::Amber:
        return QStringLiteral("amber");
    case DropState::Red:
        break;
    }
    return QStringLiteral("red");
}

Invocation parseSystem(const QStringList& rest) {
    // The help gives the defaults and limits the sizing works with.
    const SystemSettings defaults;
    QStringList metric;
    QStringList awg;
    for (const CrossSection& c : listedCrossSections())
        (c.awg ? awg : metric) << c.name;
    const auto listed = [](QStringList names) {
        const QString last = names.takeLast();
        return names.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
    };
    // A setting given as a number.
    const auto number = [](const char* name, const QString& description, const char* valueName,
                           std::optional<double> SystemOptions::*setting) {
        return OptionRow{{QString::fromLatin1(name)},
                         description,
                         QString::fromLatin1(valueName),
                         [name, setting](const QString& text, Invocation& invocation) {
                             const std::optional<double> value = readNumber(text);
                             if (!value)
                                 throw UsageError{QStringLiteral("--") + QLatin1String(name),
                                                  CliText::NotANumber,
                                                  {text}};
                             invocation.system.*setting = value;
                         }};
    };

    CalcLikeCommand system;
    system.command = Invocation::Command::System;
    system.name = QStringLiteral("system");
    system.description = QStringLiteral(
        "Runs calc, then sizes the system of its calculation: the load, the amplifier, the "
        "line, the cable, the level above the room's noise and the tap advice. The settings "
        "given here join those of the project; --save keeps them in it.");
    system.options = {
        number("ambient",
               QStringLiteral("The room's noise level, dB(A), 0 to %1: checks the quietest "
                              "listener and advises the taps.")
                   .arg(exactNumber(kMaxAmbient)),
               "dB", &SystemOptions::ambient),
        number("above",
               QStringLiteral("How far the quietest listener must be above the noise (default "
                              "%1).")
                   .arg(exactNumber(defaults.above)),
               "dB", &SystemOptions::above),
        number("amplifier", QStringLiteral("The amplifier's rated power."), "W",
               &SystemOptions::amplifier),
        {{QStringLiteral("cable-length")},
         QStringLiteral("The run from the amplifier to the farthest loudspeaker (in feet with "
                        "--units imperial)."),
         QStringLiteral("m"),
         [](const QString& text, Invocation& invocation) {
             const std::optional<double> value = readLengthOption(text, invocation);
             if (!value)
                 throw UsageError{QStringLiteral("--cable-length"), CliText::NotANumber, {text}};
             invocation.system.cableLength = value;
         }},
        {{QStringLiteral("cross-section")},
         QStringLiteral("The copper cross-section: %1 (mm²), or %2 (default %3).")
             .arg(listed(metric), listed(awg), defaults.crossSection),
         QStringLiteral("A"),
         [](const QString& text, Invocation& invocation) {
             invocation.system.crossSection = text;
         }},
        {{QStringLiteral("spread")},
         QStringLiteral("The loudspeakers are spread evenly along the run (default: all at the "
                        "far end)."),
         {},
         [](const QString&, Invocation& invocation) { invocation.system.spread = true; }},
        number("drop-limit",
               QStringLiteral("The largest level drop the cable may cause (default %1).")
                   .arg(exactNumber(defaults.dropLimit)),
               "dB", &SystemOptions::dropLimit),
        marginOption(),
    };
    return parseCalcLike(rest, system);
}

void applySystemOptions(const SystemOptions& options, FrmKvx& window) {
    SystemSettings s = window.systemSettings();
    if (options.ambient)
        s.ambient = options.ambient;
    if (options.above)
        s.above = *options.above;
    if (options.amplifier)
        s.amplifier = options.amplifier;
    if (options.cableLength)
        s.cableLength = window.units() == Units::Imperial ? feetToMetres(*options.cableLength)
                                                          : *options.cableLength;
    if (options.crossSection) {
        const auto listed = findCrossSection(*options.crossSection);
        s.crossSection = listed ? listed->name : options.crossSection->trimmed();
    }
    if (options.spread)
        s.load = CableLoad::Spread;
    if (options.dropLimit)
        s.dropLimit = *options.dropLimit;
    window.setSystemSettings(s);
}

QStringList systemProblems(const FrmKvx& window) {
    QStringList problems;
    if (const auto figures = figuresOf(window)) {
        for (const SystemIssue& issue : figures->issues)
            problems << systemIssueText(issue, window.kvx.localTexts());
    }
    return problems;
}

QString systemLines(const FrmKvx& window) {
    const auto figures = figuresOf(window);
    if (!figures)
        return {};
    const SystemFigures& f = *figures;
    const QLocale& locale = window.kvx.locale;
    QString lines;
    const auto line = [&lines](const char* name, const QString& value) {
        lines += QLatin1String(name) + QStringLiteral(": ") + value + u'\n';
    };
    const auto number = [&](const char* name, double value, int decimals) {
        line(name, plain(value, decimals, locale));
    };
    line("speakers", locale.toString(f.speakers));
    number("speaker power", f.speakerPower, 3);
    number("total load", f.total, 2);
    number("minimum amplifier", f.minimumAmplifier, 2);
    if (f.rating && f.amplifierLoad && f.amplifierState) {
        number("amplifier rating", *f.rating, 2);
        number("amplifier load", *f.amplifierLoad, 3);
        line("amplifier state", amplifierStateName(*f.amplifierState));
    }
    number("line voltage", f.voltage, 1);
    number("impedance", f.impedance, 2);
    number("current", f.current, 3);
    if (const auto& c = f.cable) {
        const bool feet = window.units() == Units::Imperial;
        const auto length = [&](double metres) { return feet ? metresToFeet(metres) : metres; };
        number("cable length", length(c->length), 2);
        line("cross-section", c->crossSection.name);
        line("load on the run", c->spread ? QStringLiteral("spread") : QStringLiteral("far end"));
        number("loop resistance", c->loopResistance, 3);
        number("drop", c->drop, 3);
        number("lost", c->lost, 3);
        if (c->dropLimit && c->longestRun && c->state) {
            number("drop limit", *c->dropLimit, 2);
            number("longest run", length(*c->longestRun), 1);
            line("smallest cross-section",
                 c->smallestForRun ? c->smallestForRun->name : QStringLiteral("none"));
            line("cable state", dropStateName(*c->state));
        }
    }
    if (const auto& l = f.level) {
        number("ambient", l->ambient, 2);
        number("above", l->above, 2);
        number("required", l->required, 2);
        number("quietest", l->quietest, 2);
        line("level", l->met ? QStringLiteral("met")
                             : QStringLiteral("short by ") + plain(l->shortBy, 2, locale));
    }
    if (const auto& a = f.advice) {
        if (a->taps) {
            line("advice",
                 a->taps->speakerTap() + QStringLiteral(" on ") + a->taps->amplifierTap());
        } else {
            line("advice",
                 QStringLiteral("none, full power short by ") + plain(a->shortBy, 2, locale));
        }
        number("advised speaker power", a->speakerPower, 3);
        number("advised quietest", a->quietest, 2);
    }
    return lines;
}

QJsonObject systemJson(const FrmKvx& window, const CliPlatform& platform) {
    QJsonArray messages;
    for (const ShownMessage& m : platform.messages()) {
        messages.append(QJsonObject{{QStringLiteral("title"), m.title},
                                    {QStringLiteral("text"), m.text},
                                    {QStringLiteral("style"), m.style}});
    }
    for (const QString& problem : systemProblems(window)) {
        messages.append(
            QJsonObject{{QStringLiteral("title"), window.kvx.localText(SystemText::SettingsTitle)},
                        {QStringLiteral("text"), problem},
                        {QStringLiteral("style"), MsgStyle::Exclamation}});
    }
    QJsonObject json{
        {QStringLiteral("load"), QJsonValue()},  {QStringLiteral("amplifier"), QJsonValue()},
        {QStringLiteral("line"), QJsonValue()},  {QStringLiteral("cable"), QJsonValue()},
        {QStringLiteral("level"), QJsonValue()}, {QStringLiteral("advice"), QJsonValue()},
        {QStringLiteral("messages"), messages}};
    const auto figures = figuresOf(window);
    if (!figures)
        return json;
    const SystemFigures& f = *figures;
    json[QStringLiteral("load")] = QJsonObject{{QStringLiteral("speakers"), f.speakers},
                                               {QStringLiteral("speakerPower"), f.speakerPower},
                                               {QStringLiteral("total"), f.total}};
    json[QStringLiteral("amplifier")] = QJsonObject{
        {QStringLiteral("minimum"), f.minimumAmplifier},
        {QStringLiteral("rating"), orNull(f.rating)},
        {QStringLiteral("load"), orNull(f.amplifierLoad)},
        {QStringLiteral("state"),
         f.amplifierState ? QJsonValue(amplifierStateName(*f.amplifierState)) : QJsonValue()}};
    json[QStringLiteral("line")] = QJsonObject{{QStringLiteral("voltage"), f.voltage},
                                               {QStringLiteral("impedance"), f.impedance},
                                               {QStringLiteral("current"), f.current}};
    if (const auto& c = f.cable) {
        json[QStringLiteral("cable")] =
            QJsonObject{{QStringLiteral("length"), c->length},
                        {QStringLiteral("crossSection"), c->crossSection.area},
                        {QStringLiteral("crossSectionName"), c->crossSection.name},
                        {QStringLiteral("spread"), c->spread},
                        {QStringLiteral("loopResistance"), c->loopResistance},
                        {QStringLiteral("drop"), c->drop},
                        {QStringLiteral("lost"), c->lost},
                        {QStringLiteral("dropLimit"), orNull(c->dropLimit)},
                        {QStringLiteral("longestRun"), orNull(c->longestRun)},
                        {QStringLiteral("smallestCrossSection"),
                         c->smallestForRun ? QJsonValue(c->smallestForRun->area) : QJsonValue()},
                        {QStringLiteral("smallestCrossSectionName"),
                         c->smallestForRun ? QJsonValue(c->smallestForRun->name) : QJsonValue()},
                        {QStringLiteral("state"),
                         c->state ? QJsonValue(dropStateName(*c->state)) : QJsonValue()}};
    }
    if (const auto& l = f.level) {
        json[QStringLiteral("level")] = QJsonObject{
            {QStringLiteral("ambient"), l->ambient},   {QStringLiteral("above"), l->above},
            {QStringLiteral("required"), l->required}, {QStringLiteral("quietest"), l->quietest},
            {QStringLiteral("met"), l->met},           {QStringLiteral("shortBy"), l->shortBy}};
    }
    if (const auto& a = f.advice) {
        json[QStringLiteral("advice")] =
            QJsonObject{{QStringLiteral("speakerTap"),
                         a->taps ? QJsonValue(a->taps->speakerTap()) : QJsonValue()},
                        {QStringLiteral("amplifierTap"),
                         a->taps ? QJsonValue(a->taps->amplifierTap()) : QJsonValue()},
                        {QStringLiteral("speakerPower"), a->speakerPower},
                        {QStringLiteral("quietest"), a->quietest},
                        {QStringLiteral("shortBy"), a->shortBy}};
    }
    return json;
}

} // namespace kvx::cli
