#include "core/speech/speech_texts.h"

#include "core/base/numbers.h"

#include <algorithm>
#include <cmath>

namespace kvx {

namespace {

QString shown(const LocalTexts& texts, double value, int decimals, const char* unit = "") {
    QString text = texts.locale.toString(value, 'f', decimals);
    if (*unit)
        text += u' ' + QString::fromUtf8(unit);
    return text;
}

QString shownSti(const LocalTexts& texts, double value) {
    return shown(texts, value, 2);
}

bool reverberationUnusable(const SpeechModel& model) {
    return std::any_of(model.issues.begin(), model.issues.end(), [](const SpeechIssue& issue) {
        return issue.setting == SpeechSetting::Reverberation;
    });
}

} // namespace

QString speechSettingName(SpeechSetting setting, const LocalTexts& texts) {
    switch (setting) {
    case SpeechSetting::Reverberation:
        return texts.text(SpeechText::Reverberation);
    case SpeechSetting::Ambient:
        return texts.text(SpeechText::Ambient);
    case SpeechSetting::Target:
        break;
    }
    return texts.text(SpeechText::Target);
}

QString speechIssueText(const SpeechIssue& issue, const LocalTexts& texts) {
    int message = SpeechText::NotPositive;
    switch (issue.kind) {
    case SpeechIssue::Kind::NotPositive:
        break;
    case SpeechIssue::Kind::AmbientOutOfRange:
        message = SpeechText::AmbientOutOfRange;
        break;
    case SpeechIssue::Kind::TargetOutOfRange:
        message = SpeechText::TargetOutOfRange;
        break;
    }
    return texts.text(message).arg(speechSettingName(issue.setting, texts), issue.value);
}

QString tooShortText(double reverberation, double shortest, const LocalTexts& texts) {
    // Up to the next hundredth, and beyond the least itself: at exactly the
    // least the room would absorb everything, which it cannot.
    double least = std::ceil(shortest * 100) / 100;
    if (least <= shortest)
        least += 0.01;
    return texts.text(SpeechText::TooShort)
        .arg(texts.locale.toString(reverberation, 'g', QLocale::FloatingPointShortest),
             shown(texts, least, 2));
}

QStringList speechSettingLabels(const LocalTexts& texts) {
    return {texts.text(SpeechText::Reverberation), texts.text(SpeechText::Ambient),
            texts.text(SpeechText::Target)};
}

QStringList speechSettingsFields(const SpeechSettings& settings) {
    return {settings.reverberation ? exactNumber(*settings.reverberation) : QString(),
            exactNumber(settings.target)};
}

QStringList readSpeechSettingsFields(const QStringList& fields, SpeechSettings& settings,
                                     const LocalTexts& texts) {
    QStringList problems;
    const auto problem = [&](const QString& value, SpeechSetting setting) {
        problems
            << texts.text(SpeechText::NotANumber).arg(value, speechSettingName(setting, texts));
    };
    const QString reverberation = fields.value(0).trimmed();
    if (reverberation.isEmpty())
        settings.reverberation.reset();
    else if (const auto value = readNumber(reverberation))
        settings.reverberation = value;
    else
        problem(reverberation, SpeechSetting::Reverberation);
    const QString target = fields.value(1).trimmed();
    if (!target.isEmpty()) {
        if (const auto value = readNumber(target))
            settings.target = *value;
        else
            problem(target, SpeechSetting::Target);
    }
    return problems;
}

std::vector<FigureGroup> speechFigureGroups(const SpeechFigures& figures, const LocalTexts& texts,
                                            Units units) {
    const SpeechModel& m = figures.model;
    // No figures without a reverberation time, and none for one the room
    // does not allow; a time that cannot be used still leaves the rest.
    if (m.shortestReverberation || (!m.reverberation && !reverberationUnusable(m)))
        return {};
    const auto t = [&texts](int id) { return texts.text(id); };
    std::vector<FigureGroup> groups;

    FigureGroup room{t(SpeechText::RoomTitle),
                     {{t(SpeechText::Volume), shown(texts, m.volume, 1, "m³")},
                      {t(SpeechText::Surface), shown(texts, m.surface, 1, "m²")}}};
    if (m.absorption && m.roomConstant) {
        room.rows.push_back({t(SpeechText::Absorption), shown(texts, *m.absorption, 3)});
        room.rows.push_back({t(SpeechText::RoomConstant), shown(texts, *m.roomConstant, 1, "m²")});
    }
    groups.push_back(room);

    FigureGroup speakers{t(SpeechText::LoudspeakersTitle),
                         {{t(SpeechText::Count), texts.locale.toString(m.count)},
                          {t(SpeechText::Directivity), shown(texts, m.q, 2)},
                          {t(SpeechText::PowerLevel), shown(texts, m.powerLevel, 1, "dB")}}};
    if (m.reverberantLevel && m.criticalDistance) {
        speakers.rows.push_back(
            {t(SpeechText::ReverberantLevel), shown(texts, *m.reverberantLevel, 1, "dB")});
        speakers.rows.push_back({t(SpeechText::CriticalDistance),
                                 units == Units::Imperial
                                     ? shown(texts, metresToFeet(*m.criticalDistance), 2, "ft")
                                     : shown(texts, *m.criticalDistance, 2, "m")});
    }
    groups.push_back(speakers);

    if (figures.sti) {
        const StiFigures& s = *figures.sti;
        FigureGroup sti{t(SpeechText::StiTitle),
                        {{t(SpeechText::Mean), shownSti(texts, s.mean)},
                         {t(SpeechText::Minimum), shownSti(texts, s.min)},
                         {t(SpeechText::Maximum), shownSti(texts, s.max)}}};
        if (m.target && s.shareAtTarget && s.met) {
            sti.rows.push_back(
                {t(SpeechText::ShareAtTarget), shown(texts, *s.shareAtTarget * 100, 0, "%")});
            sti.rows.push_back({t(SpeechText::Target),
                                shownSti(texts, *m.target) + QStringLiteral(": ") +
                                    t(*s.met ? SpeechText::Met : SpeechText::Short),
                                *s.met ? FigureTone::Good : FigureTone::Bad});
        }
        groups.push_back(sti);
    }
    return groups;
}

QStringList speechNotes(const SpeechFigures& figures, const LocalTexts& texts) {
    const SpeechModel& m = figures.model;
    QStringList notes;
    if (m.shortestReverberation && m.reverberation)
        notes << tooShortText(*m.reverberation, *m.shortestReverberation, texts);
    for (const SpeechIssue& issue : m.issues)
        notes << speechIssueText(issue, texts);
    if (!m.reverberation && !reverberationUnusable(m))
        notes << texts.text(SpeechText::EnterReverberation);
    if (figures.mapTooLarge)
        notes << texts.text(SpeechText::TooLargeForMap);
    if (figures.sti)
        notes << texts.text(SpeechText::LeavesOut);
    return notes;
}

} // namespace kvx
