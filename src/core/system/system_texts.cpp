#include "core/system/system_texts.h"

#include <cmath>

namespace kvx {

namespace {

const QString kSpread = QStringLiteral("spread");
const QString kFarEnd = QStringLiteral("end");

QString fileNumber(double value) {
    return QLocale::c().toString(value, 'g', QLocale::FloatingPointShortest);
}

QString optionalNumber(const std::optional<double>& value) {
    return value ? fileNumber(*value) : QString();
}

// A number as a project file holds it: a dot (a comma is taken too); nothing
// for a text that is no finite number.
std::optional<double> readNumber(QString text) {
    text = text.trimmed();
    text.replace(u',', u'.');
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString shown(const Kvx1& kvx, double value, int decimals, const char* unit) {
    QString text = kvx.locale.toString(value, 'f', decimals);
    if (*unit)
        text += u' ' + QString::fromUtf8(unit);
    return text;
}

// A tap power as the main window shows it: the general form (0.375, 1.47, 6).
QString shownPower(const Kvx1& kvx, double value) {
    return kvx.locale.toString(value, 'g', 4) + QStringLiteral(" W");
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

QString systemSettingName(SystemSetting setting, const Kvx1& kvx) {
    switch (setting) {
    case SystemSetting::Ambient:
        return kvx.localText(1401);
    case SystemSetting::Above:
        return kvx.localText(1402);
    case SystemSetting::Amplifier:
        return kvx.localText(1403);
    case SystemSetting::CableLength:
        return kvx.localText(1404);
    case SystemSetting::CrossSection:
        return kvx.localText(1405);
    case SystemSetting::DropLimit:
        break;
    }
    return kvx.localText(1409);
}

QString systemIssueText(const SystemIssue& issue, const Kvx1& kvx) {
    QString leftOut;
    switch (issue.setting) {
    case SystemSetting::Ambient:
    case SystemSetting::Above:
        leftOut = kvx.localText(1452);
        break;
    case SystemSetting::Amplifier:
        leftOut = kvx.localText(1449);
        break;
    case SystemSetting::CableLength:
    case SystemSetting::CrossSection:
        leftOut = kvx.localText(1450);
        break;
    case SystemSetting::DropLimit:
        leftOut = kvx.localText(1451);
        break;
    }
    int id = 1445;
    if (issue.kind == SystemIssue::Kind::AmbientOutOfRange)
        id = 1444;
    else if (issue.kind == SystemIssue::Kind::UnknownCrossSection)
        id = 1446;
    return kvx.localText(id).arg(systemSettingName(issue.setting, kvx), issue.value, leftOut);
}

QString amplifierStateText(AmplifierState state, const Kvx1& kvx) {
    switch (state) {
    case AmplifierState::Fine:
        return kvx.localText(1420);
    case AmplifierState::Tight:
        return kvx.localText(1421);
    case AmplifierState::Overloaded:
        break;
    }
    return kvx.localText(1422);
}

QString dropStateText(DropState state, const Kvx1& kvx) {
    switch (state) {
    case DropState::Green:
        return kvx.localText(1431);
    case DropState::Amber:
        return kvx.localText(1432);
    case DropState::Red:
        break;
    }
    return kvx.localText(1433);
}

QString crossSectionText(const CrossSection& section, const QLocale& locale) {
    if (section.awg)
        return section.name.chopped(3) + QStringLiteral(" AWG");
    return locale.toString(section.area, 'g', QLocale::FloatingPointShortest) +
           QStringLiteral(" mm²");
}

QStringList systemSettingsFields(const SystemSettings& s) {
    return {optionalNumber(s.ambient),
            fileNumber(s.above),
            optionalNumber(s.amplifier),
            optionalNumber(s.cableLength),
            s.crossSection,
            s.load == CableLoad::Spread ? kSpread : kFarEnd,
            fileNumber(s.dropLimit)};
}

QStringList readSystemSettingsFields(const QStringList& fields, SystemSettings& settings,
                                     const Kvx1& kvx) {
    QStringList problems;
    const auto problem = [&](const QString& value, const QString& name) {
        problems << kvx.localText(1448).arg(value, name);
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
            problem(text, systemSettingName(setting, kvx));
    };
    const auto required = [&](int index, double& target, SystemSetting setting) {
        const QString text = fields.value(index).trimmed();
        if (text.isEmpty())
            return;
        if (const auto value = readNumber(text))
            target = *value;
        else
            problem(text, systemSettingName(setting, kvx));
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
        problem(load, kvx.localText(1406));
    required(6, settings.dropLimit, SystemSetting::DropLimit);
    return problems;
}

std::vector<FigureGroup> systemFigureGroups(const SystemFigures& f, const Kvx1& kvx) {
    std::vector<FigureGroup> groups;
    const auto t = [&kvx](int id) { return kvx.localText(id); };

    groups.push_back({t(1410),
                      {{t(1416), kvx.locale.toString(f.speakers)},
                       {t(1020), shownPower(kvx, f.speakerPower)},
                       {t(1417), shown(kvx, f.total, 1, "W")}}});

    FigureGroup amplifier{t(1411), {{t(1418), shown(kvx, f.minimumAmplifier, 1, "W")}}};
    if (f.rating && f.amplifierLoad && f.amplifierState) {
        amplifier.rows.push_back({t(1403), shown(kvx, *f.rating, 1, "W")});
        amplifier.rows.push_back({t(1419),
                                  shown(kvx, *f.amplifierLoad * 100, 0, "%") +
                                      QStringLiteral(": ") +
                                      amplifierStateText(*f.amplifierState, kvx),
                                  toneOf(*f.amplifierState)});
    }
    groups.push_back(amplifier);

    groups.push_back({t(1412),
                      {{t(1018), shown(kvx, f.voltage, 0, "V")},
                       {t(1423), shown(kvx, f.impedance, 2, "Ω")},
                       {t(1424), shown(kvx, f.current, 2, "A")}}});

    if (f.cable) {
        const CableFigures& c = *f.cable;
        FigureGroup cable{t(1413),
                          {{t(1404), shown(kvx, c.length, 1, "m")},
                           {t(1405), crossSectionText(c.crossSection, kvx.locale)},
                           {t(1406), t(c.spread ? 1408 : 1407)},
                           {t(1425), shown(kvx, c.loopResistance, 2, "Ω")}}};
        FigureRow drop{t(1426), shown(kvx, c.drop, 2, "dB")};
        if (c.state) {
            drop.value += QStringLiteral(": ") + dropStateText(*c.state, kvx);
            drop.tone = toneOf(*c.state);
        }
        cable.rows.push_back(drop);
        cable.rows.push_back({t(1427), shown(kvx, c.lost, 1, "W")});
        if (c.dropLimit && c.longestRun) {
            cable.rows.push_back({t(1409), shown(kvx, *c.dropLimit, 1, "dB")});
            cable.rows.push_back({t(1428), shown(kvx, *c.longestRun, 0, "m")});
            cable.rows.push_back(
                {t(1429),
                 c.smallestForRun ? crossSectionText(*c.smallestForRun, kvx.locale) : t(1430),
                 c.smallestForRun ? FigureTone::Plain : FigureTone::Bad});
        }
        groups.push_back(cable);
    }

    if (f.level) {
        const LevelCheck& l = *f.level;
        groups.push_back(
            {t(1414),
             {{t(1401), shown(kvx, l.ambient, 1, "dB(A)")},
              {t(1402), shown(kvx, l.above, 1, "dB")},
              {t(1434), shown(kvx, l.required, 1, "dB")},
              {t(1435),
               shown(kvx, l.quietest, 1, "dB") + QStringLiteral(": ") +
                   (l.met ? t(1436) : t(1437).arg(kvx.locale.toString(l.shortBy, 'f', 1))),
               l.met ? FigureTone::Good : FigureTone::Bad}}});
    }
    if (f.advice) {
        const TapAdvice& a = *f.advice;
        FigureGroup advice{t(1415), {}};
        if (a.taps) {
            advice.rows.push_back({t(1438).arg(a.taps->speakerTap(), a.taps->amplifierTap()),
                                   shownPower(kvx, a.speakerPower) + QStringLiteral(", ") +
                                       shown(kvx, a.quietest, 1, "dB"),
                                   FigureTone::Good});
        } else {
            advice.rows.push_back({t(1439).arg(QStringLiteral("1/1 P"), QStringLiteral("100 V"),
                                               kvx.locale.toString(a.shortBy, 'f', 1)),
                                   shown(kvx, a.quietest, 1, "dB"), FigureTone::Bad});
        }
        groups.push_back(advice);
    }
    return groups;
}

QStringList systemNotes(const SystemFigures& figures, const SystemSettings& settings,
                        const Kvx1& kvx) {
    QStringList notes;
    for (const SystemIssue& issue : figures.issues)
        notes << systemIssueText(issue, kvx);
    if (!settings.cableLength)
        notes << kvx.localText(1443);
    if (!settings.ambient)
        notes << kvx.localText(1442);
    else if (figures.level)
        notes << kvx.localText(1455);
    return notes;
}

} // namespace kvx
