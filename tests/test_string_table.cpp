// The built-in string table: which texts each language block holds, the
// texts that other parts of the program and old project files depend on
// letter for letter, and the menus' access keys.

#include "core/kvx_error.h"
#include "core/shell/string_table.h"

#include <QList>
#include <QMap>
#include <QSet>
#include <QStringEncoder>
#include <QTest>

using namespace kvx;

namespace {

const StringTable& table() {
    return StringTable::builtIn();
}

// The ids of the English block that hold a text.
QList<int> englishIds() {
    QList<int> ids;
    const auto range = [&ids](int first, int last) {
        for (int id = first; id <= last; ++id)
            ids.append(id);
    };
    range(1000, 1054);
    range(1056, 1069);
    range(1080, 1084);
    range(1090, 1090);
    range(1100, 1100);
    range(1102, 1108);
    range(1110, 1110);
    range(1120, 1125);
    return ids;
}

struct Language {
    const char* name;
    int offset;
};
constexpr Language kLanguages[] = {
    {"English", LanguageOffsets::English}, {"Dutch", LanguageOffsets::Dutch},
    {"French", LanguageOffsets::French},   {"Italian", LanguageOffsets::Italian},
    {"German", LanguageOffsets::German},
};

const QList<int> kFileMenu = {1062, 1063, 1064, 1065, 1066, 1067, 1068, 1069, 1130};
const QList<int> kHelpMenu = {1090, 1039};

// The access key of a caption, lower case; a doubled ampersand is a plain one.
// Null when the caption has none; "&" alone at the end gives an empty key.
QString accessKey(const QString& caption) {
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&'))
            continue;
        if (i + 1 < caption.size() && caption[i + 1] == QLatin1Char('&')) {
            ++i;
            continue;
        }
        return i + 1 < caption.size() ? caption.mid(i + 1, 1).toLower() : QStringLiteral("");
    }
    return {};
}

} // namespace

class TestStringTable : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void englishBlockHoldsNinetyTexts() {
        QList<int> present;
        for (int id = 1000; id <= 1125; ++id) {
            if (table().contains(id))
                present.append(id);
        }
        QCOMPARE(present.size(), 90);
        QCOMPARE(present, englishIds());
    }

    void languageBlocks_data() {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QList<int>>("absent"); // English ids without a text in the block
        QTest::newRow("Dutch: all ninety") << LanguageOffsets::Dutch << QList<int>{};
        QTest::newRow("French: no 1034, 1108, 1110")
            << LanguageOffsets::French << QList<int>{1034, 1108, 1110};
        QTest::newRow("Italian: no 1108") << LanguageOffsets::Italian << QList<int>{1108};
        QTest::newRow("German: no 1108") << LanguageOffsets::German << QList<int>{1108};
    }

    void languageBlocks() {
        QFETCH(int, offset);
        QFETCH(QList<int>, absent);
        const QList<int> english = englishIds();
        for (int id = 1000; id <= 1125; ++id) {
            const bool expected = english.contains(id) && !absent.contains(id);
            if (table().contains(id + offset) != expected)
                QFAIL(qPrintable(
                    QStringLiteral("id %1 %2")
                        .arg(id + offset)
                        .arg(expected ? QStringLiteral("missing") : QStringLiteral("unexpected"))));
        }
    }

    void noSpanishBlock() {
        for (int id = LanguageOffsets::Spanish + 1000; id < LanguageOffsets::Spanish + 2000; ++id)
            QVERIFY2(!table().contains(id), qPrintable(QString::number(id)));
    }

    void exportMenuTextInEveryLanguage() {
        for (const Language& language : kLanguages) {
            const auto text = table().find(1130 + language.offset);
            QVERIFY2(text && !text->isEmpty(), language.name);
            QVERIFY2(text->contains(QLatin1String("PDF")), language.name);
        }
    }

    void sectionHeaders_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("header");
        const QMap<int, QStringList> headers = {
            {1057,
             {"[Project Description]", "[Project Omschrijving]", "[Description du projet]",
              "[Descrizione del progretto]", "[Projekt Umschreibung]"}},
            {1058,
             {"[Loudspeaker Data]", "[Luidspreker Gegevens]", "[Choix du haut-parleur]",
              "[Dati dell' altoparlanti]", "[Lautsprecherdaten]"}},
            {1059,
             {"[Room Data]", "[Ruimte Gegevens]", QString::fromUtf8("[Dimension de la pi\u00e8ce]"),
              "[Dati dell' ambiente]", "[Raumdaten]"}},
            {1060,
             {"[Power Settings]", "[Vermogensinstellingen]",
              QString::fromUtf8("[S\u00e9lection de la puissance]"), "[Selezionare la potenza]",
              "[Leistungsauswahl]"}},
            {1061,
             {"[Calculated Data]", "[Berekende Gegevens]", QString::fromUtf8("[R\u00e9sultats]"),
              "[Dati di calcolo]", "[Ergebnisse]"}},
        };
        for (auto it = headers.cbegin(); it != headers.cend(); ++it) {
            for (int i = 0; i < 5; ++i) {
                const int id = it.key() + kLanguages[i].offset;
                QTest::addRow("%s %d", kLanguages[i].name, id) << id << it.value().at(i);
            }
        }
    }

    void sectionHeaders() {
        QFETCH(int, id);
        QFETCH(QString, header);
        QCOMPARE(table().find(id).value_or(QStringLiteral("<absent>")), header);
    }

    void tellingRows_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("text");
        const QMap<int, QStringList> rows = {
            {1001, {"&File", "&Bestand", "Fichier", "File", "Datei"}},
            {1028, {"Calculate", "Bereken", "Calculez", "Calcolare", "Berechnung"}},
            {1056, {"User type", "Eigen invoer", "Utilisateur", "Modello utente", "Benutzer Typ"}},
            {1106, {"Close", "Sluiten", "Fermer", "Chiudi", "Beenden"}},
            {1052, {"KVX", "KVX", "KVX", "KVX", "KVX"}},
            {1104,
             {"This program is distributed by", "This program is distributed by",
              "This program is distributed by", "This program is distributed by",
              "This program is distributed by"}},
            {1105, {"Halcyra", "Halcyra", "Halcyra", "Halcyra", "Halcyra"}},
        };
        for (auto it = rows.cbegin(); it != rows.cend(); ++it) {
            for (int i = 0; i < 5; ++i) {
                const int id = it.key() + kLanguages[i].offset;
                QTest::addRow("%s %d", kLanguages[i].name, id) << id << it.value().at(i);
            }
        }
        QTest::newRow("German Working window caption") << 5110 << QStringLiteral("Programm Info");
        QTest::newRow("English version") << 1053 << QStringLiteral("Version 2.1");
        QTest::newRow("Dutch version") << 2053 << QStringLiteral("Versie 2.1");
    }

    void tellingRows() {
        QFETCH(int, id);
        QFETCH(QString, text);
        QCOMPARE(table().find(id).value_or(QStringLiteral("<absent>")), text);
    }

    void rightsNoticeNamesTheMaker() {
        const auto notice = table().find(1100);
        QVERIFY(notice);
        QVERIFY(notice->contains(QLatin1String("Halcyra")));
    }

    void englishBlanksKept_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("text");
        QTest::newRow("sentence with trailing blank")
            << 1040 << QStringLiteral("The KVX calculates the number of loudspeakers in a room. ");
        QTest::newRow("sentence closing a paragraph")
            << 1042
            << QStringLiteral("Room dimensions and type of loudspeaker are entered by the user.");
        QTest::newRow("disclaimer before the maker's name")
            << 1102
            << QStringLiteral("Although every effort is made to ensure that the information in "
                              "this program is accurate and correct, ");
        QTest::newRow("disclaimer after the maker's name")
            << 1103
            << QStringLiteral(" is not responsible for damage arising from its use or misuse.");
        QTest::newRow("file name follows")
            << 1108 << QStringLiteral("Opened loudspeaker data file: ");
    }

    void englishBlanksKept() {
        QFETCH(int, id);
        QFETCH(QString, text);
        QCOMPARE(table().find(id).value_or(QStringLiteral("<absent>")), text);
    }

    // Sentences and the disclaimer are joined without separators, so each
    // translation needs the blanks of its English text at the same ends.
    void joinedTextsKeepTheirBlanks_data() {
        QTest::addColumn<int>("offset");
        for (const Language& language : kLanguages) {
            if (language.offset != 0)
                QTest::newRow(language.name) << language.offset;
        }
    }

    void joinedTextsKeepTheirBlanks() {
        QFETCH(int, offset);
        for (int id : {1040, 1041, 1042, 1043, 1044, 1045, 1046, 1047, 1048, 1049, 1050, 1051, 1102,
                       1103, 1108}) {
            const auto english = table().find(id);
            const auto local = table().find(id + offset);
            if (!local)
                continue;
            QVERIFY(english);
            QVERIFY2(english->endsWith(QLatin1Char(' ')) == local->endsWith(QLatin1Char(' ')) &&
                         english->startsWith(QLatin1Char(' ')) ==
                             local->startsWith(QLatin1Char(' ')),
                     qPrintable(QStringLiteral("%1: \"%2\"").arg(id + offset).arg(*local)));
            QVERIFY2(!local->endsWith(QLatin1String("  ")),
                     qPrintable(QString::number(id + offset)));
        }
    }

    // Project files and text reports are written in Windows-1252.
    void everyTextFitsTheCodePage() {
        for (const Language& language : kLanguages) {
            for (int id = 1000; id <= 1130; ++id) {
                const auto text = table().find(id + language.offset);
                if (!text)
                    continue;
                QStringEncoder encoder("windows-1252");
                encoder.encode(*text);
                QVERIFY2(!encoder.hasError(), qPrintable(*text));
                QVERIFY2(!text->contains(QLatin1Char('\t')) && !text->contains(QLatin1Char('\r')),
                         qPrintable(*text));
            }
        }
    }

    void accessKeysDoNotCollide_data() {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QList<int>>("menu");
        QTest::addColumn<QStringList>("shared"); // keys known to be shared
        for (const Language& language : kLanguages) {
            // The English Print report and Print to file have always shared R.
            const QStringList shared =
                language.offset == 0 ? QStringList{QStringLiteral("r")} : QStringList{};
            QTest::addRow("%s File menu", language.name) << language.offset << kFileMenu << shared;
            QTest::addRow("%s Help menu", language.name)
                << language.offset << kHelpMenu << QStringList{};
        }
    }

    void accessKeysDoNotCollide() {
        QFETCH(int, offset);
        QFETCH(QList<int>, menu);
        QFETCH(QStringList, shared);
        QMap<QString, int> seen;
        QStringList collisions;
        for (int id : menu) {
            const auto caption = table().find(id + offset);
            QVERIFY2(caption, qPrintable(QString::number(id + offset)));
            const QString key = accessKey(*caption);
            if (key.isNull())
                continue;
            QVERIFY2(!key.isEmpty() && key != QLatin1String(" "), qPrintable(*caption));
            if (seen.contains(key))
                collisions.append(key);
            seen.insert(key, id);
        }
        QCOMPARE(collisions, shared);
    }

    void absentIdIsAFailure() {
        QVERIFY(!table().find(1055));
        QVERIFY_THROWS_EXCEPTION(KvxError, table().text(1055));
        QCOMPARE(table().text(1052), QStringLiteral("KVX"));
    }

    void readsTheTabSeparatedForm_data() {
        QTest::addColumn<QString>("tsv");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("expected"); // "<absent>" for no text

        const QString header = QStringLiteral("id\tEnglish\tDutch\tFrench\tItalian\tGerman\n");
        QTest::newRow("English column") << header + "1001\t&File\t&Bestand\n" << 1001 << "&File";
        QTest::newRow("Dutch column by offset") << header + "1001\t&File\t&Bestand\n"
                                                << 2001 << "&Bestand";
        QTest::newRow("German column by offset") << header + "1028\ta\tb\tc\td\tBerechnung\n"
                                                 << 5028 << "Berechnung";
        QTest::newRow("empty cell is absent") << header + "1034\tx\ty\t\tz\tw\n"
                                              << 3034 << "<absent>";
        QTest::newRow("trailing blank kept") << header + "1040\tA room. \n" << 1040 << "A room. ";
        QTest::newRow("blank last cell kept") << header + "1040\ta\tb\tc\td\tEin Raum. \n"
                                              << 5040 << "Ein Raum. ";
        QTest::newRow("CR LF line end") << header + "1002\tHelp\r\n" << 1002 << "Help";
        QTest::newRow("comment row skipped") << header + "#1002\tHelp\n" << 1002 << "<absent>";
        QTest::newRow("header row is not an id") << header << 0 << "<absent>";
        QTest::newRow("no Spanish column") << header + "1001\ta\tb\tc\td\te\tf\n"
                                           << 6001 << "<absent>";
    }

    void readsTheTabSeparatedForm() {
        QFETCH(QString, tsv);
        QFETCH(int, id);
        QFETCH(QString, expected);
        QCOMPARE(StringTable::fromTsv(tsv).find(id).value_or(QStringLiteral("<absent>")), expected);
    }
};

QTEST_GUILESS_MAIN(TestStringTable)
#include "test_string_table.moc"
