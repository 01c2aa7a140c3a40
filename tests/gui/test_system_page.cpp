// The System page on screen: typing into its fields reaches the project, the
// figures show their states in colour and in words, the button takes the
// advice through the main window's tap lists, and the printed page holds the
// figures.
#include "app/dispatcher.h"
#include "app/system_page.h"
#include "support/system_case.h"

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QTest>

using namespace kvx;

class TestSystemPage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        m_h = std::make_unique<test::Harness>();
        test::calculateSystemCase(*m_h);
        m_dispatcher = std::make_unique<app::Dispatcher>(m_h->platform);
        m_page = std::make_unique<app::SystemPage>(*m_h->w, *m_dispatcher, nullptr,
                                                   test::oneDecibelDown);
        m_page->resize(900, 620);
        m_page->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_page.get()));
    }
    void cleanup() {
        m_page.reset();
        m_dispatcher.reset();
        m_h.reset();
    }

    // What is typed and picked shows in the figures, states in colour and words.
    void typedSettingsShow_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown"); // a piece of the figures' rich text
        const auto row = [](const char* name, const char* field, const char* typed,
                            const char* shown) { QTest::newRow(name) << field << typed << shown; };
        row("a tight amplifier", "txtAmplifier", "120", "color:#b36b00\">90 %: tight");
        row("an overloaded amplifier", "txtAmplifier", "100", "color:#c62828\">108 %: overloaded");
        row("a cable within 0.4 dB", "txtCableLength", "50",
            "color:#1b7f2a\">0.11 dB: within 0.4 dB");
        row("a level met", "txtAmbient", "55", "88.8 dB: met");
        row("a level short", "txtAmbient", "80", "88.8 dB: short by 6.2 dB");
        row("a bad cross-section named", "lstCrossSection", "3",
            "Cross-section: &quot;3&quot; is not one");
    }
    void typedSettingsShow() {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QWidget* widget = m_page->findChild<QWidget*>(field);
        QVERIFY(widget);
        widget->setFocus();
        if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            combo->lineEdit()->selectAll();
            QTest::keyClicks(combo->lineEdit(), typed);
        } else {
            QTest::keyClicks(widget, typed);
        }
        QVERIFY2(m_page->figuresText().contains(shown), qPrintable(m_page->figuresText()));
        QVERIFY(m_h->kvx.Modified);
    }

    // The button picks the taps in the main window; the page follows.
    void takingTheAdvice() {
        auto* ambient = m_page->findChild<QLineEdit*>(QStringLiteral("txtAmbient"));
        auto* take = m_page->findChild<QPushButton*>(QStringLiteral("cmdTakeAdvice"));
        QVERIFY(ambient && take);
        QVERIFY(!take->isEnabled());
        QTest::keyClicks(ambient, QStringLiteral("66,8"));
        QVERIFY(take->isEnabled());
        QVERIFY(m_page->figuresText().contains(QStringLiteral("1/2 P on 70 V")));
        m_h->kvx.Modified = false;
        QTest::mouseClick(take, Qt::LeftButton);
        QCOMPARE(m_h->w->lstLspTap.text() + u'|' + m_h->w->lstAmpTap.text(),
                 QStringLiteral("1/2 P| 70 V"));
        QCOMPARE(m_h->w->lblPower.text(), QStringLiteral("1.47"));
        QVERIFY(m_h->kvx.Modified);
        QVERIFY(m_page->figuresText().contains(QStringLiteral("1.47 W")));
        QVERIFY(m_h->platform.messages.isEmpty());
        if (const QByteArray shot = qgetenv("KVX_SYSTEM_PAGE_SHOT"); !shot.isEmpty())
            m_page->grab().save(QString::fromLocal8Bit(shot));
    }

    // The printed page: the title, the settings and the figures, on one page.
    void printedPage() {
        SystemSettings s;
        s.ambient = 55;
        s.amplifier = 120;
        s.cableLength = 50;
        m_h->w->setSystemSettings(s);
        QImage page(800, 1100, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter painter(&page);
        app::paintSystemPage(painter, QRectF(40, 40, 720, 1020), *m_h->w);
        painter.end();
        if (const QByteArray shot = qgetenv("KVX_SYSTEM_PRINT_SHOT"); !shot.isEmpty())
            page.save(QString::fromLocal8Bit(shot));
        // Something is drawn in the colour of a tight amplifier.
        bool amber = false;
        for (int y = 0; y < page.height() && !amber; ++y)
            for (int x = 0; x < page.width() && !amber; ++x)
                amber = page.pixelColor(x, y) == QColor(0xb3, 0x6b, 0x00);
        QVERIFY(amber);
        const QString pdf = m_h->path(QStringLiteral("system.pdf"));
        QPdfWriter writer(pdf);
        QPainter pdfPainter(&writer);
        app::paintSystemPage(pdfPainter, QRectF(0, 0, writer.width(), writer.height()), *m_h->w);
        QVERIFY(pdfPainter.end());
        QVERIFY(QFileInfo(pdf).size() > 1000);
    }

private:
    std::unique_ptr<test::Harness> m_h;
    std::unique_ptr<app::Dispatcher> m_dispatcher;
    std::unique_ptr<app::SystemPage> m_page;
};

QTEST_MAIN(TestSystemPage)
#include "test_system_page.moc"
