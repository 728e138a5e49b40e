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

options::OptionValues ExamWindow::optionValues() const
{
    // The window's own fields are the current truth: the calculator flag is
    // switched off at creation when the program is missing.
    options::OptionValues v = m_options;
    v.showLearnButton = m_showLearnButton;
    v.showCalcButton = m_showCalcButton;
    v.timerOn = m_timerOn;
    v.defaultTime = m_defaultTime;
    v.calcPath = m_calcPath;
    return v;
}

void ExamWindow::openOptions()
{
    if (!m_optionsDialog)
        return;
    // The dialog edits the window's values in place, so that fonts show
    // while it is still open; the rest is applied once it is confirmed.
    m_options = optionValues();
    m_optionsDialog->open(m_options);
    if (m_services.runModal(m_optionsDialog) != QDialog::Accepted)
        return;
    applyOptionValues(m_options);
}

void ExamWindow::applyOptionValues(const options::OptionValues& values)
{
    m_options = values;
    if (values.showLearnButton != m_showLearnButton) {
        m_showLearnButton = values.showLearnButton;
        m_learnButton->setVisible(m_showLearnButton);
    }
    if (values.timerOn != m_timerOn) {
        m_timerOn = values.timerOn;
        startExamTimer();
    }
    if (values.showCalcButton != m_showCalcButton) {
        m_showCalcButton = values.showCalcButton;
        m_calculatorButton->setVisible(m_showCalcButton);
    }
    m_defaultTime = values.defaultTime;
    if (values.calcPath != m_calcPath) {
        m_calcPath = values.calcPath;
        // A bad path is reported and the previous program stays assigned.
        run([this] { m_calculatorButton->setCommandLine(m_calcPath); });
    }
    applyOptions();
}

} // namespace session
