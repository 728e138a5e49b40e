// Every item of the shipped question bank, shown at the exam window's
// restored size: the shown content fits the width that is visible, and the
// item area scrolls only when what is shown is taller than the area.
#include "BankCompiler.h"
#include "ExamWindowFixture.h"
#include "ExamWindowView.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>

using session::ExamWindow;

namespace {

// The source that is to replace the shipped one can be checked before it
// does: QUIZLARK_BANK_DIR names its folder, as for the shipped-bank test.
QString bankDir()
{
    const QString other = qEnvironmentVariable("QUIZLARK_BANK_DIR");
    return other.isEmpty() ? QStringLiteral(QUIZLARK_DATA_DIR "/bank") : other;
}

// The items of the source as the exam shows them, read without the
// compiler's checks: whether the source is sound is the shipped-bank test's
// question, and a source in the middle of a change is still laid out.
QVector<bank::SourceItem> readLeniently(const QString& dir)
{
    QVector<bank::SourceItem> items;
    const QDir folder(dir);
    for (const QString& name : folder.entryList({QStringLiteral("*.json")}, QDir::Files)) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
        for (const QJsonValue& v : root.value(QStringLiteral("items")).toArray()) {
            const QJsonObject o = v.toObject();
            bank::SourceItem it;
            it.file = name;
            it.id = o.value(QStringLiteral("id")).toInt();
            it.exam = root.value(QStringLiteral("exam")).toInt();
            it.section = o.value(QStringLiteral("section")).toInt();
            it.multiple = o.value(QStringLiteral("multiple")).toBool();
            it.text = o.value(QStringLiteral("text")).toString();
            it.explanation = o.value(QStringLiteral("explanation")).toString();
            it.sim = o.value(QStringLiteral("sim")).toString();
            it.pict1 = o.value(QStringLiteral("pict1")).toString();
            it.pict2 = o.value(QStringLiteral("pict2")).toString();
            const QJsonArray choices = o.value(QStringLiteral("choices")).toArray();
            for (int i = 0; i < choices.size() && i < 6; ++i)
                it.choices[size_t(i)] = choices.at(i).toString();
            for (QChar c : o.value(QStringLiteral("key")).toString())
                if (c >= u'a' && c <= u'f')
                    it.key[size_t(c.unicode() - u'a')] = true;
            items << it;
        }
    }
    return items;
}

} // namespace

class TestItemFit : public QObject {
    Q_OBJECT
    ExamWindowFixture f;
    int m_bankItems = 0; // in the practice exams

    // Checks the item on screen; returns a description of what is wrong.
    QString misfit()
    {
        ExamWindow& w = *f.form;
        // The scroll area shows or hides its bar through posted events,
        // handled before anything is painted.
        QCoreApplication::sendPostedEvents();
        const QWidget* viewport = testing::view(w).m_itemArea->viewport();
        const QScrollBar* bar = testing::view(w).m_itemArea->verticalScrollBar();
        const int id = int(w.currentSet().asInteger(QStringLiteral("Q_OR_NUMBER")));
        int shownBottom = 0;
        const auto children = testing::view(w).m_itemContent->findChildren<QWidget*>(
            QString(), Qt::FindDirectChildrenOnly);
        for (const QWidget* c : children) {
            if (!c->isVisibleTo(testing::view(w).m_itemContent))
                continue;
            shownBottom = qMax(shownBottom, c->geometry().bottom() + 1);
            if (c->geometry().right() + 1 > viewport->width())
                return QStringLiteral("item %1: %2 reaches x=%3 past the visible width %4")
                    .arg(id)
                    .arg(c->objectName())
                    .arg(c->geometry().right() + 1)
                    .arg(viewport->width());
        }
        // Every wrapped text is as tall as it needs at the width it was given.
        for (const QLabel* l : testing::view(w).m_itemContent->findChildren<QLabel*>()) {
            if (!l->isVisibleTo(testing::view(w).m_itemContent) || !l->wordWrap() ||
                l->text().isEmpty())
                continue;
            if (l->heightForWidth(l->width()) > l->height())
                return QStringLiteral("item %1: %2 is cut off").arg(id).arg(l->objectName());
        }
        const bool needed =
            shownBottom > testing::view(w).m_itemArea->maximumViewportSize().height();
        if (bar->isVisible() && !needed)
            return QStringLiteral("item %1: a scroll bar although the shown content (%2 px) fits "
                                  "in %3 px")
                .arg(id)
                .arg(shownBottom)
                .arg(testing::view(w).m_itemArea->maximumViewportSize().height());
        if (!bar->isVisible() && shownBottom > viewport->height())
            return QStringLiteral("item %1: no scroll bar although the content is %2 px in %3")
                .arg(id)
                .arg(shownBottom)
                .arg(viewport->height());
        return {};
    }

private slots:
    void init()
    {
        f.dir = std::make_unique<testing::ProgramDir>();
        QStringList errors;
        QVector<bank::SourceItem> items =
            bank::readSource(bankDir(), QStringLiteral(QUIZLARK_DATA_DIR "/pictures"), &errors);
        if (!errors.isEmpty()) {
            qWarning("%lld problem(s) in the bank source; its items are laid out all the same",
                     static_cast<long long>(errors.size()));
            items = readLeniently(bankDir());
        }
        QVERIFY(items.size() >= 50);
        // Every item of the seven practice exams; the retired ones are in none.
        m_bankItems = int(std::count_if(items.begin(), items.end(),
                                        [](const bank::SourceItem& it) { return it.exam > 0; }));
        bank::writeBank(items, QStringLiteral("tcpip.DAT"));
        f.create();
        // The restored size, not the maximised window the tests use elsewhere.
        f.form->setWindowState(Qt::WindowNoState);
        f.form->resize(732, 505);
    }
    void cleanup()
    {
        QVERIFY2(f.services.done(), qPrintable(f.services.problems().join(QLatin1Char('\n'))));
        f.tearDown();
    }

    void everyItemFitsTheVisibleWidth_data()
    {
        QTest::addColumn<bool>("review");
        QTest::newRow("exam mode, explanation hidden") << false;
        QTest::newRow("review mode, explanation shown") << true;
    }
    void everyItemFitsTheVisibleWidth()
    {
        QFETCH(bool, review);
        ExamWindow& w = *f.form;
        f.answerNameDialog(true);
        testing::view(w).m_allQuestionsAction->trigger();
        QCOMPARE(w.mode(), ExamWindow::ModeExam);
        QVERIFY(testing::view(w).m_itemArea->height() < 505);
        QCOMPARE(w.examSession().itemCount(), m_bankItems);
        if (review) {
            w.examSession().grade();
            w.viewAnswers();
        }
        QStringList problems;
        store::Table& t = w.currentSet();
        for (int k = 1; k <= w.examSession().itemCount(); ++k) {
            t.setRecNo(k);
            const QString problem = misfit();
            if (!problem.isEmpty())
                problems << problem;
        }
        for (const QString& p : problems)
            qWarning().noquote() << p;
        QVERIFY2(problems.isEmpty(),
                 qPrintable(QStringLiteral("%1 of %2 items do not fit, listed above")
                                .arg(problems.size())
                                .arg(w.examSession().itemCount())));
    }

    void learnNowAndANewFontFitAtOnce()
    {
        ExamWindow& w = *f.form;
        f.answerNameDialog(true);
        testing::view(w).m_allQuestionsAction->trigger();
        store::Table& t = w.currentSet();
        // The first item with a short question and no scroll bar.
        int k = 1;
        for (; k <= w.examSession().itemCount(); ++k) {
            t.setRecNo(k);
            if (!testing::view(w).m_itemArea->verticalScrollBar()->isVisible())
                break;
        }
        QVERIFY(k <= w.examSession().itemCount());
        QCOMPARE(misfit(), QString());
        // The explanation revealed by Learn Now counts at once.
        testing::view(w).m_learnButton->click();
        QCOMPARE(misfit(), QString());
        // A much larger question font: the question is laid out again at
        // once, not clipped until the next item.
        QFont big(QStringLiteral("Liberation Serif"));
        big.setPointSize(28);
        f.setOptions([&](options::OptionValues& v) { v.questionFont.font = big; });
        QCOMPARE(misfit(), QString());
        QCOMPARE(testing::view(w).m_questionPanel->height(),
                 testing::view(w).m_questionText->height() + 16);
        QVERIFY(testing::view(w).m_choiceLabels[0]->y() >=
                testing::view(w).m_questionPanel->height() + 2 + 25 + 15);
    }
};

QTEST_MAIN(TestItemFit)
#include "test_item_fit.moc"
