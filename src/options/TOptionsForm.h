#pragma once

#include "Options.h"

#include <QDialog>
#include <QGroupBox>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QToolButton;

namespace platform {
class Services;
}

namespace options {

// A captioned group of radio buttons of which one is chosen. A selection made
// from code reports itself as a click does.
class RadioGroup final : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString& caption, const QStringList& items, QWidget* parent = nullptr);

    int itemIndex() const;
    void setItemIndex(int index);
    QRadioButton* item(int index) const;

signals:
    void clicked(int index);

private:
    QButtonGroup* m_buttons;
};

// The options dialog. It edits the option values of the exam window in
// place: a font change shows at once (fontsChanged), everything else is
// written back and saved only when OK is pressed.
class TOptionsForm final : public QDialog {
    Q_OBJECT
public:
    explicit TOptionsForm(platform::Services& services, QWidget* parent = nullptr);

    using QDialog::open;
    // Starts the dialog from values, which must outlive the dialog's run. The
    // fonts of values are changed directly.
    void open(OptionValues& values);

    // The dialog's own flags, following the radio groups.
    bool learnFlag() const { return m_learn; }
    bool calcFlag() const { return m_calc; }
    bool timerFlag() const { return m_timer; }

    // Handlers.
    void FormActivate();
    void ListBox1Click();
    void BitBtn3Click();
    void LearnBtnGroupClick();
    void CalcBtnGroupClick();
    void TimerGroupClick();
    void SpeedButton1Click();
    void BitBtn1Click();

    // Controls, named as in the window's description.
    QGroupBox* GroupBox1 = nullptr;
    QListWidget* ListBox1 = nullptr;
    QPushButton* BitBtn3 = nullptr;
    QLabel* Panel1 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    RadioGroup* LearnBtnGroup = nullptr;
    RadioGroup* CalcBtnGroup = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    RadioGroup* TimerGroup = nullptr;
    QLabel* Label2 = nullptr;
    QSpinBox* SpinEdit1 = nullptr;
    QPushButton* BitBtn1 = nullptr;

signals:
    // A font of the values was changed; the owner of the values shows it.
    void fontsChanged();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildFontGroup();
    void buildPages();
    FontOption* selectedFont() const;
    int timeFromField() const;

    platform::Services& m_services;
    OptionValues* m_values = nullptr;
    bool m_learn = false;
    bool m_calc = true;
    bool m_timer = true;
};

} // namespace options
