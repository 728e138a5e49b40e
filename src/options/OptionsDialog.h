#pragma once

#include "Options.h"

#include <QDialog>
#include <QGroupBox>

class QButtonGroup;
class QCheckBox;
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
class OptionsDialog final : public QDialog {
    Q_OBJECT
public:
    explicit OptionsDialog(platform::Services& services, QWidget* parent = nullptr);

    using QDialog::open;
    // Starts the dialog from values, which must outlive the dialog's run. The
    // fonts of values are changed directly.
    void open(OptionValues& values);

    // The dialog's own flags, following the radio groups.
    bool learnFlag() const { return m_learn; }
    bool calcFlag() const { return m_calc; }
    bool timerFlag() const { return m_timer; }

    // Handlers.
    void loadValues();
    void showSelectedFont();
    void changeFont();
    void changeColour();
    void takeLearnChoice();
    void takeCalcChoice();
    void takeTimerChoice();
    void browseCalculator();
    void saveAndClose();

    // Controls, named as in the window's description.
    QGroupBox* m_fontGroup = nullptr;
    QListWidget* m_fontList = nullptr;
    QPushButton* m_changeFontButton = nullptr;
    QLabel* m_fontExample = nullptr;
    QPushButton* m_changeColourButton = nullptr;
    QTabWidget* m_pages = nullptr;
    RadioGroup* m_learnButtonGroup = nullptr;
    RadioGroup* m_calcButtonGroup = nullptr;
    QLabel* m_calcPathLabel = nullptr;
    QLineEdit* m_calcPathEdit = nullptr;
    QToolButton* m_browseButton = nullptr;
    RadioGroup* m_timerGroup = nullptr;
    QLabel* m_defaultTimeLabel = nullptr;
    QSpinBox* m_defaultTimeBox = nullptr;
    QPushButton* m_okButton = nullptr;
    QCheckBox* m_highContrastBox = nullptr;

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
