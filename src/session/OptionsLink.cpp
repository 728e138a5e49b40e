// The exam window's side of the options dialog: it hands the dialog its own
// option values and acts on what the dialog changed.
#include "ExamWindow.h"

#include "OptionsDialog.h"
#include "RunButton.h"
#include "Services.h"

#include <QPushButton>

namespace session {

void ExamWindow::setOptionsDialog(options::OptionsDialog* form)
{
    m_optionsDialog = form;
    // Fonts take effect while the dialog is still open.
    connect(form, &options::OptionsDialog::fontsChanged, this, &ExamWindow::applyOptions);
}

void ExamWindow::openOptions()
{
    if (!m_optionsDialog)
        return;
    // The window's own fields are the current truth (the calculator flag is
    // switched off at creation when the program is missing); the dialog
    // starts from them.
    options.showLearnButton = showLearnButton;
    options.showCalcButton = showCalcButton;
    options.timerOn = timerOn;
    options.defaultTime = defaultTime;
    options.calcPath = calcPath;
    m_optionsDialog->open(options);
    if (m_services.runModal(m_optionsDialog) != QDialog::Accepted)
        return;

    if (options.showLearnButton != showLearnButton) {
        showLearnButton = options.showLearnButton;
        m_learnButton->setVisible(showLearnButton);
    }
    if (options.timerOn != timerOn) {
        timerOn = options.timerOn;
        startExamTimer();
    }
    if (options.showCalcButton != showCalcButton) {
        showCalcButton = options.showCalcButton;
        m_calculatorButton->setVisible(showCalcButton);
    }
    defaultTime = options.defaultTime;
    if (options.calcPath != calcPath) {
        calcPath = options.calcPath;
        // A bad path is reported and the previous program stays assigned.
        run([this] { m_calculatorButton->setCommandLine(calcPath); });
    }
}

} // namespace session
