#include "NameDialog.h"

#include "BoundedSpinBox.h"
#include "Services.h"

#include <QDate>
#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QStyleHints>
#include <algorithm>
#include <cmath>
#include <optional>

namespace session {

using widgets::BoundedSpinBox;

namespace {

// Swallows the rest of a double click whose first click opened the dialog:
// its second press would otherwise land on whatever lies under the pointer,
// OK at some window sizes, and start the exam unseen. A click is the
// dialog's only when its press comes later than a double click could.
class StrayClickGuard final : public QObject {
public:
    explicit StrayClickGuard(QWidget* dialog) : QObject(dialog), m_dialog(dialog)
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Show:
            if (watched == m_dialog) {
                m_openedBy = m_lastPress;
                m_swallowing = false;
            }
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (!widget)
                break;
            const quint64 at = static_cast<QMouseEvent*>(event)->timestamp();
            const bool inside = m_dialog->isVisible() && m_dialog->isAncestorOf(widget);
            if (inside && m_openedBy && at >= *m_openedBy &&
                at - *m_openedBy <=
                    quint64(QGuiApplication::styleHints()->mouseDoubleClickInterval())) {
                m_swallowing = true;
                return true;
            }
            if (event->type() == QEvent::MouseButtonPress) {
                m_lastPress = at;
                if (inside)
                    m_openedBy.reset();
            }
            break;
        }
        case QEvent::MouseButtonRelease:
            if (m_swallowing && qobject_cast<QWidget*>(watched) &&
                m_dialog->isAncestorOf(static_cast<QWidget*>(watched))) {
                m_swallowing = false;
                return true;
            }
            break;
        default:
            break;
        }
        return false;
    }

private:
    QWidget* m_dialog;
    std::optional<quint64> m_lastPress;
    std::optional<quint64> m_openedBy;
    bool m_swallowing = false;
};

QDate dateFromDays(double days)
{
    return QDate(1899, 12, 30).addDays(static_cast<qint64>(std::floor(days)));
}

} // namespace

NameDialog::NameDialog(platform::Services& services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_services(services)
{
    setObjectName(QStringLiteral("nameDialog"));
    setFixedSize(305, 204);

    m_dateLabel = new QLabel(this);
    m_dateLabel->setObjectName(QStringLiteral("dateLabel"));
    m_dateLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_dateLabel->setGeometry(120, 10, 175, 18);

    auto* nameLabel = new QLabel(QStringLiteral("Your &Name: "), this);
    nameLabel->setGeometry(16, 44, 110, 21);
    m_nameEdit = new QLineEdit(QStringLiteral("Your Name"), this);
    m_nameEdit->setObjectName(QStringLiteral("nameEdit"));
    m_nameEdit->setGeometry(140, 44, 150, 23);
    nameLabel->setBuddy(m_nameEdit);

    auto* timeLabel = new QLabel(QStringLiteral("&Time (min):"), this);
    timeLabel->setGeometry(16, 78, 110, 21);
    m_timeBox = new BoundedSpinBox(this);
    m_timeBox->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    m_timeBox->setObjectName(QStringLiteral("timeBox"));
    m_timeBox->setRange(1, 600);
    m_timeBox->setValue(90);
    m_timeBox->setGeometry(140, 78, 70, 23);
    timeLabel->setBuddy(m_timeBox);

    m_questionCountLabel = new QLabel(QStringLiteral("Number of &questions:"), this);
    m_questionCountLabel->setObjectName(QStringLiteral("questionCountLabel"));
    m_questionCountLabel->setGeometry(16, 112, 122, 21);
    m_questionCountBox = new BoundedSpinBox(this);
    m_questionCountBox->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    m_questionCountBox->setObjectName(QStringLiteral("questionCountBox"));
    m_questionCountBox->setRange(1, 1);
    m_questionCountBox->setGeometry(140, 112, 70, 23);
    m_questionCountLabel->setBuddy(m_questionCountBox);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(8, 150, 289, 2);

    m_okButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                                 QStringLiteral("OK"), this);
    m_okButton->setObjectName(QStringLiteral("okButton"));
    m_okButton->setDefault(true);
    m_okButton->setGeometry(130, 164, 80, 28);
    m_cancelButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                                     QStringLiteral("Cancel"), this);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_cancelButton->setGeometry(216, 164, 80, 28);
    connect(m_okButton, &QPushButton::clicked, this, [this] {
        // A value still being typed counts as typed, within the bounds.
        m_timeBox->interpretText();
        m_questionCountBox->interpretText();
        accept();
    });
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    setQuestionCount(1, false);
    new StrayClickGuard(this);
}

void NameDialog::setQuestionCount(int candidates, bool enabled)
{
    const int max = std::max(1, candidates);
    m_questionCountBox->setRange(1, max);
    m_questionCountBox->setValue(max);
    m_questionCountLabel->setEnabled(enabled);
    m_questionCountBox->setEnabled(enabled);
    m_questionCountBox->setStyleSheet(
        enabled ? QStringLiteral("QSpinBox { background: white; color: black; }")
                : QStringLiteral("QSpinBox { background: silver; color: gray; }"));
}

int NameDialog::timeMinutes() const
{
    return std::clamp(m_timeBox->value(), m_timeBox->minimum(), m_timeBox->maximum());
}

int NameDialog::questionCount() const
{
    return std::clamp(m_questionCountBox->value(), m_questionCountBox->minimum(),
                      m_questionCountBox->maximum());
}

QString NameDialog::candidateName() const
{
    return m_nameEdit->text();
}

void NameDialog::setTimeMinutes(int minutes)
{
    // The box keeps its range; a default above 600 shows as 600.
    m_timeBox->setValue(std::clamp(minutes, m_timeBox->minimum(), m_timeBox->maximum()));
}

void NameDialog::prepareFields()
{
    m_dateLabel->setText(
        QStringLiteral("Date: ") +
        QLocale::system().toString(dateFromDays(m_services.now()), QLocale::ShortFormat));
}

void NameDialog::showEvent(QShowEvent* event)
{
    prepareFields();
    m_nameEdit->setFocus();
    m_nameEdit->selectAll();
    QDialog::showEvent(event);
}

void NameDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        prepareFields();
    QDialog::changeEvent(event);
}

} // namespace session
