// The options dialog: it starts from the exam window's values, changes fonts
// at once, and on OK applies and saves everything; without OK it saves
// nothing.
#include "../session/ExamWindowFixture.h"
#include "ExamWindowView.h"
#include "OptionsDialog.h"
#include "TimeCounter.h"

#include <QCheckBox>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <stdexcept>

using options::OptionsDialog;
using session::ExamWindow;

namespace {

const QString kSection = QStringLiteral("Options");

// Remembers the order of the writes.
class RecordingStore final : public platform::KeyValueStore {
public:
    bool contains(const QString&, const QString& key) const override
    {
        return values.contains(key);
    }
    QString read(const QString&, const QString& key) const override { return values.value(key); }
    void write(const QString& section, const QString& key, const QString& value) override
    {
        if (section != kSection)
            throw std::runtime_error("wrong section");
        if (key == failAt)
            throw std::runtime_error("The settings cannot be written.");
        keys << key;
        values.insert(key, value);
    }
    QStringList keys;
    QMap<QString, QString> values;
    QString failAt;
};

// Scripted services whose settings store is a recording one.
class RecordingServices final : public platform::Services {
public:
    explicit RecordingServices(testing::ScriptedServices& inner) : m_inner(inner) {}
    platform::MsgButton message(QWidget* p, platform::MsgKind k, const QString& t, int b) override
    {
        return m_inner.message(p, k, t, b);
    }
    int runModal(QWidget* w) override { return m_inner.runModal(w); }
    double now() override { return m_inner.now(); }
    double monotonicNow() override { return m_inner.monotonicNow(); }
    std::unique_ptr<platform::Ticker> createTicker() override { return m_inner.createTicker(); }
    platform::KeyValueStore& settings() override { return store; }
    std::optional<QFont> chooseFont(QWidget* p, const QFont& f) override
    {
        return m_inner.chooseFont(p, f);
    }
    std::optional<QColor> chooseColour(QWidget* p, const QColor& c) override
    {
        return m_inner.chooseColour(p, c);
    }
    QString chooseOpenFile(QWidget* p, const QString& c, const QString& d,
                           const QString& f) override
    {
        return m_inner.chooseOpenFile(p, c, d, f);
    }
    int startProgram(const QString& path) override { return m_inner.startProgram(path); }
    bool printDialog(QWidget* p, QPrinter* printer) override
    {
        return m_inner.printDialog(p, printer);
    }
    RecordingStore store;

private:
    testing::ScriptedServices& m_inner;
};

QFont makeFont(const QString& family, int points, bool bold, bool italic)
{
    QFont font(family);
    font.setPointSize(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

const QStringList kAllKeys = {
    "QFontName",    "QFontColor",  "QFontSize",   "DefaultTime",   "QFontBold",    "QFontItalic",
    "AFontName",    "AFontColor",  "AFontSize",   "AFontBold",     "AFontItalic",  "EXPFontName",
    "EXPFontColor", "EXPFontSize", "EXPFontBold", "EXPFontItalic", "ShowLearnBtn", "TimerOn",
    "ShowCalcBtn",  "CalcPath",    "HighContrast"};

} // namespace

class TestOptionsDialog : public QObject {
    Q_OBJECT
    ExamWindowFixture f;
    std::unique_ptr<OptionsDialog> dialog;

    void makeDialog()
    {
        dialog = std::make_unique<OptionsDialog>(f.services);
        f.form->setOptionsDialog(dialog.get());
    }
    // Opens the dialog from the menu; act plays the user and returns the
    // dialog's result.
    void runOptions(const std::function<int(OptionsDialog&)>& act)
    {
        f.services.expectModal(QStringLiteral("optionsDialog"), [act](QWidget* w) {
            auto* d = qobject_cast<OptionsDialog*>(w);
            return d ? act(*d) : 0;
        });
        testing::view(*f.form).m_optionsAction->trigger();
    }
    static int pressOk(OptionsDialog& d)
    {
        d.m_okButton->click();
        return d.result();
    }
    static int closeWithoutOk(OptionsDialog& d)
    {
        d.reject();
        return d.result();
    }
    void startExam(int minutes)
    {
        f.answerNameDialog(true, minutes, 0, QStringLiteral("Pat Candidate"));
        testing::view(*f.form).m_practiceExamActions[0]->trigger();
        QCOMPARE(f.form->mode(), ExamWindow::ModeExam);
    }
    void tick(int seconds)
    {
        f.services.clock += seconds / 86400.0;
        f.services.lastTicker->fire();
    }
    QMap<QString, QString> storedOptions() const
    {
        QMap<QString, QString> all;
        for (auto it = f.services.store.values.begin(); it != f.services.store.values.end(); ++it)
            if (it.key().startsWith(kSection + QLatin1Char('/')))
                all.insert(it.key().mid(kSection.size() + 1), it.value());
        return all;
    }

private slots:
    void init()
    {
        // The services outlive each test; the settings must not.
        f.services.store.values.clear();
        f.setUp();
        makeDialog();
    }
    void cleanup()
    {
        QVERIFY2(f.services.done(), qPrintable(f.services.problems().join(QLatin1Char('\n'))));
        dialog.reset();
        f.tearDown();
    }

    void openingShowsTheWindowsValues_data()
    {
        QTest::addColumn<bool>("learn");
        QTest::addColumn<bool>("calc");
        QTest::addColumn<bool>("timer");
        QTest::addColumn<int>("time");
        QTest::addColumn<int>("shown");
        QTest::newRow("all yes") << true << true << true << 45 << 45;
        QTest::newRow("all no") << false << false << false << 600 << 600;
        QTest::newRow("mixed, lower bound") << true << false << true << 1 << 1;
        QTest::newRow("time 0 shows 1") << false << true << false << 0 << 1;
        QTest::newRow("negative time shows 1") << true << true << false << -20 << 1;
        QTest::newRow("time 601 shows 601") << false << false << true << 601 << 601;
        QTest::newRow("time 9001 shows 9000") << false << false << true << 9001 << 9000;
    }
    void openingShowsTheWindowsValues()
    {
        QFETCH(bool, learn);
        QFETCH(bool, calc);
        QFETCH(bool, timer);
        QFETCH(int, time);
        QFETCH(int, shown);
        ExamWindow& w = *f.form;
        // Values as a former options dialog left them; the calculator there is
        // reported missing, as it would be then.
        f.services.expectMessage(QStringLiteral("The file: /opt/tools/calc cannot be found."),
                                 platform::Ok);
        f.setOptions([&](options::OptionValues& v) {
            v.showLearnButton = learn;
            v.showCalcButton = calc;
            v.timerOn = timer;
            v.defaultTime = time;
            v.calcPath = QStringLiteral("/opt/tools/calc");
            v.questionFont.font = makeFont(QStringLiteral("DejaVu Sans"), 13, true, false);
            v.questionFont.colour = QColor(200, 10, 20);
        });
        // A former run left another tab and another font entry selected.
        dialog->m_pages->setCurrentIndex(2);
        dialog->m_fontList->setCurrentRow(2);

        runOptions([&](OptionsDialog& d) {
            [&] {
                QCOMPARE(d.windowTitle(), QStringLiteral("Options"));
                QCOMPARE(d.m_pages->currentIndex(), 0);
                QCOMPARE(d.m_learnButtonGroup->itemIndex(), learn ? 0 : 1);
                QCOMPARE(d.m_calcButtonGroup->itemIndex(), calc ? 0 : 1);
                QCOMPARE(d.m_timerGroup->itemIndex(), timer ? 0 : 1);
                QCOMPARE(d.learnFlag(), learn);
                QCOMPARE(d.calcFlag(), calc);
                QCOMPARE(d.timerFlag(), timer);
                QCOMPARE(d.m_defaultTimeBox->value(), shown);
                QCOMPARE(d.m_calcPathEdit->text(), QStringLiteral("/opt/tools/calc"));
                QCOMPARE(d.m_fontList->currentRow(), 0);
                QCOMPARE(d.m_fontExample->text(), QStringLiteral("Question"));
                QCOMPARE(d.m_fontExample->font().family(), QStringLiteral("DejaVu Sans"));
                QCOMPARE(d.m_fontExample->font().pointSize(), 13);
                QVERIFY(d.m_fontExample->font().bold());
                QCOMPARE(d.m_fontExample->palette().color(QPalette::WindowText),
                         QColor(200, 10, 20));
            }();
            return closeWithoutOk(d);
        });
        QVERIFY(!QTest::currentTestFailed());
        QVERIFY(storedOptions().isEmpty());
        QCOMPARE(w.optionValues().defaultTime, time);
    }

    void radioGroupsDriveTheDialogsFlags()
    {
        runOptions([](OptionsDialog& d) {
            [&] {
                QCOMPARE(d.m_learnButtonGroup->item(0)->text(),
                         QStringLiteral("Show 'Learn Now' button (not recomended)"));
                QCOMPARE(d.m_learnButtonGroup->item(1)->text(),
                         QStringLiteral("Do not show 'Learn Now' button"));
                QCOMPARE(d.m_calcButtonGroup->item(0)->text(),
                         QStringLiteral("Show calculator button"));
                QCOMPARE(d.m_timerGroup->item(1)->text(), QStringLiteral("Timer Off"));
                QCOMPARE(d.m_defaultTimeLabel->text(), QStringLiteral("Deafault Time (min):"));
                QCOMPARE(d.m_calcPathLabel->text(), QStringLiteral("Calculator path:"));
                QCOMPARE(d.m_pages->tabText(0), QStringLiteral("'Learn Now' button"));
                QCOMPARE(d.m_defaultTimeBox->minimum(), 1);
                QCOMPARE(d.m_defaultTimeBox->maximum(), 9000);
                auto flagOf = [&d](options::RadioGroup* g) {
                    return g == d.m_learnButtonGroup  ? d.learnFlag()
                           : g == d.m_calcButtonGroup ? d.calcFlag()
                                                      : d.timerFlag();
                };
                for (options::RadioGroup* g :
                     {d.m_learnButtonGroup, d.m_calcButtonGroup, d.m_timerGroup}) {
                    const bool before = flagOf(g);
                    g->item(before ? 1 : 0)->click();
                    QVERIFY2(flagOf(g) == !before, qPrintable(g->objectName()));
                    // A selection set from code counts as a click.
                    g->setItemIndex(before ? 0 : 1);
                    QVERIFY2(flagOf(g) == before, qPrintable(g->objectName()));
                }
            }();
            return closeWithoutOk(d);
        });
    }

    void okAppliesAndWritesEveryValue()
    {
        ExamWindow& w = *f.form;
        f.setOptions([&](options::OptionValues& v) {
            v.questionFont.font = makeFont(QStringLiteral("Liberation Serif"), 12, true, false);
            v.answersFont.font = makeFont(QStringLiteral("DejaVu Sans"), 9, false, true);
            v.answersFont.colour = QColor(1, 2, 3);
            v.explanationFont.font = makeFont(QStringLiteral("Liberation Sans"), 11, true, true);
            v.explanationFont.colour = QColor(0, 0, 128);
            v.showCalcButton = true;
        });
        f.services.expectMessage(QStringLiteral("The file: /nowhere/Calc cannot be found."),
                                 platform::Ok);
        runOptions([](OptionsDialog& d) {
            d.m_learnButtonGroup->item(0)->click();
            d.m_calcButtonGroup->item(1)->click();
            d.m_timerGroup->item(1)->click();
            d.m_defaultTimeBox->setValue(450);
            d.m_calcPathEdit->setText(QStringLiteral("/nowhere/Calc"));
            d.findChild<QCheckBox*>(QStringLiteral("highContrastBox"))->setChecked(true);
            return pressOk(d);
        });
        QCOMPARE(f.services.shownMessages.size(), 1);

        const QMap<QString, QString> expected = {
            {"QFontName", "Liberation Serif"},
            {"QFontColor", "0"},
            {"QFontSize", "12"},
            {"DefaultTime", "450"},
            {"QFontBold", "1"},
            {"QFontItalic", "0"},
            {"AFontName", "DejaVu Sans"},
            {"AFontColor", QString::number(1 + 2 * 256 + 3 * 65536)},
            {"AFontSize", "9"},
            {"AFontBold", "0"},
            {"AFontItalic", "1"},
            {"EXPFontName", "Liberation Sans"},
            {"EXPFontColor", "8388608"},
            {"EXPFontSize", "11"},
            {"EXPFontBold", "1"},
            {"EXPFontItalic", "1"},
            {"ShowLearnBtn", "1"},
            {"TimerOn", "0"},
            {"ShowCalcBtn", "0"},
            {"CalcPath", "/nowhere/Calc"},
            {"HighContrast", "1"},
        };
        QCOMPARE(storedOptions(), expected);
        // The window holds the new values too; a time above 600 is kept.
        QVERIFY(w.optionValues().showLearnButton && !w.optionValues().timerOn &&
                !w.optionValues().showCalcButton);
        QCOMPARE(w.optionValues().defaultTime, 450);
        QCOMPARE(w.optionValues().calcPath, QStringLiteral("/nowhere/Calc"));
        QVERIFY(w.highContrast());
        QVERIFY(!testing::view(w).m_learnButton->isHidden());
        QVERIFY(testing::view(w).m_calculatorButton->isHidden());
    }

    void okWithoutChangesRewritesTheCalculatorSwitchedOffAtStart()
    {
        f.services.store.write(kSection, QStringLiteral("CalcPath"),
                               QStringLiteral("/nowhere/calc"));
        f.services.store.write(kSection, QStringLiteral("ShowCalcBtn"), QStringLiteral("1"));
        f.services.store.write(kSection, QStringLiteral("DefaultTime"), QStringLiteral("20000"));
        dialog.reset();
        f.create();
        makeDialog();
        QVERIFY(!f.form->optionValues().showCalcButton);
        runOptions([](OptionsDialog& d) {
            [&] { QCOMPARE(d.m_calcButtonGroup->itemIndex(), 1); }();
            return pressOk(d);
        });
        const QMap<QString, QString> stored = storedOptions();
        QCOMPARE(stored.keys(), [] {
            QStringList k = kAllKeys;
            k.sort();
            return k;
        }());
        QCOMPARE(stored.value("ShowCalcBtn"), QStringLiteral("0"));
        QCOMPARE(stored.value("CalcPath"), QStringLiteral("/nowhere/calc"));
        // 20000 minutes is out of range and read as the default, which OK wrote.
        QCOMPARE(stored.value("DefaultTime"), QStringLiteral("90"));
        QCOMPARE(stored.value("QFontName"), QStringLiteral("MS Sans Serif"));
        QCOMPARE(stored.value("QFontSize"), QStringLiteral("10"));
        QCOMPARE(stored.value("TimerOn"), QStringLiteral("1"));
    }

    void saveWritesInTheFixedOrder()
    {
        options::OptionValues v;
        v.questionFont.font = makeFont(QStringLiteral("Liberation Sans"), 10, false, false);
        v.answersFont.font = QFont(QStringLiteral("Liberation Sans"));
        v.answersFont.font.setPixelSize(16); // sized in pixels: kept in points
        v.explanationFont.font = makeFont(QStringLiteral("Liberation Sans"), 8, false, false);
        v.showLearnButton = true;
        v.defaultTime = -3;
        RecordingStore store;
        options::saveOptions(store, v);
        QCOMPARE(store.keys, kAllKeys);
        QCOMPARE(store.values.value("DefaultTime"), QStringLiteral("-3"));
        QCOMPARE(store.values.value("ShowLearnBtn"), QStringLiteral("1"));
        QCOMPARE(store.values.value("AFontSize"), QStringLiteral("12"));
        QCOMPARE(store.values.value("EXPFontSize"), QStringLiteral("8"));
    }

    void saveThatFailsIsReportedAndTheChoiceStillApplies()
    {
        RecordingServices services(f.services);
        services.store.failAt = QStringLiteral("AFontName");
        OptionsDialog d(services);
        options::OptionValues v;
        v.showLearnButton = false;
        d.open(v);
        d.show();
        d.m_learnButtonGroup->item(0)->click();
        f.services.expectMessage(QStringLiteral("The settings cannot be written."), platform::Ok);
        d.m_okButton->click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QVERIFY(v.showLearnButton);
        // Saving stopped at the failing value.
        QCOMPARE(services.store.keys, kAllKeys.mid(0, 6));
        QCOMPARE(f.services.shownKinds.value(0), platform::MsgKind::Error);
    }

    void timeFieldIsReadOnOk_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("number") << "250"
                                << "250";
        QTest::newRow("empty counts as 1") << ""
                                           << "1";
        QTest::newRow("upper bound") << "9000"
                                     << "9000";
        QTest::newRow("beyond the upper bound") << "9001"
                                                << "9000";
    }
    void timeFieldIsReadOnOk()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        runOptions([&](OptionsDialog& d) {
            auto* edit = d.m_defaultTimeBox->findChild<QLineEdit*>();
            edit->setText(typed);
            return pressOk(d);
        });
        QCOMPARE(storedOptions().value("DefaultTime"), stored);
        QCOMPARE(QString::number(f.form->optionValues().defaultTime), stored);
    }

    void changeFontReachesTheExamWindowAtOnce_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("key");
        QTest::newRow("Question") << 0 << "Question"
                                  << "questionText"
                                  << "QFontName";
        QTest::newRow("Answers") << 1 << "Answers"
                                 << "itemContent"
                                 << "AFontName";
        QTest::newRow("Explanation") << 2 << "Explanation"
                                     << "explanationText"
                                     << "EXPFontName";
    }
    void changeFontReachesTheExamWindowAtOnce()
    {
        QFETCH(int, row);
        QFETCH(QString, entry);
        QFETCH(QString, control);
        QFETCH(QString, key);
        ExamWindow& w = *f.form;
        auto* target = w.findChild<QWidget*>(control);
        QVERIFY(target);
        const QFont chosen = makeFont(QStringLiteral("Liberation Serif"), 15, true, true);
        QFont offered;
        runOptions([&](OptionsDialog& d) {
            [&] {
                d.m_fontList->setCurrentRow(row);
                QCOMPARE(d.m_fontExample->text(), entry);
                // Cancelled: nothing changes.
                f.services.fontChooser = [](const QFont&) { return std::nullopt; };
                d.m_changeFontButton->click();
                QVERIFY(target->font().family() != QStringLiteral("Liberation Serif"));
                f.services.fontChooser = [&](const QFont& initial) {
                    offered = initial;
                    return std::optional<QFont>(chosen);
                };
                d.m_changeFontButton->click();
                // Shown while the dialog is still open.
                QCOMPARE(target->font().family(), QStringLiteral("Liberation Serif"));
                QCOMPARE(target->font().pointSize(), 15);
                QVERIFY(target->font().bold() && target->font().italic());
                QCOMPARE(d.m_fontExample->font().family(), QStringLiteral("Liberation Serif"));
                QCOMPARE(d.m_fontExample->text(), entry);
            }();
            return closeWithoutOk(d);
        });
        QVERIFY(!QTest::currentTestFailed());
        // The chooser opens on the font in use: a family it lists (the
        // design's "MS Sans Serif" is in no list; it is drawn with a
        // substitute), its size and its styles.
        QCOMPARE(offered.family(), QFontInfo(QFont(QStringLiteral("MS Sans Serif"))).family());
        QVERIFY(QFontDatabase::families().contains(offered.family()));
        QCOMPARE(offered.pointSize(), 10);
        QVERIFY(!offered.bold() && !offered.italic());
        // Closed without OK: the font stays, the store holds nothing yet.
        QCOMPARE(target->font().family(), QStringLiteral("Liberation Serif"));
        QVERIFY(storedOptions().isEmpty());
        // The next OK saves it.
        runOptions([](OptionsDialog& d) {
            [&] { QCOMPARE(d.m_fontList->currentRow(), 0); }();
            return pressOk(d);
        });
        QCOMPARE(storedOptions().value(key), QStringLiteral("Liberation Serif"));
    }

    void closingWithoutOkDiscardsEverythingButFonts()
    {
        ExamWindow& w = *f.form;
        startExam(30);
        const bool calc = w.optionValues().showCalcButton;
        const QString path = w.optionValues().calcPath;
        f.services.fontChooser = [](const QFont&) {
            return std::optional<QFont>(makeFont(QStringLiteral("DejaVu Sans"), 14, false, false));
        };
        runOptions([](OptionsDialog& d) {
            d.m_fontList->setCurrentRow(1);
            d.m_changeFontButton->click();
            d.m_learnButtonGroup->item(0)->click();
            d.m_timerGroup->item(1)->click();
            d.m_calcButtonGroup->setItemIndex(d.m_calcButtonGroup->itemIndex() == 0 ? 1 : 0);
            d.m_defaultTimeBox->setValue(15);
            d.m_calcPathEdit->setText(QStringLiteral("/somewhere/else"));
            return closeWithoutOk(d);
        });
        QVERIFY(storedOptions().isEmpty());
        QVERIFY(!w.optionValues().showLearnButton && w.optionValues().timerOn);
        QCOMPARE(w.optionValues().showCalcButton, calc);
        QCOMPARE(w.optionValues().defaultTime, 90);
        QCOMPARE(w.optionValues().calcPath, path);
        QVERIFY(testing::view(w).m_learnButton->isHidden());
        QVERIFY(testing::view(w).m_timeLabel->isVisibleTo(&w));
        QVERIFY(f.services.lastTicker->isActive());
        QCOMPARE(testing::view(w).m_itemContent->font().family(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(w.optionValues().answersFont.font.pointSize(), 14);
        // The next opening starts from the window's values again.
        runOptions([&](OptionsDialog& d) {
            [&] {
                QCOMPARE(d.m_learnButtonGroup->itemIndex(), 1);
                QCOMPARE(d.m_timerGroup->itemIndex(), 0);
                QCOMPARE(d.m_defaultTimeBox->value(), 90);
                QCOMPARE(d.m_calcPathEdit->text(), path);
            }();
            return closeWithoutOk(d);
        });
    }

    void timerSwitchedDuringAnExam()
    {
        ExamWindow& w = *f.form;
        startExam(30);
        for (int s = 0; s < 300; s += 60)
            tick(60);
        QCOMPARE(testing::view(w).m_timeLabel->text(), QStringLiteral("0:25:00"));

        // OK without a change leaves the countdown alone.
        runOptions(pressOk);
        tick(1);
        QCOMPARE(testing::view(w).m_timeLabel->text(), QStringLiteral("0:24:59"));

        runOptions([](OptionsDialog& d) {
            d.m_timerGroup->item(1)->click();
            return pressOk(d);
        });
        QVERIFY(!w.optionValues().timerOn);
        QVERIFY(!testing::view(w).m_timeLabel->isVisibleTo(&w));
        QVERIFY(!f.services.lastTicker->isActive());
        f.services.clock += 600 / 86400.0;

        runOptions([](OptionsDialog& d) {
            d.m_timerGroup->item(0)->click();
            return pressOk(d);
        });
        QVERIFY(w.optionValues().timerOn);
        QVERIFY(testing::view(w).m_timeLabel->isVisibleTo(&w));
        QCOMPARE(testing::view(w).m_timeLabel->text(), QStringLiteral("0:30:00"));
        QVERIFY(f.services.lastTicker->isActive());
        tick(1);
        QCOMPARE(testing::view(w).m_timeLabel->text(), QStringLiteral("0:29:59"));
        QCOMPARE(storedOptions().value("TimerOn"), QStringLiteral("1"));
    }

    void learnButtonFollowsAtOnce()
    {
        ExamWindow& w = *f.form;
        startExam(30);
        QVERIFY(!testing::view(w).m_learnButton->isVisible());
        runOptions([](OptionsDialog& d) {
            d.m_learnButtonGroup->item(0)->click();
            return pressOk(d);
        });
        QVERIFY(testing::view(w).m_learnButton->isVisible());
        QVERIFY(testing::view(w).m_learnButton->isEnabled());
        runOptions([](OptionsDialog& d) {
            d.m_learnButtonGroup->item(1)->click();
            return pressOk(d);
        });
        QVERIFY(!testing::view(w).m_learnButton->isVisible());
        QCOMPARE(storedOptions().value("ShowLearnBtn"), QStringLiteral("0"));
    }

    void calculatorButtonFollowsPathAndFlag()
    {
        ExamWindow& w = *f.form;
        const QString program = f.dir->file(QStringLiteral("calc"));
        {
            QFile file(program);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("#!/bin/sh\n");
        }
        QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        startExam(30);
        f.setOptions([&](options::OptionValues& v) { v.showCalcButton = false; });
        testing::view(w).m_calculatorButton->hide();
        runOptions([&](OptionsDialog& d) {
            d.m_calcButtonGroup->item(0)->click();
            // Browsing fills the path; a cancelled browse keeps it.
            f.services.fileChooser = [&] { return program; };
            d.m_browseButton->click();
            f.services.fileChooser = [] { return QString(); };
            d.m_browseButton->click();
            return pressOk(d);
        });
        QVERIFY(testing::view(w).m_calculatorButton->isVisible());
        QCOMPARE(testing::view(w).m_calculatorButton->commandLine(), program);
        QCOMPARE(w.optionValues().calcPath, program);

        // A path that does not exist is reported; the button keeps its
        // program and is shown, since the flag is not checked against it.
        f.services.expectMessage(QStringLiteral("The file: /gone/calc cannot be found."),
                                 platform::Ok);
        runOptions([](OptionsDialog& d) {
            d.m_calcPathEdit->setText(QStringLiteral("/gone/calc"));
            return pressOk(d);
        });
        QVERIFY(testing::view(w).m_calculatorButton->isVisible());
        QCOMPARE(testing::view(w).m_calculatorButton->commandLine(), program);
        QCOMPARE(storedOptions().value("CalcPath"), QStringLiteral("/gone/calc"));
        QCOMPARE(storedOptions().value("ShowCalcBtn"), QStringLiteral("1"));
    }

    // Each of the three fonts is set whole: making one bold italic leaves
    // the other two as they are, on screen and after a restart.
    void eachFontIsSetWhole()
    {
        ExamWindow& w = *f.form;
        runOptions([&](OptionsDialog& d) {
            d.m_fontList->setCurrentRow(1);
            f.services.fontChooser = [](const QFont& initial) {
                QFont chosen = initial;
                chosen.setBold(true);
                chosen.setItalic(true);
                return std::optional<QFont>(chosen);
            };
            d.m_changeFontButton->click();
            return pressOk(d);
        });
        const auto check = [](const QWidget* widget, bool styled) {
            const QFontInfo info(widget->font());
            return info.bold() == styled && info.italic() == styled;
        };
        QVERIFY(check(testing::view(w).m_choiceLabels[0], true));
        QVERIFY(check(testing::view(w).m_questionText, false));
        QVERIFY(check(testing::view(w).m_explanationText, false));
        QCOMPARE(storedOptions().value(QStringLiteral("AFontBold")), QStringLiteral("1"));
        QCOMPARE(storedOptions().value(QStringLiteral("QFontBold")), QStringLiteral("0"));

        // The same after a restart from the saved settings.
        dialog.reset();
        f.form.reset();
        f.form = std::make_unique<session::ExamWindow>(f.services);
        QVERIFY(check(testing::view(*f.form).m_choiceLabels[0], true));
        QVERIFY(check(testing::view(*f.form).m_questionText, false));
        QVERIFY(check(testing::view(*f.form).m_explanationText, false));
        makeDialog();
    }

    // A colour beside each font: shown at once, saved at the next OK.
    void colourOfEachFont_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("key");
        QTest::newRow("Question") << 0 << "questionText"
                                  << "QFontColor";
        QTest::newRow("Answers") << 1 << "itemContent"
                                 << "AFontColor";
        QTest::newRow("Explanation") << 2 << "explanationText"
                                     << "EXPFontColor";
    }
    void colourOfEachFont()
    {
        QFETCH(int, row);
        QFETCH(QString, control);
        QFETCH(QString, key);
        auto* target = f.form->findChild<QWidget*>(control);
        QVERIFY(target);
        const QColor chosen(200, 16, 32);
        QColor offered;
        runOptions([&](OptionsDialog& d) {
            [&] {
                d.m_fontList->setCurrentRow(row);
                QVERIFY(d.m_changeColourButton->isVisible());
                f.services.colourChooser = [](const QColor&) { return std::nullopt; };
                d.m_changeColourButton->click();
                QVERIFY(target->palette().color(QPalette::WindowText) != chosen);
                f.services.colourChooser = [&](const QColor& initial) {
                    offered = initial;
                    return std::optional<QColor>(chosen);
                };
                d.m_changeColourButton->click();
                QCOMPARE(target->palette().color(QPalette::WindowText), chosen);
                QCOMPARE(d.m_fontExample->palette().color(QPalette::WindowText), chosen);
            }();
            return pressOk(d);
        });
        QVERIFY(!QTest::currentTestFailed());
        QCOMPARE(offered, row == 2 ? QColor(0, 0, 128) : QColor(Qt::black));
        QCOMPARE(storedOptions().value(key), QString::number(200 + 256 * 16 + 65536 * 32));
    }
};

QTEST_MAIN(TestOptionsDialog)
#include "test_options_dialog.moc"
