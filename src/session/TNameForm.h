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
class TNameForm final : public QDialog {
    Q_OBJECT
public:
    explicit TNameForm(platform::Services& services, QWidget* parent = nullptr);

    // Sets the question-count box's maximum and value to the number of
    // candidates, and enables it (white) or disables it (silver).
    void setQuestionCount(int candidates, bool enabled);
    // The values as read: a value out of range comes back at the nearest bound.
    int timeMinutes() const;
    int questionCount() const;
    QString candidateName() const;
    void setTimeMinutes(int minutes);

    QLabel* DateLabel;
    QLineEdit* NameEdit;
    QSpinBox* SpinEdit1;
    QLabel* Label4;
    QSpinBox* SpinEdit2;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void FormActivate();
    platform::Services& m_services;
};

} // namespace session
