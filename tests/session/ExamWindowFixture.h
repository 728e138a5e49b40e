#pragma once

// A ready exam window in a temporary program folder, with scripted services
// and the name dialog and progress window it needs.
#include "ExamWindow.h"
#include "NameDialog.h"
#include "ProgramDir.h"
#include "ProgressWindow.h"
#include "RunButton.h"
#include "Schemas.h"
#include "ScriptedServices.h"
#include "Session.h"
#include "Table.h"

#include <QAction>
#include <QDialog>
#include <QLineEdit>
#include <QSpinBox>
#include <QtTest>
#include <memory>

struct ExamWindowFixture {
    std::unique_ptr<testing::ProgramDir> dir;
    testing::ScriptedServices services;
    std::unique_ptr<widgets::ProgressWindow> progress;
    std::unique_ptr<session::NameDialog> nameForm;
    std::unique_ptr<session::ExamWindow> form;
    std::uint64_t seed = 1;
    QSize windowSize{1280, 800};

    void setUp()
    {
        dir = std::make_unique<testing::ProgramDir>();
        // Each test starts from an empty settings store.
        services.store.values.clear();
        create();
    }
    // The window as a new start would make it, from the present settings.
    void create()
    {
        form.reset();
        services.reset();
        services.startedPrograms.clear();
        progress = std::make_unique<widgets::ProgressWindow>();
        nameForm = std::make_unique<session::NameDialog>(services);
        form = std::make_unique<session::ExamWindow>(services);
        form->setNameDialog(nameForm.get());
        form->setProgressWindow(progress.get());
        form->setSeedSource([this] { return seed++; });
        form->resize(windowSize);
        form->show();
    }
    void tearDown()
    {
        form.reset();
        nameForm.reset();
        progress.reset();
        dir.reset();
    }

    // A control of the window by its objectName.
    template <typename T> T* control(const char* name) const
    {
        T* found = form->findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qWarning("no control %s", name);
        return found;
    }
    void trigger(const char* action) { control<QAction>(action)->trigger(); }
    // Practice exam A, taken with OK in the name dialog.
    void startPracticeExamA()
    {
        services.expectModal(QStringLiteral("nameDialog"),
                             [](QWidget*) { return int(QDialog::Accepted); });
        trigger("practiceExamA");
    }
    bool done() const { return services.done(); }
    QString problems() const { return services.problems().join(QLatin1Char('\n')); }

    // Changes the window's option values as a confirmed options dialog does.
    void setOptions(const std::function<void(options::OptionValues&)>& edit)
    {
        options::OptionValues v = form->optionValues();
        edit(v);
        form->applyOptionValues(v);
    }

    // Scripts the name dialog: OK with the given values, or Cancel.
    void answerNameDialog(bool ok, int minutes = 0, int count = 0, const QString& name = {})
    {
        services.expectModal(QStringLiteral("nameDialog"), [=](QWidget* w) {
            auto* f = static_cast<session::NameDialog*>(w);
            if (!name.isEmpty())
                f->m_nameEdit->setText(name);
            if (minutes > 0)
                f->m_timeBox->setValue(minutes);
            if (count > 0)
                f->m_questionCountBox->setValue(count);
            return ok ? int(QDialog::Accepted) : int(QDialog::Rejected);
        });
    }

    // The bank items of the current set, in exam order.
    QList<int> examItems()
    {
        QList<int> ids;
        store::Table& t = form->currentSet();
        const int keep = t.recNo();
        for (t.first(); !t.eof(); t.next())
            ids << int(t.asInteger(QStringLiteral("Q_OR_NUMBER")));
        if (keep > 0)
            t.setRecNo(keep);
        return ids;
    }

    // Makes the item copied from bank item id current, showing no other
    // item on the way.
    void goToBankItem(int id)
    {
        store::Table& t = form->currentSet();
        const int keep = t.recNo();
        int target = 0;
        t.disableControls();
        for (t.first(); !t.eof(); t.next())
            if (t.asInteger(QStringLiteral("Q_OR_NUMBER")) == id)
                target = t.recNo();
        t.setRecNo(keep);
        t.enableControls();
        QVERIFY2(target > 0, "bank item not in the exam");
        t.setRecNo(target);
    }

    // Direct access to a table file of the program folder.
    static void editBank(const std::function<void(store::Table&)>& edit)
    {
        store::Session s(QStringLiteral("Quizlark"));
        s.registerPassword(QString::fromLatin1(store::kTablePassword));
        store::Table t(s, QStringLiteral("tcpip.DAT"), store::bankSchema());
        t.open();
        edit(t);
    }
    static void addUserItems(int n)
    {
        store::Session s(QStringLiteral("Quizlark"));
        s.registerPassword(QString::fromLatin1(store::kTablePassword));
        store::Table t(s, QStringLiteral("tcpipusr.DAT"), store::userSetSchema());
        t.open();
        for (int i = 0; i < n; ++i) {
            t.append();
            t.setValue(QStringLiteral("Q_SECT"), 3);
            t.setValue(QStringLiteral("Q_TEXT"), QStringLiteral("User question %1").arg(i + 1));
            t.setValue(QStringLiteral("Q1"), QStringLiteral("yes"));
            t.setValue(QStringLiteral("Q2"), QStringLiteral("no"));
            t.setValue(QStringLiteral("A1"), true);
            t.post();
        }
    }
};
