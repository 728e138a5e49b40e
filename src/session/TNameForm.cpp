#include "TNameForm.h"

#include "Services.h"

#include <QDate>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <algorithm>
#include <cmath>

namespace session {

namespace {

QDate dateFromDays(double days)
{
    return QDate(1899, 12, 30).addDays(static_cast<qint64>(std::floor(days)));
}

} // namespace

TNameForm::TNameForm(platform::Services& services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_services(services)
{
    setObjectName(QStringLiteral("NameForm"));
    setFixedSize(305, 204);

    DateLabel = new QLabel(this);
    DateLabel->setObjectName(QStringLiteral("DateLabel"));
    DateLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    DateLabel->setGeometry(120, 10, 175, 18);

    auto* nameLabel = new QLabel(QStringLiteral("Your &Name: "), this);
    nameLabel->setGeometry(16, 44, 110, 21);
    NameEdit = new QLineEdit(QStringLiteral("Your Name"), this);
    NameEdit->setObjectName(QStringLiteral("NameEdit"));
    NameEdit->setGeometry(140, 44, 150, 23);
    nameLabel->setBuddy(NameEdit);

    auto* timeLabel = new QLabel(QStringLiteral("&Time (min):"), this);
    timeLabel->setGeometry(16, 78, 110, 21);
    SpinEdit1 = new QSpinBox(this);
    SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    SpinEdit1->setRange(1, 600);
    SpinEdit1->setValue(90);
    SpinEdit1->setGeometry(140, 78, 70, 23);
    timeLabel->setBuddy(SpinEdit1);

    Label4 = new QLabel(QStringLiteral("Number of &questions:"), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setGeometry(16, 112, 122, 21);
    SpinEdit2 = new QSpinBox(this);
    SpinEdit2->setObjectName(QStringLiteral("SpinEdit2"));
    SpinEdit2->setRange(1, 1);
    SpinEdit2->setGeometry(140, 112, 70, 23);
    Label4->setBuddy(SpinEdit2);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(8, 150, 289, 2);

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                              QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn1->setGeometry(130, 164, 80, 28);
    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                              QStringLiteral("Cancel"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(216, 164, 80, 28);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    setQuestionCount(1, false);
}

void TNameForm::setQuestionCount(int candidates, bool enabled)
{
    const int max = std::max(1, candidates);
    SpinEdit2->setRange(1, max);
    SpinEdit2->setValue(max);
    Label4->setEnabled(enabled);
    SpinEdit2->setEnabled(enabled);
    SpinEdit2->setStyleSheet(enabled
                                 ? QStringLiteral("QSpinBox { background: white; color: black; }")
                                 : QStringLiteral("QSpinBox { background: silver; color: gray; }"));
}

int TNameForm::timeMinutes() const
{
    return std::clamp(SpinEdit1->value(), SpinEdit1->minimum(), SpinEdit1->maximum());
}

int TNameForm::questionCount() const
{
    return std::clamp(SpinEdit2->value(), SpinEdit2->minimum(), SpinEdit2->maximum());
}

QString TNameForm::candidateName() const
{
    return NameEdit->text();
}

void TNameForm::setTimeMinutes(int minutes)
{
    // The box keeps its range; a default above 600 shows as 600.
    SpinEdit1->setValue(std::clamp(minutes, SpinEdit1->minimum(), SpinEdit1->maximum()));
}

void TNameForm::FormActivate()
{
    DateLabel->setText(
        QStringLiteral("Date: ") +
        QLocale::system().toString(dateFromDays(m_services.now()), QLocale::ShortFormat));
}

void TNameForm::showEvent(QShowEvent* event)
{
    FormActivate();
    NameEdit->setFocus();
    NameEdit->selectAll();
    QDialog::showEvent(event);
}

void TNameForm::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
    QDialog::changeEvent(event);
}

} // namespace session
