#include "cli/speech_command.h"

#include "cli/cli_platform.h"
#include "cli/console.h"
#include "cli/plan_command.h"
#include "cli/system_command.h"
#include "core/base/numbers.h"
#include "core/speech/speech_texts.h"
#include "core/system/system.h"
#include "core/ui/main_window.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

#include <cmath>

namespace kvx::cli {

namespace {

QJsonValue orNull(const std::optional<double>& value) {
    return value ? QJsonValue(*value) : QJsonValue();
}

// A figure for reading: at most `decimals` decimals, no trailing zeros.
QString plain(double value, int decimals, const QLocale& locale) {
    const double scale = std::pow(10.0, decimals);
    return locale.toString(std::round(value * scale) / scale, 'g', 15);
}

QJsonArray numbers(const std::vector<double>& values) {
    QJsonArray array;
    for (const double value : values)
        array.append(value);
    return array;
}

struct SpeechMessage {
    QString title;
    QString text;
};

// The estimate of one run: the figures of the window's design over one
// coverage map, and what the user is told about them.
struct SpeechRun {
    std::optional<Speech> speech; // none without a design
    std::optional<CoverageMap> coverage;
    QList<SpeechMessage> messages;
};

SpeechRun estimate(const Invocation& invocation, const FrmKvx& window) {
    SpeechRun run;
    const Design* design = window.design();
    if (!design)
        return run;
    const LocalTexts texts = window.kvx.localTexts();
    const QString settingsTitle = texts.text(SpeechText::SettingsTitle);
    const Layout layout = layoutFor(*design);
    const SpeechSettings& settings = window.speechSettings();
    const std::optional<double> ambient = window.systemSettings().ambient;
    try {
        run.coverage =
            coverageFor(*design, layout, {invocation.samples, invocation.margin.value_or(0)});
        run.speech = speechFor(*design, layout, *run.coverage, settings, ambient);
    } catch (const CoverageError& error) {
        // The room's figures do not need the map.
        run.speech.emplace().figures.model = speechModelFor(*design, layout, settings, ambient);
        run.messages.append({texts.text(SpeechText::Page),
                             error.textId ? texts.text(error.textId) : error.message});
    }
    QStringList notes = speechNotes(run.speech->figures, texts);
    // Beside an estimate, the last note says what it leaves out: no problem.
    if (run.speech->figures.sti)
        notes.removeLast();
    for (const QString& note : std::as_const(notes)) {
        const bool aboutTheMap = note == texts.text(SpeechText::TooLargeForMap);
        run.messages.append({aboutTheMap ? texts.text(SpeechText::Page) : settingsTitle, note});
    }
    return run;
}

QString speechLines(const SpeechRun& run, const QLocale& locale) {
    if (!run.speech)
        return {};
    const SpeechModel& m = run.speech->figures.model;
    QString lines;
    const auto line = [&lines](const char* name, const QString& value) {
        lines += QLatin1String(name) + QStringLiteral(": ") + value + u'\n';
    };
    const auto number = [&](const char* name, const std::optional<double>& value, int decimals) {
        if (value)
            line(name, plain(*value, decimals, locale));
    };
    number("absorption", m.absorption, 3);
    number("room constant", m.roomConstant, 1);
    number("q", m.q, 2);
    number("power level", m.powerLevel, 1);
    number("reverberant level", m.reverberantLevel, 1);
    number("critical distance", m.criticalDistance, 2);
    if (const auto& sti = run.speech->figures.sti) {
        number("sti mean", sti->mean, 3);
        number("sti min", sti->min, 3);
        number("sti max", sti->max, 3);
        number("share at target", sti->shareAtTarget, 3);
        number("target", m.target, 3);
        if (sti->met)
            line("speech", *sti->met ? QStringLiteral("met") : QStringLiteral("short"));
    }
    return lines;
}

QJsonObject speechJson(const Invocation& invocation, const SpeechRun& run, const FrmKvx& window,
                       const CliPlatform& platform) {
    QJsonArray messages;
    for (const ShownMessage& m : platform.messages()) {
        messages.append(QJsonObject{{QStringLiteral("title"), m.title},
                                    {QStringLiteral("text"), m.text},
                                    {QStringLiteral("style"), m.style}});
    }
    for (const SpeechMessage& m : run.messages) {
        messages.append(QJsonObject{{QStringLiteral("title"), m.title},
                                    {QStringLiteral("text"), m.text},
                                    {QStringLiteral("style"), MsgStyle::Exclamation}});
    }
    QJsonObject json{{QStringLiteral("room"), QJsonValue()},
                     {QStringLiteral("loudspeakers"), QJsonValue()},
                     {QStringLiteral("speech"), QJsonValue()},
                     {QStringLiteral("messages"), messages}};
    if (!run.speech)
        return json;
    const SpeechModel& m = run.speech->figures.model;
    json[QStringLiteral("room")] =
        QJsonObject{{QStringLiteral("volume"), m.volume},
                    {QStringLiteral("surface"), m.surface},
                    {QStringLiteral("absorption"), orNull(m.absorption)},
                    {QStringLiteral("roomConstant"), orNull(m.roomConstant)}};
    json[QStringLiteral("loudspeakers")] =
        QJsonObject{{QStringLiteral("count"), double(m.count)},
                    {QStringLiteral("q"), m.q},
                    {QStringLiteral("powerLevel"), m.powerLevel},
                    {QStringLiteral("reverberantLevel"), orNull(m.reverberantLevel)},
                    {QStringLiteral("criticalDistance"), orNull(m.criticalDistance)}};

    // The settings as given; what the estimate could not use is null below.
    const SpeechSettings& settings = window.speechSettings();
    const StiMap& map = run.speech->map;
    const std::optional<StiFigures>& sti = run.speech->figures.sti;
    const auto figure = [&sti](std::optional<double> StiFigures::*optional,
                               double StiFigures::*plain) {
        if (!sti)
            return QJsonValue();
        return optional ? orNull(*sti.*optional) : QJsonValue(*sti.*plain);
    };
    json[QStringLiteral("speech")] = QJsonObject{
        {QStringLiteral("reverberation"), orNull(settings.reverberation)},
        {QStringLiteral("ambient"), orNull(window.systemSettings().ambient)},
        {QStringLiteral("target"), settings.target},
        {QStringLiteral("margin"), invocation.margin.value_or(0)},
        {QStringLiteral("samples"),
         run.coverage ? QJsonValue(run.coverage->samples) : QJsonValue()},
        {QStringLiteral("x"), map.empty() ? QJsonValue() : QJsonValue(numbers(map.x))},
        {QStringLiteral("y"), map.empty() ? QJsonValue() : QJsonValue(numbers(map.y))},
        {QStringLiteral("sti"), map.empty() ? QJsonValue() : QJsonValue(stiRows(map))},
        {QStringLiteral("mean"), figure(nullptr, &StiFigures::mean)},
        {QStringLiteral("min"), figure(nullptr, &StiFigures::min)},
        {QStringLiteral("max"), figure(nullptr, &StiFigures::max)},
        {QStringLiteral("shareAtTarget"), figure(&StiFigures::shareAtTarget, nullptr)},
        {QStringLiteral("met"), sti && sti->met ? QJsonValue(*sti->met) : QJsonValue()}};
    return json;
}

} // namespace

Invocation parseSpeech(const QStringList& rest) {
    const auto number = [](const char* name, const QString& description, const char* valueName,
                           const std::function<void(double, Invocation&)>& set) {
        return OptionRow{{QString::fromLatin1(name)},
                         description,
                         QString::fromLatin1(valueName),
                         [name, set](const QString& text, Invocation& invocation) {
                             const std::optional<double> value = readNumber(text);
                             if (!value)
                                 throw UsageError{QStringLiteral("--") + QLatin1String(name),
                                                  CliText::NotANumber,
                                                  {text}};
                             set(*value, invocation);
                         }};
    };

    CalcLikeCommand speech;
    speech.command = Invocation::Command::Speech;
    speech.name = QStringLiteral("speech");
    speech.description = QStringLiteral(
        "Runs calc, then estimates the speech transmission index (STI) over the listener area "
        "of its calculation from the room's reverberation time and noise: a statistical room "
        "model with one reverberation time; masking and the hearing threshold are left out. The "
        "settings given here join those of the project; --save keeps them in it.");
    speech.options = {
        number(
            "reverberation",
            QStringLiteral("The room's reverberation time in seconds at mid frequencies, above 0 "
                           "(needed unless the project keeps one)."),
            "T", [](double value, Invocation& i) { i.speech.reverberation = value; }),
        number("ambient",
               QStringLiteral("The room's noise level, dB(A), 0 to %1 (the System settings' "
                              "ambient noise; default: none, no noise).")
                   .arg(exactNumber(kMaxAmbient)),
               "dB", [](double value, Invocation& i) { i.system.ambient = value; }),
        number("target",
               QStringLiteral("The STI the design should reach, 0 to 1 (default %1).")
                   .arg(exactNumber(SpeechSettings{}.target)),
               "STI", [](double value, Invocation& i) { i.speech.target = value; }),
        marginOption(),
        samplesOption(),
    };
    Invocation invocation = parseCalcLike(rest, speech);
    if (invocation.command == Invocation::Command::Speech && !invocation.speech.reverberation &&
        invocation.file.isEmpty())
        throw UsageError{QStringLiteral("speech"),
                         CliText::Expected,
                         {QStringLiteral("--reverberation T | PROJECT.kvx")}};
    return invocation;
}

void applySpeechOptions(const Invocation& invocation, FrmKvx& window) {
    applySystemOptions(invocation.system, window);
    SpeechSettings s = window.speechSettings();
    if (invocation.speech.reverberation)
        s.reverberation = invocation.speech.reverberation;
    if (invocation.speech.target)
        s.target = *invocation.speech.target;
    window.setSpeechSettings(s);
}

int printSpeech(const Invocation& invocation, const FrmKvx& window, const CliPlatform& platform,
                int status) {
    const SpeechRun run = estimate(invocation, window);
    if (invocation.json) {
        writeOut(
            QString::fromUtf8(QJsonDocument(withUnits(speechJson(invocation, run, window, platform),
                                                      invocation, window.units()))
                                  .toJson(QJsonDocument::Compact)) +
            u'\n');
    } else {
        for (const SpeechMessage& m : run.messages)
            writeErr(m.title + QStringLiteral(": ") + m.text + u'\n');
        writeOut(speechLines(run, window.kvx.locale));
    }
    if (!run.messages.isEmpty() && status == Exit::Success)
        return Exit::MessageShown;
    return status;
}

} // namespace kvx::cli
