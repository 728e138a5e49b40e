// Showing an item: the layout of the item area, the restoring of the
// response, the mode's decoration, response capture and Learn Now.
#include "TTestForm.h"

#include "ErrorReport.h"
#include "Services.h"
#include "ShadowLabel.h"
#include "ShapeButton.h"
#include "RunButton.h"
#include "TPict1Form.h"
#include "TPict2Form.h"
#include "Table.h"

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

// The height a word-wrapped label takes at its present width; an empty
// label keeps the height of one line.
int autoHeight(const QLabel* label)
{
    if (label->text().isEmpty())
        return label->fontMetrics().height();
    return qMax(label->heightForWidth(label->width()), label->fontMetrics().height());
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

store::ItemResponse* TTestForm::currentResponse()
{
    if (!m_currentSet->isOpen())
        return nullptr;
    const int k = m_currentSet->recNo();
    if (k < 1 || static_cast<size_t>(k) > Responses.size())
        return nullptr;
    return &Responses[static_cast<size_t>(k - 1)];
}

void TTestForm::dsCurrentSetDataChange()
{
    if (Mode == ModeIdle || (m_noteWindow && m_noteWindow->isVisible()))
        return;
    if (!m_currentSet->isOpen() || m_currentSet->recNo() == 0)
        return;
    const int k = m_currentSet->recNo();
    PrevButton->setEnabled(k != FirstItemNo);
    NextButton->setEnabled(k != ItemCount);
    Label1->setText(QStringLiteral("Item %1 of %2").arg(k).arg(ItemCount));
    Label1->adjustSize();
    Label2->setText(
        QStringLiteral("Item ID: %1").arg(m_currentSet->asInteger(QStringLiteral("Q_OR_NUMBER"))));
    Label2->adjustSize();
    // Grading hid the item area; showing an item brings it back.
    ScrollBox1->show();
    SetItemPositions();
    ShowItemResult();
}

void TTestForm::SetItemPositions()
{
    if (!m_currentSet->isOpen())
        return;
    store::Table& t = *m_currentSet;
    // 1. Lay out out of sight, from the top.
    ScrollBox1->setUpdatesEnabled(false);
    ScrollBox1->verticalScrollBar()->setValue(0);
    const int areaWidth = ScrollBox1->width();
    ItemContent->resize(ScrollBox1->viewport()->width(), ItemContent->height());

    // 2. The question.
    QPanel->setGeometry(0, 0, ItemContent->width(), QPanel->height());
    QText->setText(t.asString(QStringLiteral("Q_TEXT")));
    QText->setGeometry(8, 8, qMax(1, ItemContent->width() - 16), 10);
    QText->resize(QText->width(), autoHeight(QText));
    QPanel->resize(ItemContent->width(), QText->height() + 16);
    Shape1->setGeometry(0, QPanel->height(), ItemContent->width(), 1);

    // 3. and 4. Choice texts and their buttons.
    const bool multiple = t.asBoolean(QStringLiteral("Q_TYPE"));
    bool shown[6];
    for (int i = 0; i < 6; ++i) {
        const QString text = t.asString(QStringLiteral("Q%1").arg(i + 1));
        shown[i] = !text.isEmpty();
        if (shown[i])
            ALabel[i]->setText(text);
        ALabel[i]->setVisible(shown[i]);
        RadioButton[i]->setVisible(shown[i] && !multiple);
        CheckBox[i]->setVisible(shown[i] && multiple);
    }

    // 5. The button row, then the choices stacked under it. Hidden rows keep
    // their place and the height of the text they last showed.
    ExhBtnA->setVisible(!t.asString(QStringLiteral("PICT1")).isEmpty());
    ExhBtnB->setVisible(!t.asString(QStringLiteral("PICT2")).isEmpty());
    SimButton->setVisible(!t.asString(QStringLiteral("Q_SIM")).isEmpty());
    const int rowTop = QPanel->height() + 2;
    ExhBtnA->move(ExhBtnA->x(), rowTop);
    ExhBtnB->move(ExhBtnB->x(), rowTop);
    SimButton->move(SimButton->x(), rowTop);
    CalcButton->move(ItemContent->width() - CalcButton->width() - 1, rowTop);
    const int labelWidth = qMax(1, areaWidth - 80 - 30);
    int top = rowTop + ExhBtnA->height() + 15;
    for (int i = 0; i < 6; ++i) {
        ALabel[i]->setGeometry(80, top, labelWidth, 10);
        ALabel[i]->resize(labelWidth, autoHeight(ALabel[i]));
        top += ALabel[i]->height() + 15;
    }

    // 6. Only the buttons of the item's kind follow their labels.
    for (int i = 0; i < 6; ++i) {
        if (!multiple)
            RadioButton[i]->move(40, ALabel[i]->y());
        else
            CheckBox[i]->move(40, ALabel[i]->y());
    }

    // 7. The explanation under the row before the first hidden row of c..f.
    QLabel* anchor = ALabel[5];
    for (int i = 2; i < 6; ++i) {
        if (!ALabel[i]->isVisibleTo(ItemContent)) {
            anchor = ALabel[i - 1];
            break;
        }
    }
    ExpText->setText(t.asString(QStringLiteral("Q_EXPL")));
    ExpText->setGeometry(8, anchor->y() + anchor->height() + 40, qMax(1, areaWidth - 8 - 30), 10);
    ExpText->resize(ExpText->width(), autoHeight(ExpText));

    int bottom = 0;
    for (QWidget* w : ItemContent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        bottom = qMax(bottom, w->geometry().bottom() + 1);
    // Bevel2: a strip of white under the last control.
    ItemContent->resize(ScrollBox1->viewport()->width(), bottom + 17);

    // 8. Restore the response; the handlers store the same values again.
    if (const store::ItemResponse* r = currentResponse()) {
        const store::ItemResponse saved = *r;
        for (int i = 0; i < 6; ++i) {
            if (!multiple)
                setRadioState(i + 1, saved.Choice[static_cast<size_t>(i)]);
            else
                CheckBox[i]->setChecked(saved.Choice[static_cast<size_t>(i)]);
        }
        MarkBox->setChecked(saved.Marked);
    }

    // 9. Show it.
    ScrollBox1->verticalScrollBar()->setValue(0);
    ScrollBox1->setUpdatesEnabled(true);
}

void TTestForm::ShowItemResult()
{
    if (!m_currentSet->isOpen())
        return;
    if (Mode == ModeReview) {
        ExpText->show();
        for (int i = 0; i < 6; ++i)
            setBackground(ALabel[i], m_currentSet->asBoolean(QStringLiteral("A%1").arg(i + 1))
                                         ? kAqua
                                         : Qt::white);
    } else if (Mode == ModeExam) {
        ExpText->hide();
        for (QLabel* l : ALabel)
            setBackground(l, Qt::white);
    }
    const store::ItemResponse* r = currentResponse();
    if (r && r->Correct) {
        CorrectLabel->setText(QStringLiteral("Correct"));
        CorrectLabel->setTextColour(QColor(0, 0, 255));
    } else {
        CorrectLabel->setText(QStringLiteral("Incorrect"));
        CorrectLabel->setTextColour(QColor(255, 0, 0));
    }
    CorrectLabel->adjustSize();
}

void TTestForm::FormResize()
{
    if (!ScrollBox1)
        return;
    if (m_currentSet && m_currentSet->isOpen() && m_currentSet->recNo() > 0)
        SetItemPositions();
    if (Panel4->isVisible())
        ArrangeStartButtons();
}

void TTestForm::ArrangeStartButtons()
{
    const double W = frameGeometry().width();
    const int bw = fcShapeBtn[0]->width();
    int left = static_cast<int>(std::nearbyint((W - 7.0 * bw - 42.0) / 2.0));
    for (platform::ShapeButton* b : fcShapeBtn) {
        b->move(left, b->y());
        left += b->width() + 6;
    }
    const int aw = AllQBtn->width();
    AllQBtn->move(static_cast<int>(std::nearbyint((W - 3.0 * aw - 12.0) / 2.0)), AllQBtn->y());
    RandomBtn->move(AllQBtn->x() + AllQBtn->width() + 6, RandomBtn->y());
    UserBtn->move(RandomBtn->x() + RandomBtn->width() + 6, UserBtn->y());
}

void TTestForm::setRadioState(int row, bool checked)
{
    QRadioButton* b = RadioButton[row - 1];
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

void TTestForm::CheckBoxClick(int row)
{
    store::ItemResponse* r = currentResponse();
    if (!r)
        return;
    const size_t i = static_cast<size_t>(row - 1);
    if (Mode == ModeExam) {
        r->Choice[i] = CheckBox[row - 1]->isChecked();
        CheckItemAnswer();
    } else if (Mode == ModeReview) {
        CheckBox[row - 1]->setChecked(r->Choice[i]);
    }
}

void TTestForm::RadioButton1Click()
{
    store::ItemResponse* r = currentResponse();
    if (!r)
        return;
    if (Mode == ModeExam) {
        for (int i = 0; i < 6; ++i)
            r->Choice[static_cast<size_t>(i)] = RadioButton[i]->isChecked();
        CheckItemAnswer();
    } else if (Mode == ModeReview) {
        const store::ItemResponse saved = *r;
        for (int i = 0; i < 6; ++i)
            setRadioState(i + 1, saved.Choice[static_cast<size_t>(i)]);
    }
}

void TTestForm::ALabelClick(int row)
{
    if (RadioButton[row - 1]->isVisibleTo(ItemContent))
        RadioButton[row - 1]->setChecked(true);
    else
        CheckBox[row - 1]->setChecked(!CheckBox[row - 1]->isChecked());
}

void TTestForm::MarkBoxClick()
{
    if (store::ItemResponse* r = currentResponse())
        r->Marked = MarkBox->isChecked();
}

void TTestForm::CheckItemAnswer()
{
    store::ItemResponse* r = currentResponse();
    if (!r)
        return;
    bool correct = true;
    for (int i = 0; i < 6 && correct; ++i)
        correct = m_currentSet->asBoolean(QStringLiteral("A%1").arg(i + 1)) ==
                  r->Choice[static_cast<size_t>(i)];
    r->Correct = correct;
}

void TTestForm::LearnButtonClick()
{
    if (!m_currentSet->isOpen())
        return;
    ExpText->show();
    for (int i = 0; i < 6; ++i)
        setBackground(ALabel[i], m_currentSet->asBoolean(QStringLiteral("A%1").arg(i + 1))
                                     ? kAqua
                                     : Qt::white);
}

void TTestForm::ExhBtnAClick()
{
    if (!m_pict1)
        return;
    if (run([&] { m_pict1->showPicture(m_currentSet->asString(QStringLiteral("PICT1"))); }))
        m_services.runModal(m_pict1);
}

void TTestForm::ExhBtnBClick()
{
    if (!m_pict2)
        return;
    if (run([&] { m_pict2->showPicture(m_currentSet->asString(QStringLiteral("PICT2"))); }))
        m_services.runModal(m_pict2);
}

} // namespace session
