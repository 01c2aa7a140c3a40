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
        return texts.text(1401);
    case SystemSetting::Above:
        return texts.text(1402);
    case SystemSetting::Amplifier:
        return texts.text(1403);
    case SystemSetting::CableLength:
        return texts.text(1404);
    case SystemSetting::CrossSection:
        return texts.text(1405);
    case SystemSetting::DropLimit:
        break;
    }
    return texts.text(1409);
}

QString systemIssueText(const SystemIssue& issue, const LocalTexts& texts) {
    QString leftOut;
    switch (issue.setting) {
    case SystemSetting::Ambient:
    case SystemSetting::Above:
        leftOut = texts.text(1452);
        break;
    case SystemSetting::Amplifier:
        leftOut = texts.text(1449);
        break;
    case SystemSetting::CableLength:
    case SystemSetting::CrossSection:
        leftOut = texts.text(1450);
        break;
    case SystemSetting::DropLimit:
        leftOut = texts.text(1451);
        break;
    }
    int id = 1445;
    if (issue.kind == SystemIssue::Kind::AmbientOutOfRange)
        id = 1444;
    else if (issue.kind == SystemIssue::Kind::UnknownCrossSection)
        id = 1446;
    return texts.text(id).arg(systemSettingName(issue.setting, texts), issue.value, leftOut);
}

QString amplifierStateText(AmplifierState state, const LocalTexts& texts) {
    switch (state) {
    case AmplifierState::Fine:
        return texts.text(1420);
    case AmplifierState::Tight:
        return texts.text(1421);
    case AmplifierState::Overloaded:
        break;
    }
    return texts.text(1422);
}

QString dropStateText(DropState state, const LocalTexts& texts) {
    switch (state) {
    case DropState::Green:
        return texts.text(1431);
    case DropState::Amber:
        return texts.text(1432);
    case DropState::Red:
        break;
    }
    return texts.text(1433);
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
    for (const int id : {1401, 1402, 1403, 1404, 1405, 1406, 1409})
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
        problems << texts.text(1448).arg(value, name);
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
        problem(load, texts.text(1406));
    required(6, settings.dropLimit, SystemSetting::DropLimit);
    return problems;
}

std::vector<FigureGroup> systemFigureGroups(const SystemFigures& f, const LocalTexts& texts) {
    std::vector<FigureGroup> groups;
    const auto t = [&texts](int id) { return texts.text(id); };

    groups.push_back({t(1410),
                      {{t(1416), texts.locale.toString(f.speakers)},
                       {t(1020), shownPower(texts, f.speakerPower)},
                       {t(1417), shown(texts, f.total, 1, "W")}}});

    FigureGroup amplifier{t(1411), {{t(1418), shown(texts, f.minimumAmplifier, 1, "W")}}};
    if (f.rating && f.amplifierLoad && f.amplifierState) {
        amplifier.rows.push_back({t(1403), shown(texts, *f.rating, 1, "W")});
        amplifier.rows.push_back({t(1419),
                                  shown(texts, *f.amplifierLoad * 100, 0, "%") +
                                      QStringLiteral(": ") +
                                      amplifierStateText(*f.amplifierState, texts),
                                  toneOf(*f.amplifierState)});
    }
    groups.push_back(amplifier);

    groups.push_back({t(1412),
                      {{t(1018), shown(texts, f.voltage, 0, "V")},
                       {t(1423), shown(texts, f.impedance, 2, "Ω")},
                       {t(1424), shown(texts, f.current, 2, "A")}}});

    if (f.cable) {
        const CableFigures& c = *f.cable;
        FigureGroup cable{t(1413),
                          {{t(1404), shown(texts, c.length, 1, "m")},
                           {t(1405), crossSectionText(c.crossSection, texts.locale)},
                           {t(1406), t(c.spread ? 1408 : 1407)},
                           {t(1425), shown(texts, c.loopResistance, 2, "Ω")}}};
        FigureRow drop{t(1426), shown(texts, c.drop, 2, "dB")};
        if (c.state) {
            drop.value += QStringLiteral(": ") + dropStateText(*c.state, texts);
            drop.tone = toneOf(*c.state);
        }
        cable.rows.push_back(drop);
        cable.rows.push_back({t(1427), shown(texts, c.lost, 1, "W")});
        if (c.dropLimit && c.longestRun) {
            cable.rows.push_back({t(1409), shown(texts, *c.dropLimit, 1, "dB")});
            cable.rows.push_back({t(1428), shown(texts, *c.longestRun, 0, "m")});
            cable.rows.push_back(
                {t(1429),
                 c.smallestForRun ? crossSectionText(*c.smallestForRun, texts.locale) : t(1430),
                 c.smallestForRun ? FigureTone::Plain : FigureTone::Bad});
        }
        groups.push_back(cable);
    }

    if (f.level) {
        const LevelCheck& l = *f.level;
        groups.push_back(
            {t(1414),
             {{t(1401), shown(texts, l.ambient, 1, "dB(A)")},
              {t(1402), shown(texts, l.above, 1, "dB")},
              {t(1434), shown(texts, l.required, 1, "dB")},
              {t(1435),
               shown(texts, l.quietest, 1, "dB") + QStringLiteral(": ") +
                   (l.met ? t(1436) : t(1437).arg(texts.locale.toString(l.shortBy, 'f', 1))),
               l.met ? FigureTone::Good : FigureTone::Bad}}});
    }
    if (f.advice) {
        const TapAdvice& a = *f.advice;
        FigureGroup advice{t(1415), {}};
        if (a.taps) {
            advice.rows.push_back({t(1438).arg(a.taps->speakerTap(), a.taps->amplifierTap()),
                                   shownPower(texts, a.speakerPower) + QStringLiteral(", ") +
                                       shown(texts, a.quietest, 1, "dB"),
                                   FigureTone::Good});
        } else {
            advice.rows.push_back({t(1439).arg(QStringLiteral("1/1 P"), QStringLiteral("100 V"),
                                               texts.locale.toString(a.shortBy, 'f', 1)),
                                   shown(texts, a.quietest, 1, "dB"), FigureTone::Bad});
        }
        groups.push_back(advice);
    }
    return groups;
}

QStringList systemNotes(const SystemFigures& figures, const SystemSettings& settings,
                        const LocalTexts& texts) {
    QStringList notes;
    for (const SystemIssue& issue : figures.issues)
        notes << systemIssueText(issue, texts);
    if (!settings.cableLength)
        notes << texts.text(1443);
    if (!settings.ambient)
        notes << texts.text(1442);
    else if (figures.level)
        notes << texts.text(1455);
    return notes;
}

} // namespace kvx
