#pragma once

// An exam window in a temporary program folder that tests reach only through
// its public interface and its controls' object names.
#include "ExamWindow.h"
#include "NameDialog.h"
#include "ProgramDir.h"
#include "ProgressWindow.h"
#include "ScriptedServices.h"

#include <QAction>
#include <QDialog>
#include <QtTest>
#include <memory>

struct ExamWindowHarness {
    std::unique_ptr<testing::ProgramDir> dir;
    testing::ScriptedServices services;
    std::unique_ptr<widgets::ProgressWindow> progress;
    std::unique_ptr<session::NameDialog> nameDialog;
    std::unique_ptr<session::ExamWindow> window;
    std::uint64_t seed = 1;

    // A new program folder and an empty settings store.
    void setUp()
    {
        dir = std::make_unique<testing::ProgramDir>();
        services.store.values.clear();
        create();
    }
    // The window as a new start would make it, from the present settings.
    void create()
    {
        window.reset();
        services.reset();
        services.startedPrograms.clear();
        progress = std::make_unique<widgets::ProgressWindow>();
        nameDialog = std::make_unique<session::NameDialog>(services);
        window = std::make_unique<session::ExamWindow>(services);
        window->setNameDialog(nameDialog.get());
        window->setProgressWindow(progress.get());
        window->setSeedSource([this] { return seed++; });
        window->resize(1024, 700);
        window->show();
    }
    void tearDown()
    {
        window.reset();
        nameDialog.reset();
        progress.reset();
        dir.reset();
    }

    template <typename T> T* control(const char* name) const
    {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
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
};
