// What a screen reader and a reader with low vision get from every window:
// no focusable control or picture without a name, no menu entry read with
// an ampersand, and, with the high-contrast choice, every text at 4.5:1 or
// more against its ground, measured from the palettes the windows use.
#include "AppOwner.h"
#include "BarChart.h"
#include "ColumnChart.h"
#include "Contrast.h"
#include "Decor.h"
#include "ExamWindow.h"
#include "ExamWindowView.h"
#include "HistoryWindow.h"
#include "ItemsReview.h"
#include "NameDialog.h"
#include "NoteWindow.h"
#include "OptionsDialog.h"
#include "PrintingSimulation.h"
#include "ProgramDir.h"
#include "ScoreReport.h"
#include "ScriptedServices.h"
#include "ShadowLabel.h"
#include "ShapeButton.h"
#include "SimTile.h"
#include "StartWindow.h"
#include "SubnetMaskSimulation.h"
#include "TestSampler.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

using widgets::contrastRatio;

namespace {

QString describe(QAccessibleInterface* i)
{
    QObject* o = i->object();
    QString path;
    for (QObject* p = o; p; p = p->parent())
        path.prepend(QLatin1Char('/') + (p->objectName().isEmpty()
                                             ? QLatin1String(p->metaObject()->className())
                                             : p->objectName()));
    return path + QStringLiteral(" (role %1)").arg(int(i->role()));
}

// The nodes under root that a screen reader cannot name, hidden ones too:
// what is hidden now is shown in another mode.
void unnamedNodes(QAccessibleInterface* node, QStringList& found, int depth = 0)
{
    if (!node || depth > 40)
        return;
    const QAccessible::State s = node->state();
    const QString name = node->text(QAccessible::Name).trimmed();
    const bool picture = node->role() == QAccessible::Graphic;
    if ((s.focusable || picture) && name.isEmpty())
        found << describe(node);
    if (node->role() == QAccessible::MenuItem && name.contains(QLatin1Char('&')) &&
        !name.contains(QStringLiteral("&&")))
        found << describe(node) + QStringLiteral(" read as \"") + name + QLatin1Char('"');
    for (int i = 0; i < node->childCount(); ++i)
        unnamedNodes(node->child(i), found, depth + 1);
}

// The colour a widget's text stands on: the nearest widget up the chain
// that paints its own ground.
QColor groundOf(const QWidget* w)
{
    for (const QWidget* p = w; p; p = p->parentWidget()) {
        if (const auto* strip = qobject_cast<const results::BannerStrip*>(p))
            if (strip->solidColour().isValid())
                return strip->solidColour();
        if (p->autoFillBackground() || p->isWindow())
            return p->palette().color(p->backgroundRole());
    }
    return Qt::white;
}

struct Pair {
    QString where;
    QColor text, ground;
};

QPalette::ColorGroup groupOf(const QWidget* w)
{
    return w->isEnabled() ? QPalette::Active : QPalette::Disabled;
}

// Every text colour on its ground in window, as the window paints it.
QList<Pair> textPairs(QWidget* window)
{
    QList<Pair> pairs;
    const auto add = [&](const QWidget* w, const QColor& text, const QColor& ground) {
        pairs.append(
            {QLatin1String(w->metaObject()->className()) + QLatin1Char(' ') + w->objectName(), text,
             ground});
    };
    QList<QWidget*> all = window->findChildren<QWidget*>();
    for (QWidget* w : all) {
        const QPalette& p = w->palette();
        const QPalette::ColorGroup g = groupOf(w);
        if (auto* s = qobject_cast<widgets::ShadowLabel*>(w)) {
            if (!s->text().isEmpty())
                add(w, s->textColour(), groundOf(w));
        } else if (auto* l = qobject_cast<QLabel*>(w)) {
            if (!l->text().isEmpty())
                add(w, p.color(g, l->foregroundRole()), groundOf(w));
        } else if (auto* b = qobject_cast<widgets::ShapeButton*>(w)) {
            add(b, Qt::white, b->colour());
        } else if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
            add(w, p.color(g, QPalette::WindowText), groundOf(w->parentWidget()));
        } else if (qobject_cast<QPushButton*>(w) || qobject_cast<QToolButton*>(w)) {
            add(w, p.color(g, QPalette::ButtonText), p.color(g, QPalette::Button));
        } else if (qobject_cast<QLineEdit*>(w) || qobject_cast<QTextEdit*>(w) ||
                   qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QAbstractItemView*>(w)) {
            add(w, p.color(g, QPalette::Text), p.color(g, QPalette::Base));
            add(w, p.color(g, QPalette::HighlightedText), p.color(g, QPalette::Highlight));
        } else if (auto* c = qobject_cast<widgets::BarChart*>(w)) {
            const widgets::ChartStyle& st = c->chartStyle();
            const QColor ground = st.background.isValid() ? st.background : groundOf(w);
            add(w, Qt::black, ground);
            add(w, c->titleColour(), st.titleBackground.isValid() ? st.titleBackground : ground);
        } else if (auto* c = qobject_cast<widgets::ColumnChart*>(w)) {
            const widgets::ChartStyle& st = c->chartStyle();
            const QColor ground = st.background.isValid() ? st.background : groundOf(w);
            add(w, Qt::black, ground);
            add(w, c->titleColour(), st.titleBackground.isValid() ? st.titleBackground : ground);
        }
    }
    return pairs;
}

QStringList unreadable(QWidget* window)
{
    QStringList found;
    for (const Pair& p : textPairs(window)) {
        const double r = contrastRatio(p.text, p.ground);
        if (r < widgets::kReadableRatio)
            found << QStringLiteral("%1: %2 on %3, %4:1")
                         .arg(p.where, p.text.name(), p.ground.name())
                         .arg(r, 0, 'f', 2);
    }
    return found;
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
    std::unique_ptr<testing::ProgramDir> m_dir;
    testing::ScriptedServices m_services;
    std::unique_ptr<app::AppOwner> m_owner;

    void makeOwner()
    {
        m_owner = std::make_unique<app::AppOwner>(m_services, m_dir->path());
        m_owner->examWindow()->setSeedSource([] { return 5; });
    }
    QList<QWidget*> windows() const
    {
        app::AppOwner& o = *m_owner;
        return {o.startWindow(),          o.examWindow(),   o.scoreReport(),
                o.nameDialog(),           o.itemsReview(),  o.noteWindow(),
                o.optionsDialog(),        o.testSampler(),  o.printingSimulation(),
                o.subnetMaskSimulation(), o.historyWindow()};
    }
    // Practice exam A begun, item 1 answered, then graded and in review.
    void takeAndReview()
    {
        session::ExamWindow* w = m_owner->examWindow();
        m_services.expectModal(QStringLiteral("nameDialog"), [](QWidget* d) {
            static_cast<session::NameDialog*>(d)->m_nameEdit->setText(QStringLiteral("Ann"));
            return int(QDialog::Accepted);
        });
        testing::view(*w).m_practiceExamActions[0]->trigger();
        QCOMPARE(w->mode(), session::ExamWindow::ModeExam);
        m_services.expectMessage(
            QStringLiteral("This will end your practice exam.\rAre you sure to end this exam?"),
            platform::Ok);
        m_services.expectModal(QStringLiteral("scoreReport"), [](QWidget* r) {
            static_cast<results::ScoreReport*>(r)->viewAnswers();
            return int(QDialog::Accepted);
        });
        testing::view(*w).m_gradeButton->click();
        QCOMPARE(w->mode(), session::ExamWindow::ModeReview);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<testing::ProgramDir>();
        QDir::setCurrent(QDir::tempPath());
        m_services.reset();
        m_services.store.values.clear();
    }
    void cleanup()
    {
        QVERIFY2(m_services.done(), qPrintable(m_services.problems().join(QLatin1Char('\n'))));
        m_owner.reset();
        m_dir.reset();
    }

    void everyFocusableOrPictureNodeIsNamed()
    {
        makeOwner();
        takeAndReview();
        m_owner->historyWindow()->reload();
        QStringList found;
        for (QWidget* w : windows()) {
            unnamedNodes(QAccessible::queryAccessibleInterface(w), found);
            // Menus are windows of their own.
            for (QMenu* m : w->findChildren<QMenu*>())
                unnamedNodes(QAccessible::queryAccessibleInterface(m), found);
        }
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
    }

    void tilesActAsButtons()
    {
        makeOwner();
        session::PrintingSimulation* sim = m_owner->printingSimulation();
        sim->resetTiles();
        QAccessibleInterface* tile = QAccessible::queryAccessibleInterface(sim->m_tiles[0]);
        QCOMPARE(tile->role(), QAccessible::Button);
        QCOMPARE(tile->text(QAccessible::Name),
                 QStringLiteral("Service tile 1: TCP/IP Printing Service"));
        QVERIFY(tile->actionInterface());
        QVERIFY(tile->actionInterface()->actionNames().contains(
            QAccessibleActionInterface::pressAction()));
    }

    void highContrastTextReadsEverywhere()
    {
        m_services.store.write(QStringLiteral("Options"), QStringLiteral("HighContrast"),
                               QStringLiteral("1"));
        makeOwner();
        QVERIFY(m_owner->examWindow()->highContrast());
        // Idle, then an item in review (verdict, key, explanation shown).
        QStringList found = unreadable(m_owner->examWindow());
        takeAndReview();
        m_owner->historyWindow()->reload();
        for (QWidget* w : {static_cast<QWidget*>(m_owner->examWindow()),
                           static_cast<QWidget*>(m_owner->scoreReport()),
                           static_cast<QWidget*>(m_owner->historyWindow()),
                           static_cast<QWidget*>(m_owner->testSampler())})
            found << unreadable(w);
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
    }

    void withoutTheChoiceTheDesignsRedVerdictIsMeasured()
    {
        // The measure finds what it is there to find: the design's own red
        // "Incorrect" on the pale blue band (and the desktop's grey on grey
        // of a disabled button).
        makeOwner();
        takeAndReview();
        const QStringList found = unreadable(m_owner->examWindow());
        QVERIFY2(found.filter(QStringLiteral("verdictLabel: #ff0000 on #b0c4de")).size() == 1,
                 qPrintable(found.join(QLatin1Char('\n'))));
    }

    void highContrastFollowsADesktopThatHasIt()
    {
        // A desktop palette of white on black is used as it is.
        const QPalette before = QApplication::palette();
        QPalette dark;
        for (auto [fore, back] : {std::pair{QPalette::WindowText, QPalette::Window},
                                  {QPalette::Text, QPalette::Base},
                                  {QPalette::ButtonText, QPalette::Button},
                                  {QPalette::HighlightedText, QPalette::Highlight}}) {
            dark.setColor(fore, Qt::white);
            dark.setColor(back, Qt::black);
        }
        dark.setColor(QPalette::Highlight, QColor(255, 255, 0));
        dark.setColor(QPalette::HighlightedText, Qt::black);
        QApplication::setPalette(dark);
        m_services.store.write(QStringLiteral("Options"), QStringLiteral("HighContrast"),
                               QStringLiteral("1"));
        makeOwner();
        QVERIFY(m_owner->examWindow()->colourScheme()->fromDesktop);
        takeAndReview();
        QStringList found;
        for (QWidget* w : {static_cast<QWidget*>(m_owner->examWindow()),
                           static_cast<QWidget*>(m_owner->scoreReport()),
                           static_cast<QWidget*>(m_owner->testSampler())})
            found << unreadable(w);
        m_owner.reset();
        QApplication::setPalette(before);
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
    }

    void switchingBackGivesTheDesignColours()
    {
        makeOwner();
        session::ExamWindow* w = m_owner->examWindow();
        const auto title = [&] {
            return testing::view(*w).m_examTitleLabel->palette().color(QPalette::WindowText);
        };
        const QColor design = title();
        options::OptionValues v = w->optionValues();
        v.highContrast = true;
        w->applyOptionValues(v);
        QVERIFY(title() != design);
        v.highContrast = false;
        w->applyOptionValues(v);
        QCOMPARE(title(), design);
        QVERIFY(
            !m_owner->scoreReport()->findChild<results::BannerStrip*>()->solidColour().isValid());
    }

    // Texts whose colour the design leaves open read at 4.5:1 in the design's
    // colours too; the red "Incorrect" is the design's own and stays.
    void designColours_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("ground");
        QTest::newRow("exam title") << "examWindow"
                                    << "examTitleLabel"
                                    << "headerPanel";
        QTest::newRow("note item line") << "noteWindow"
                                        << "itemLine"
                                        << "titleStrip";
        QTest::newRow("note banner") << "noteWindow"
                                     << "bannerLabel"
                                     << "titleStrip";
        QTest::newRow("sampler header") << "testSampler"
                                        << "headerLabel"
                                        << "headerPanel";
    }
    void designColours()
    {
        QFETCH(QString, window);
        QFETCH(QString, text);
        QFETCH(QString, ground);
        makeOwner();
        QWidget* win = nullptr;
        for (QWidget* w : windows())
            if (w->objectName() == window)
                win = w;
        QVERIFY(win);
        auto* t = win->findChild<QWidget*>(text);
        auto* g = win->findChild<QWidget*>(ground);
        QVERIFY(t && g);
        const auto* shadow = qobject_cast<widgets::ShadowLabel*>(t);
        const QColor fore =
            shadow ? shadow->textColour() : t->palette().color(QPalette::WindowText);
        QVERIFY2(contrastRatio(fore, g->palette().color(QPalette::Window)) >= 4.5,
                 qPrintable(fore.name() + QStringLiteral(" on ") +
                            g->palette().color(QPalette::Window).name()));
    }
};

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
