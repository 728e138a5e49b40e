// A word wider than its line in the item display: the question, a choice
// and the explanation break it inside, show every character and grow to
// the lines it takes, where a label alone would cut it off at its edge.
#include "ExamWindowFixture.h"
#include "Schemas.h"
#include "Session.h"
#include "Table.h"

#include <QLabel>
#include <QPaintEngine>
#include <QPushButton>
#include <QTextItem>

namespace {

struct DrawnText {
    QPointF at;
    QString text;
    double width;
};

// Records the texts a widget paints, where and how wide.
class TextRecorder final : public QPaintEngine {
public:
    TextRecorder() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState& state) override
    {
        if (state.state() & QPaintEngine::DirtyTransform)
            m_transform = state.transform();
    }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawTextItem(const QPointF& p, const QTextItem& item) override
    {
        texts.push_back({m_transform.map(p), item.text(), item.width()});
    }
    Type type() const override { return QPaintEngine::User; }
    std::vector<DrawnText> texts;

private:
    QTransform m_transform;
};

class RecordingDevice final : public QPaintDevice {
public:
    explicit RecordingDevice(QSize size) : m_size(size) {}
    QPaintEngine* paintEngine() const override { return &engine; }
    mutable TextRecorder engine;

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth:
            return m_size.width();
        case PdmHeight:
            return m_size.height();
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return INT_MAX;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return QPaintDevice::metric(m);
        }
    }

private:
    QSize m_size;
};

const QString kToken = QStringLiteral("\\\\fileserver\\") + QString(300, QLatin1Char('w'));

} // namespace

class TestLongText : public QObject {
    Q_OBJECT
    ExamWindowFixture h;

private slots:
    void init()
    {
        h.windowSize = QSize(1024, 700);
        h.setUp();
    }
    void cleanup()
    {
        QVERIFY2(h.done(), qPrintable(h.problems()));
        h.tearDown();
    }

    void overlongWordIsBrokenOnScreen_data()
    {
        QTest::addColumn<QString>("label");
        QTest::newRow("question") << "questionText";
        QTest::newRow("choice") << "choiceLabels1";
        QTest::newRow("explanation") << "explanationText";
    }
    void overlongWordIsBrokenOnScreen()
    {
        QFETCH(QString, label);
        const QString text = QStringLiteral("Map ") + kToken + QStringLiteral(" at logon.");
        {
            store::Session s(QStringLiteral("Quizlark"));
            s.registerPassword(QString::fromLatin1(store::kTablePassword));
            store::Table t(s, QString::fromLatin1(store::kUserSetFile), store::userSetSchema());
            t.open();
            t.append();
            t.setValue(QStringLiteral("Q_SECT"), 1);
            t.setValue(QStringLiteral("Q_TEXT"), text);
            t.setValue(QStringLiteral("Q1"), text);
            t.setValue(QStringLiteral("Q2"), QStringLiteral("no"));
            t.setValue(QStringLiteral("A1"), true);
            t.setValue(QStringLiteral("Q_EXPL"), text);
            t.post();
        }
        h.services.store.write(QStringLiteral("Options"), QStringLiteral("ShowLearnBtn"),
                               QStringLiteral("1"));
        h.create();
        h.services.expectModal(QStringLiteral("nameDialog"),
                               [](QWidget*) { return int(QDialog::Accepted); });
        h.trigger("userExamAction");
        QCOMPARE(h.form->mode(), session::ExamWindow::ModeExam);
        if (label == QLatin1String("explanationText"))
            h.control<QPushButton>("learnButton")->click();

        auto* shown = h.control<QLabel>(label.toLatin1().constData());
        QVERIFY(shown && shown->isVisibleTo(h.form.get()));
        QCOMPARE(shown->text(), text);
        const int lineSpacing = shown->fontMetrics().lineSpacing();
        QVERIFY2(shown->fontMetrics().horizontalAdvance(kToken) > shown->width(),
                 "the word must be wider than the label");
        // Tall enough for every line the word takes.
        QVERIFY(shown->height() >=
                lineSpacing * (shown->fontMetrics().horizontalAdvance(text) / shown->width()));

        RecordingDevice device(shown->size());
        shown->render(&device);
        QString drawn;
        for (const DrawnText& t : device.engine.texts) {
            QVERIFY2(t.at.x() >= 0 && t.at.x() + t.width <= shown->width() + 0.5,
                     qPrintable(t.text.left(30)));
            QVERIFY2(t.at.y() <= shown->height(), qPrintable(t.text.left(30)));
            drawn += t.text;
        }
        QCOMPARE(drawn.remove(QLatin1Char(' ')), QString(text).remove(QLatin1Char(' ')));
    }
};

QTEST_MAIN(TestLongText)
#include "test_long_text.moc"
