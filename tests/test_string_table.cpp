// The built-in string table: which texts each language block holds, the
// texts that other parts of the program and old project files depend on
// letter for letter, and the menus' access keys.
#include "core/base/kvx_error.h"
#include "core/base/string_table.h"
#include "support/files.h"

#include <QMap>
#include <QStringEncoder>
#include <QTest>

using namespace kvx;
using namespace kvx::test;

namespace {

const StringTable& table() {
    return StringTable::builtIn();
}

// The English ids that hold a text: ninety, the export command, the desktop's
// texts (menus with access keys, recent projects, language, the information
// windows in every language), the plan, the plan window, system sizing, the
// settings that cannot be kept, the references of levels and kvx-cli's
// messages, what is wrong with a catalogue's CSV, the layout's patterns and fits, the units, the
// speech estimate, buildings and their figures.
QList<int> englishIds() {
    const int ranges[] = {1000, 1054, 1056, 1069, 1080, 1084, 1090, 1090, 1100, 1100, 1102, 1108,
                          1110, 1110, 1120, 1125, 1130, 1147, 1200, 1207, 1250, 1253, 1255, 1268,
                          1271, 1289, 1291, 1296, 1400, 1455, 1500, 1501, 1510, 1516, 1530, 1568,
                          1570, 1587, 1620, 1632, 1670, 1704, 1730, 1773, 1780, 1791, 1810, 1899};
    QList<int> ids;
    for (size_t i = 0; i < std::size(ranges); i += 2)
        for (int id = ranges[i]; id <= ranges[i + 1]; ++id)
            ids.append(id);
    return ids;
}

} // namespace

class TestStringTable : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Each block holds the English ids less its known gaps; there is no Spanish block.
    void blocks() {
        const QMap<int, QList<int>> gaps = {
            {0, {}},        {1000, {}},     {2000, {1034, 1108, 1110}},
            {3000, {1108}}, {4000, {1108}}, {5000, englishIds()}};
        for (const auto& [offset, absent] : gaps.asKeyValueRange()) {
            QList<int> expected, present;
            for (int id : englishIds())
                if (!absent.contains(id))
                    expected << id + offset;
            for (int id = 1000 + offset; id < 2000 + offset; ++id)
                if (table().contains(id))
                    present << id;
            QCOMPARE(present, expected);
            QVERIFY(!table().contains(1130 + offset) ||
                    table().text(1130 + offset).contains("PDF"));
        }
        QVERIFY_THROWS_EXCEPTION(KvxError, table().text(1055)); // absent, not empty
    }

    // The texts listed in tests/data/strings/telling_texts.txt, letter for letter.
    void tellingTexts() {
        QStringList wrong;
        const QStringList lines = QString(testData("strings/telling_texts.txt")).split('\n');
        QVERIFY(lines.size() > 60);
        for (const QString& line : lines) {
            const int id = line.section(' ', 0, 0).toInt();
            const QString text = table().find(id).value_or("<absent>");
            if (id && text != line.section(' ', 1).chopped(1).mid(1))
                wrong << QStringLiteral("%1 \"%2\"").arg(id).arg(text);
        }
        QCOMPARE(wrong, QStringList());
    }

    // Every text fits Windows-1252, the code page of project files and reports.
    void everyTextFitsTheCodePage() {
        QStringList faults;
        for (int id = 1000; id < 6000; ++id) {
            const QString text = table().find(id).value_or(QString());
            QStringEncoder encoder("windows-1252");
            encoder.encode(text);
            if (encoder.hasError() || text.contains(u'\t') || text.contains(u'\r'))
                faults << QStringLiteral("%1 \"%2\"").arg(id).arg(text);
        }
        QCOMPARE(faults, QStringList());
    }

    void accessKeysDoNotCollide() {
        QStringList faults;
        for (int i = 0; i < 5; ++i) {
            for (const QList<int>& menu :
                 {QList<int>{1062, 1063, 1064, 1065, 1066, 1067, 1068, 1069, 1130, 1250},
                  QList<int>{1090, 1039},
                  // The plan window: its tabs, buttons and fields; its Export menu.
                  QList<int>{1252, 1253, 1255, 1256, 1260, 1263, 1293},
                  QList<int>{1278, 1279, 1280, 1281, 1282}}) {
                QStringList keys;
                for (int id : menu) {
                    // A doubled ampersand is a plain one.
                    const QString caption = table().text(id + 1000 * i).remove("&&");
                    const qsizetype at = caption.indexOf('&');
                    const QString key = at < 0 ? QString() : caption.mid(at + 1, 1).toLower();
                    if (!key.isNull() && (keys.contains(key) || key.trimmed().isEmpty()))
                        faults << QStringLiteral("%1: '%2'").arg(id + 1000 * i).arg(key);
                    keys << key;
                }
            }
        }
        // The English Print report and Print to file have always shared R.
        QCOMPARE(faults, QStringList{"1068: 'r'"});
    }
};

QTEST_GUILESS_MAIN(TestStringTable)
#include "test_string_table.moc"
