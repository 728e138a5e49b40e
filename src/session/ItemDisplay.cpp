// Showing an item: the layout of the item area, the restoring of the
// response, the mode's decoration, response capture and Learn Now.
#include "ExamWindow.h"

#include "ErrorReport.h"
#include "Exhibit1Window.h"
#include "Exhibit2Window.h"
#include "ItemMapper.h"
#include "NoteWindow.h"
#include "RunButton.h"
#include "Services.h"
#include "ShadowLabel.h"
#include "ShapeButton.h"
#include "Table.h"
#include "WrapAnywhere.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <cmath>

namespace session {

namespace {

const QColor kAqua(0, 255, 255);

// The height a word-wrapped label takes at its present width, a word wider
// than the line broken inside; an empty label keeps the height of one line.
int autoHeight(const QLabel* label)
{
    return widgets::wrappedLabelHeight(label, label->width());
}

void setBackground(QLabel* label, const QColor& colour)
{
    QPalette p = label->palette();
    if (p.color(QPalette::Window) == colour && label->autoFillBackground())
        return;
    p.setColor(QPalette::Window, colour);
    label->setPalette(p);
}

} // namespace

const store::ItemResponse* ExamWindow::currentResponse() const
{
    return m_exam->currentResponse();
}

void ExamWindow::showCurrentItem()
{
    if (mode() == ModeIdle || (m_noteWindow && m_noteWindow->isVisible()))
        return;
    const int k = m_exam->currentItemNumber();
    if (k == 0)
        return;
    // A new item shows unrevealed; the same item laid out again keeps it.
    if (k != m_revealedItem)
        m_revealed = false;
    // Nothing of the last item's key may be said of this one's choices.
    m_keyShown = {};
    const int itemCount = m_exam->itemCount();
    m_previousButton->setEnabled(k != m_exam->firstItemNumber());
    m_nextButton->setEnabled(k != itemCount);
    m_itemCounterLabel->setText(QStringLiteral("Item %1 of %2").arg(k).arg(itemCount));
    m_itemCounterLabel->adjustSize();
    m_itemIdLabel->setText(QStringLiteral("Item ID: %1").arg(store::readSourceId(currentSet())));
    m_itemIdLabel->adjustSize();
    // Grading hid the item area; showing an item brings it back.
    m_itemArea->show();
    layoutItem();
    showItemVerdict();
}

void ExamWindow::layoutItem()
{
    if (m_exam->currentItemNumber() == 0)
        return;
    const store::ExamItem item = m_exam->currentItem();
    m_multipleResponse = item.multipleResponse;
    // 1. Lay out out of sight, from the top.
    m_itemArea->setUpdatesEnabled(false);
    m_itemArea->verticalScrollBar()->setValue(0);

    // 3. and 4. Choice texts and their buttons.
    const bool multiple = item.multipleResponse;
    for (int i = 0; i < 6; ++i) {
        const QString text = item.choices[static_cast<size_t>(i)];
        const bool shown = !text.isEmpty();
        if (shown) {
            m_choiceLabels[i]->setText(text);
            m_choiceTexts[static_cast<size_t>(i)] = text;
            describeChoice(i + 1);
        }
        m_choiceLabels[i]->setVisible(shown);
        m_choiceRadios[i]->setVisible(shown && !multiple);
        m_choiceBoxes[i]->setVisible(shown && multiple);
    }
    m_exhibit1Button->setVisible(!item.picture1.isEmpty());
    m_exhibit2Button->setVisible(!item.picture2.isEmpty());
    m_simulationButton->setVisible(item.isSimulation());
    m_questionText->setText(item.text);
    // Hidden labels still speak to a screen reader: during an exam the
    // explanation holds no text until Learn Now shows it.
    m_explanationText->setText(mode() == ModeReview || m_revealed ? item.explanation : QString());

    // 2., 5., 6. and 7.: the stacking.
    fitItemContent();

    // 8. Restore the response; the handlers store the same values again.
    if (const store::ItemResponse* r = currentResponse()) {
        const store::ItemResponse saved = *r;
        for (int i = 0; i < 6; ++i) {
            if (!multiple)
                setRadioState(i + 1, saved.Choice[static_cast<size_t>(i)]);
            else
                m_choiceBoxes[i]->setChecked(saved.Choice[static_cast<size_t>(i)]);
        }
        m_markBox->setChecked(saved.Marked);
    }

    // 9. Show it.
    m_itemArea->verticalScrollBar()->setValue(0);
    m_itemArea->setUpdatesEnabled(true);
}

void ExamWindow::placeItem(int contentWidth)
{
    const int areaWidth = m_itemArea->width();
    m_itemContent->resize(contentWidth, m_itemContent->height());

    // The question.
    m_questionPanel->setGeometry(0, 0, contentWidth, m_questionPanel->height());
    m_questionText->setGeometry(8, 8, qMax(1, contentWidth - 16), 10);
    m_questionText->resize(m_questionText->width(), autoHeight(m_questionText));
    m_questionPanel->resize(contentWidth, m_questionText->height() + 16);
    m_questionRule->setGeometry(0, m_questionPanel->height(), contentWidth, 1);

    // The button row, then the choices stacked under it. Hidden rows keep
    // their place and the height of the text they last showed.
    const int rowTop = m_questionPanel->height() + 2;
    m_exhibit1Button->move(m_exhibit1Button->x(), rowTop);
    m_exhibit2Button->move(m_exhibit2Button->x(), rowTop);
    m_simulationButton->move(m_simulationButton->x(), rowTop);
    m_calculatorButton->move(contentWidth - m_calculatorButton->width() - 1, rowTop);
    // The 30 pixels to the right leave room for a scroll bar.
    const int labelWidth = qMax(1, areaWidth - 80 - 30);
    int top = rowTop + m_exhibit1Button->height() + 15;
    for (int i = 0; i < 6; ++i) {
        m_choiceLabels[i]->setGeometry(80, top, labelWidth, 10);
        m_choiceLabels[i]->resize(labelWidth, autoHeight(m_choiceLabels[i]));
        top += m_choiceLabels[i]->height() + 15;
    }

    // Only the buttons of the item's kind follow their labels.
    const bool multiple = m_multipleResponse;
    for (int i = 0; i < 6; ++i) {
        if (!multiple)
            m_choiceRadios[i]->move(40, m_choiceLabels[i]->y());
        else
            m_choiceBoxes[i]->move(40, m_choiceLabels[i]->y());
    }

    // The explanation under the row before the first hidden row of c..f.
    QLabel* anchor = m_choiceLabels[5];
    for (int i = 2; i < 6; ++i) {
        if (!m_choiceLabels[i]->isVisibleTo(m_itemContent)) {
            anchor = m_choiceLabels[i - 1];
            break;
        }
    }
    m_explanationText->setGeometry(8, anchor->y() + anchor->height() + 40,
                                   qMax(1, areaWidth - 8 - 30), m_explanationText->height());
    // Hidden during an exam, it would be laid out for nothing at every item;
    // it is laid out again when it is shown.
    if (m_explanationText->isVisibleTo(m_itemContent))
        m_explanationText->resize(m_explanationText->width(), autoHeight(m_explanationText));
}

void ExamWindow::fitItemContent()
{
    // Only what is shown counts: hidden rows keep their places and the
    // explanation waits hidden in exam mode, and neither may make the area
    // scroll.
    auto shownBottom = [this] {
        int bottom = 0;
        for (QWidget* w :
             m_itemContent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            if (w->isVisibleTo(m_itemContent))
                bottom = qMax(bottom, w->geometry().bottom() + 1);
        return bottom;
    };
    // The whole width first; when the shown content needs a scroll bar, the
    // text is laid out again in the width the bar leaves.
    const QSize whole = m_itemArea->maximumViewportSize();
    placeItem(whole.width());
    int bottom = shownBottom();
    const bool scrolls = bottom > whole.height();
    if (scrolls) {
        placeItem(whole.width() - m_itemArea->verticalScrollBar()->sizeHint().width());
        bottom = shownBottom();
    }
    // A strip of white under the last control, which alone never makes the
    // area scroll.
    const int strip = 17;
    m_itemContent->resize(m_itemContent->width(),
                          scrolls ? bottom + strip : qMin(bottom + strip, whole.height()));
}

void ExamWindow::showItemVerdict()
{
    if (m_exam->currentItemNumber() == 0)
        return;
    if (mode() == ModeReview || m_revealed) {
        m_explanationText->show();
        showKey(store::readKey(currentSet()));
    } else if (mode() == ModeExam) {
        m_explanationText->hide();
        showKey({});
    }
    const store::ItemResponse* r = currentResponse();
    const bool correct = r && r->Correct;
    m_verdictLabel->setText(correct ? QStringLiteral("Correct") : QStringLiteral("Incorrect"));
    if (m_scheme) {
        m_verdictLabel->setTextColour(correct ? m_scheme->correctText : m_scheme->incorrectText);
        m_verdictLabel->setShadowColour(Qt::transparent);
    } else {
        m_verdictLabel->setTextColour(correct ? QColor(0, 0, 255) : QColor(255, 0, 0));
        m_verdictLabel->setShadowColour(Qt::black);
    }
    m_verdictLabel->adjustSize();
    // The explanation came or went.
    fitItemContent();
}

void ExamWindow::showKey(const std::array<bool, 6>& key)
{
    m_keyShown = key;
    const QColor ground = m_scheme ? m_scheme->palette.color(QPalette::Window) : QColor(Qt::white);
    const QColor keyGround = m_scheme ? m_scheme->keyBackground : kAqua;
    for (int i = 0; i < 6; ++i) {
        const bool isKey = key[static_cast<size_t>(i)];
        QLabel* label = m_choiceLabels[i];
        setBackground(label, isKey ? keyGround : ground);
        if (m_scheme) {
            QPalette p = label->palette();
            p.setColor(QPalette::WindowText,
                       isKey ? m_scheme->keyText
                             : m_scheme->readable(m_options.answersFont.colour, ground));
            label->setPalette(p);
        }
        describeChoice(i + 1);
    }
}

void ExamWindow::describeChoice(int row)
{
    const size_t i = static_cast<size_t>(row - 1);
    // The highlight is seen; a screen reader is told in words.
    const QString said =
        m_keyShown[i] ? m_choiceTexts[i] + QStringLiteral(", correct answer") : m_choiceTexts[i];
    for (QAbstractButton* b : {static_cast<QAbstractButton*>(m_choiceRadios[row - 1]),
                               static_cast<QAbstractButton*>(m_choiceBoxes[row - 1])})
        if (b->accessibleDescription() != said)
            b->setAccessibleDescription(said);
    const QString labelSaid = m_keyShown[i] ? QStringLiteral("correct answer") : QString();
    if (m_choiceLabels[row - 1]->accessibleDescription() != labelSaid)
        m_choiceLabels[row - 1]->setAccessibleDescription(labelSaid);
}

void ExamWindow::relayout()
{
    if (!m_itemArea)
        return;
    if (m_exam && m_exam->currentItemNumber() > 0)
        layoutItem();
    if (m_startPanel->isVisible())
        arrangeStartButtons();
}

void ExamWindow::arrangeStartButtons()
{
    const double W = frameGeometry().width();
    const int bw = m_practiceExamButtons[0]->width();
    int left = static_cast<int>(std::nearbyint((W - 7.0 * bw - 42.0) / 2.0));
    for (widgets::ShapeButton* b : m_practiceExamButtons) {
        b->move(left, b->y());
        left += b->width() + 6;
    }
    const int aw = m_allQuestionsButton->width();
    m_allQuestionsButton->move(static_cast<int>(std::nearbyint((W - 3.0 * aw - 12.0) / 2.0)),
                               m_allQuestionsButton->y());
    m_randomExamButton->move(m_allQuestionsButton->x() + m_allQuestionsButton->width() + 6,
                             m_randomExamButton->y());
    m_userExamButton->move(m_randomExamButton->x() + m_randomExamButton->width() + 6,
                           m_userExamButton->y());
}

void ExamWindow::setRadioState(int row, bool checked)
{
    QRadioButton* b = m_choiceRadios[row - 1];
    if (checked) {
        b->setChecked(true); // clears the others, then fires if it changed
        return;
    }
    if (!b->isChecked())
        return;
    // An exclusive group refuses to uncheck its checked button; unchecking
    // fires no handler.
    m_radioGroup->setExclusive(false);
    b->setChecked(false);
    m_radioGroup->setExclusive(true);
}

void ExamWindow::choiceBoxToggled(int row)
{
    const store::ItemResponse* r = currentResponse();
    if (!r)
        return;
    const size_t i = static_cast<size_t>(row - 1);
    if (mode() == ModeExam) {
        std::array<bool, 6> choice = r->Choice;
        choice[i] = m_choiceBoxes[row - 1]->isChecked();
        run([&] { m_exam->setChoices(choice); });
    } else if (mode() == ModeReview) {
        m_choiceBoxes[row - 1]->setChecked(r->Choice[i]);
    }
}

void ExamWindow::choiceRadioToggled()
{
    const store::ItemResponse* r = currentResponse();
    if (!r)
        return;
    if (mode() == ModeExam) {
        std::array<bool, 6> choice{};
        for (int i = 0; i < 6; ++i)
            choice[static_cast<size_t>(i)] = m_choiceRadios[i]->isChecked();
        run([&] { m_exam->setChoices(choice); });
    } else if (mode() == ModeReview) {
        const store::ItemResponse saved = *r;
        for (int i = 0; i < 6; ++i)
            setRadioState(i + 1, saved.Choice[static_cast<size_t>(i)]);
    }
}

void ExamWindow::choiceLabelClicked(int row)
{
    if (m_choiceRadios[row - 1]->isVisibleTo(m_itemContent))
        m_choiceRadios[row - 1]->setChecked(true);
    else
        m_choiceBoxes[row - 1]->setChecked(!m_choiceBoxes[row - 1]->isChecked());
}

void ExamWindow::markToggled()
{
    if (currentResponse())
        run([&] { m_exam->setMarked(m_markBox->isChecked()); });
}

void ExamWindow::revealAnswer()
{
    const int k = m_exam->currentItemNumber();
    if (k == 0)
        return;
    const store::ExamItem item = m_exam->currentItem();
    // Remembered for the item, so that a resize, which lays the item out
    // again, keeps what the candidate asked to see.
    m_revealed = true;
    m_revealedItem = k;
    m_explanationText->setText(item.explanation);
    m_explanationText->show();
    showKey(item.key);
    fitItemContent();
}

void ExamWindow::showExhibit1()
{
    if (!m_exhibit1 || anotherWindowOpen())
        return;
    if (run([&] { m_exhibit1->showPicture(m_exam->currentItem().picture1); }))
        m_services.runModal(m_exhibit1);
}

void ExamWindow::showExhibit2()
{
    if (!m_exhibit2 || anotherWindowOpen())
        return;
    if (run([&] { m_exhibit2->showPicture(m_exam->currentItem().picture2); }))
        m_services.runModal(m_exhibit2);
}

} // namespace session
