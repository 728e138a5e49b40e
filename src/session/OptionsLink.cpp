// The exam window's side of the options dialog: it hands the dialog its own
// option values and acts on what the dialog changed.
#include "TTestForm.h"

#include "RunButton.h"
#include "Services.h"
#include "TOptionsForm.h"

#include <QPushButton>

namespace session {

void TTestForm::setOptionsForm(options::TOptionsForm* form)
{
    m_optionsForm = form;
    // Fonts take effect while the dialog is still open.
    connect(form, &options::TOptionsForm::fontsChanged, this, &TTestForm::applyOptions);
}

void TTestForm::Preferences1Click()
{
    if (!m_optionsForm)
        return;
    // The window's own fields are the current truth (the calculator flag is
    // switched off at creation when the program is missing); the dialog
    // starts from them.
    Options.ShowLearnBtn = ShowLearnBtn;
    Options.ShowCalcBtn = ShowCalcBtn;
    Options.TimerOn = TimerOn;
    Options.DefaultTime = DefaultTime;
    Options.CalcPath = CalcPath;
    m_optionsForm->open(Options);
    if (m_services.runModal(m_optionsForm) != QDialog::Accepted)
        return;

    if (Options.ShowLearnBtn != ShowLearnBtn) {
        ShowLearnBtn = Options.ShowLearnBtn;
        LearnButton->setVisible(ShowLearnBtn);
    }
    if (Options.TimerOn != TimerOn) {
        TimerOn = Options.TimerOn;
        StartExamTimer();
    }
    if (Options.ShowCalcBtn != ShowCalcBtn) {
        ShowCalcBtn = Options.ShowCalcBtn;
        CalcButton->setVisible(ShowCalcBtn);
    }
    DefaultTime = Options.DefaultTime;
    if (Options.CalcPath != CalcPath) {
        CalcPath = Options.CalcPath;
        // A bad path is reported and the previous program stays assigned.
        run([this] { CalcButton->setCommandLine(CalcPath); });
    }
}

} // namespace session
