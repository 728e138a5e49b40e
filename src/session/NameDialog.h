#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace platform {
class Services;
}

namespace session {

// The dialog before every exam: the candidate's name, the exam time and, for
// the random exam, the number of questions.
class NameDialog final : public QDialog {
    Q_OBJECT
public:
    explicit NameDialog(platform::Services& services, QWidget* parent = nullptr);

    // Sets the question-count box's maximum and value to the number of
    // candidates, and enables it (white) or disables it (silver).
    void setQuestionCount(int candidates, bool enabled);
    // The values as read: a value out of range comes back at the nearest bound.
    int timeMinutes() const;
    int questionCount() const;
    QString candidateName() const;
    void setTimeMinutes(int minutes);

    QLabel* m_dateLabel;
    QLineEdit* m_nameEdit;
    QSpinBox* m_timeBox;
    QLabel* m_questionCountLabel;
    QSpinBox* m_questionCountBox;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void prepareFields();
    platform::Services& m_services;
};

} // namespace session
