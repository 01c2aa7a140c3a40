#include "core/system/system_texts.h"

#include "core/base/numbers.h"

namespace kvx {

namespace {

const QString kSpread = QStringLiteral("spread");
const QString kFarEnd = QStringLiteral("end");

QString optionalNumber(const std::optional<double>& value) {
    return value ? exactNumber(*value) : QString();
}

QString shown(const LocalTexts& texts, double value, int decimals, const char* unit) {
    QString text = texts.locale.toString(value, 'f', decimals);
    if (*unit)
        text += u' ' + QString::fromUtf8(unit);
    return text;
}

// A tap power as the main window shows it: the general form (0.375, 1.47, 6).
QString shownPower(const LocalTexts& texts, double value) {
    return texts.locale.toString(value, 'g', 4) + QStringLiteral(" W");
}

FigureTone toneOf(AmplifierState state) {
    switch (state) {
    case AmplifierState::Fine:
        return FigureTone::Good;
    case AmplifierState::Tight:
        return FigureTone::Warning;
    case AmplifierState::Overloaded:
        break;
    }
    return FigureTone::Bad;
}

FigureTone toneOf(DropState state) {
    switch (state) {
    case DropState::Green:
        return FigureTone::Good;
    case DropState::Amber:
        return FigureTone::Warning;
    case DropState::Red:
        break;
    }
    return FigureTone::Bad;
}

} // namespace

QString systemSettingName(SystemSetting setting, const LocalTexts& texts) {
    switch (setting) {
    case SystemSetting::Ambient:
        return texts.text(SystemText::Ambient);
    case SystemSetting::Above:
        return texts.text(SystemText::Above);
    case SystemSetting::Amplifier:
        return texts.text(SystemText::AmplifierRating);
    case SystemSetting::CableLength:
        return texts.text(SystemText::CableLength);
    case SystemSetting::CrossSection:
        return texts.text(SystemText::CrossSection);
    case SystemSetting::DropLimit:
        break;
    }
    return texts.text(SystemText::DropLimit);
}

QString systemIssueText(const SystemIssue& issue, const LocalTexts& texts) {
    QString leftOut;
    switch (issue.setting) {
    case SystemSetting::Ambient:
    case SystemSetting::Above:
        leftOut = texts.text(SystemText::LeftOutLevel);
        break;
    case SystemSetting::Amplifier:
        leftOut = texts.text(SystemText::LeftOutAmplifier);
        break;
    case SystemSetting::CableLength:
    case SystemSetting::CrossSection:
        leftOut = texts.text(SystemText::LeftOutCable);
        break;
    case SystemSetting::DropLimit:
        leftOut = texts.text(SystemText::LeftOutRun);
        break;
    }
    int id = SystemText::NotPositive;
    if (issue.kind == SystemIssue::Kind::AmbientOutOfRange)
        id = SystemText::AmbientOutOfRange;
    else if (issue.kind == SystemIssue::Kind::UnknownCrossSection)
        id = SystemText::UnknownCrossSection;
    return texts.text(id).arg(systemSettingName(issue.setting, texts), issue.value, leftOut);
}

QString amplifierStateText(AmplifierState state, const LocalTexts& texts) {
    switch (state) {
    case AmplifierState::Fine:
        return texts.text(SystemText::Fine);
    case AmplifierState::Tight:
        return texts.text(SystemText::Tight);
    case AmplifierState::Overloaded:
        break;
    }
    return texts.text(SystemText::Overloaded);
}

QString dropStateText(DropState state, const LocalTexts& texts) {
    switch (state) {
    case DropState::Green:
        return texts.text(SystemText::DropGreen);
    case DropState::Amber:
        return texts.text(SystemText::DropAmber);
    case DropState::Red:
        break;
    }
    return texts.text(SystemText::DropRed);
}

QString crossSectionText(const CrossSection& section, const QLocale& locale) {
    if (section.awg)
        return section.name.chopped(3) + QStringLiteral(" AWG");
    return locale.toString(section.area, 'g', QLocale::FloatingPointShortest) +
           QStringLiteral(" mm²");
}

QString crossSectionSettingText(const QString& name, const QLocale& locale) {
    const auto listed = findCrossSection(name);
    return listed ? crossSectionText(*listed, locale) : name;
}

QStringList systemSettingLabels(const LocalTexts& texts) {
    QStringList labels;
    for (const int id : {SystemText::Ambient, SystemText::Above, SystemText::AmplifierRating,
                         SystemText::CableLength, SystemText::CrossSection, SystemText::LoadOnRun,
                         SystemText::DropLimit})
        labels << texts.text(id);
    return labels;
}

QStringList systemSettingsFields(const SystemSettings& s) {
    return {optionalNumber(s.ambient),
            exactNumber(s.above),
            optionalNumber(s.amplifier),
            optionalNumber(s.cableLength),
            s.crossSection,
            s.load == CableLoad::Spread ? kSpread : kFarEnd,
            exactNumber(s.dropLimit)};
}

QStringList readSystemSettingsFields(const QStringList& fields, SystemSettings& settings,
                                     const LocalTexts& texts) {
    QStringList problems;
    const auto problem = [&](const QString& value, const QString& name) {
        problems << texts.text(SystemText::NotANumber).arg(value, name);
    };
    const auto optional = [&](int index, std::optional<double>& target, SystemSetting setting) {
        const QString text = fields.value(index).trimmed();
        if (text.isEmpty()) {
            target.reset();
            return;
        }
        if (const auto value = readNumber(text))
            target = value;
        else
            problem(text, systemSettingName(setting, texts));
    };
    const auto required = [&](int index, double& target, SystemSetting setting) {
        const QString text = fields.value(index).trimmed();
        if (text.isEmpty())
            return;
        if (const auto value = readNumber(text))
            target = *value;
        else
            problem(text, systemSettingName(setting, texts));
    };
    optional(0, settings.ambient, SystemSetting::Ambient);
    required(1, settings.above, SystemSetting::Above);
    optional(2, settings.amplifier, SystemSetting::Amplifier);
    optional(3, settings.cableLength, SystemSetting::CableLength);
    const QString section = fields.value(4).trimmed();
    if (!section.isEmpty()) {
        // A listed name is kept as the list spells it; anything else as it
        // stands, so that the page names what is wrong with it.
        const auto listed = findCrossSection(section);
        settings.crossSection = listed ? listed->name : section;
    }
    const QString load = fields.value(5).trimmed();
    if (load == kSpread)
        settings.load = CableLoad::Spread;
    else if (load.isEmpty() || load == kFarEnd)
        settings.load = CableLoad::FarEnd;
    else
        problem(load, texts.text(SystemText::LoadOnRun));
    required(6, settings.dropLimit, SystemSetting::DropLimit);
    return problems;
}

std::vector<FigureGroup> systemFigureGroups(const SystemFigures& f, const LocalTexts& texts,
                                            Units units) {
    const bool feet = units == Units::Imperial;
    const auto length = [&](double metres, int decimals) {
        return feet ? shown(texts, metresToFeet(metres), decimals, "ft")
                    : shown(texts, metres, decimals, "m");
    };
    std::vector<FigureGroup> groups;
    const auto t = [&texts](int id) { return texts.text(id); };

    groups.push_back({t(SystemText::LoadGroup),
                      {{t(SystemText::Loudspeakers), texts.locale.toString(f.speakers)},
                       {t(SystemText::SpeakerPower), shownPower(texts, f.speakerPower)},
                       {t(SystemText::TotalLoad), shown(texts, f.total, 1, "W")}}});

    FigureGroup amplifier{
        t(SystemText::AmplifierGroup),
        {{t(SystemText::MinimumAmplifier), shown(texts, f.minimumAmplifier, 1, "W")}}};
    if (f.rating && f.amplifierLoad && f.amplifierState) {
        amplifier.rows.push_back({t(SystemText::AmplifierRating), shown(texts, *f.rating, 1, "W")});
        amplifier.rows.push_back({t(SystemText::AmplifierLoad),
                                  shown(texts, *f.amplifierLoad * 100, 0, "%") +
                                      QStringLiteral(": ") +
                                      amplifierStateText(*f.amplifierState, texts),
                                  toneOf(*f.amplifierState)});
    }
    groups.push_back(amplifier);

    groups.push_back({t(SystemText::LineGroup),
                      {{t(SystemText::AmplifierTap), shown(texts, f.voltage, 0, "V")},
                       {t(SystemText::Impedance), shown(texts, f.impedance, 2, "Ω")},
                       {t(SystemText::Current), shown(texts, f.current, 2, "A")}}});

    if (f.cable) {
        const CableFigures& c = *f.cable;
        FigureGroup cable{
            t(SystemText::CableGroup),
            {{t(SystemText::CableLength), length(c.length, 1)},
             {t(SystemText::CrossSection), crossSectionText(c.crossSection, texts.locale)},
             {t(SystemText::LoadOnRun), t(c.spread ? SystemText::Spread : SystemText::FarEnd)},
             {t(SystemText::LoopResistance), shown(texts, c.loopResistance, 2, "Ω")}}};
        FigureRow drop{t(SystemText::LevelDrop), shown(texts, c.drop, 2, "dB")};
        if (c.state) {
            drop.value += QStringLiteral(": ") + dropStateText(*c.state, texts);
            drop.tone = toneOf(*c.state);
        }
        cable.rows.push_back(drop);
        cable.rows.push_back({t(SystemText::PowerLost), shown(texts, c.lost, 1, "W")});
        if (c.dropLimit && c.longestRun) {
            cable.rows.push_back({t(SystemText::DropLimit), shown(texts, *c.dropLimit, 1, "dB")});
            cable.rows.push_back({t(SystemText::LongestRun), length(*c.longestRun, 0)});
            cable.rows.push_back({t(SystemText::SmallestForRun),
                                  c.smallestForRun
                                      ? crossSectionText(*c.smallestForRun, texts.locale)
                                      : t(SystemText::NoneListed),
                                  c.smallestForRun ? FigureTone::Plain : FigureTone::Bad});
        }
        groups.push_back(cable);
    }

    if (f.level) {
        const LevelCheck& l = *f.level;
        groups.push_back(
            {t(SystemText::LevelGroup),
             {{t(SystemText::Ambient), shown(texts, l.ambient, 1, "dB(A)")},
              {t(SystemText::Above), shown(texts, l.above, 1, "dB")},
              {t(SystemText::Required), shown(texts, l.required, 1, "dB")},
              {t(SystemText::Quietest),
               shown(texts, l.quietest, 1, "dB") + QStringLiteral(": ") +
                   (l.met ? t(SystemText::Met)
                          : t(SystemText::ShortBy).arg(texts.locale.toString(l.shortBy, 'f', 1))),
               l.met ? FigureTone::Good : FigureTone::Bad}}});
    }
    if (f.advice) {
        const TapAdvice& a = *f.advice;
        FigureGroup advice{t(SystemText::AdviceGroup), {}};
        if (a.taps) {
            advice.rows.push_back(
                {t(SystemText::Advice).arg(a.taps->speakerTap(), a.taps->amplifierTap()),
                 shownPower(texts, a.speakerPower) + QStringLiteral(", ") +
                     shown(texts, a.quietest, 1, "dB"),
                 FigureTone::Good});
        } else {
            advice.rows.push_back({t(SystemText::AdviceShort)
                                       .arg(QStringLiteral("1/1 P"), QStringLiteral("100 V"),
                                            texts.locale.toString(a.shortBy, 'f', 1)),
                                   shown(texts, a.quietest, 1, "dB"), FigureTone::Bad});
        }
        groups.push_back(advice);
    }
    return groups;
}

QStringList systemNotes(const SystemFigures& figures, const SystemSettings& settings, double margin,
                        const LocalTexts& texts, Units units) {
    QStringList notes;
    for (const SystemIssue& issue : figures.issues)
        notes << systemIssueText(issue, texts);
    if (!settings.cableLength)
        notes << texts.text(SystemText::EnterCableLength);
    if (!settings.ambient)
        notes << texts.text(SystemText::EnterAmbient);
    else if (figures.level)
        notes << withLengthSymbol(texts.text(SystemText::QuietestAreaNote), units)
                     .arg(units == Units::Imperial
                              ? formatFeet(margin, texts.locale)
                              : texts.locale.toString(margin, 'g', QLocale::FloatingPointShortest));
    return notes;
}

} // namespace kvx
