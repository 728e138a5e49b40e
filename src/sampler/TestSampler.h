#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>

class QAction;
class QComboBox;
class QLabel;
class QListWidget;
class QMenu;
class QMenuBar;
class QPushButton;
class QSplitter;
class QStatusBar;
class QTabWidget;
class QToolBar;

namespace widgets {
class DBCheckBox;
class DBEdit;
class DBList;
class DBMemo;
class DBNavigator;
class ShadowLabel;
struct ColourScheme;
} // namespace widgets

namespace platform {
class Services;
} // namespace platform

namespace store {
class Table;
} // namespace store

namespace sampler {

class SamplerData;

// The editor of the user question set. It opens SamplerData's handle on the set
// while it is shown and closes it when it is hidden.
class TestSampler final : public QDialog {
    Q_OBJECT
public:
    TestSampler(platform::Services& services, SamplerData& dm, QWidget* parent = nullptr);

    QString panelText(int index) const;
    QString headerText() const;
    // The high-contrast scheme, or null for the design's colours.
    void setColourScheme(const widgets::ColourScheme* scheme);

    QMenuBar* m_menuBar;
    QAction* m_importAction;
    QAction* m_exportAction;
    QAction* m_exitAction;
    QAction* m_emptySetAction;
    QAction* m_aboutAction;
    QAction* m_addItemAction;
    QAction* m_editItemAction;
    QAction* m_deleteItemAction;
    QToolBar* m_toolBar;
    QMenu* m_listMenu;
    QSplitter* m_splitter;
    widgets::DBList* m_itemList;
    QWidget* m_headerPanel;
    widgets::ShadowLabel* m_headerLabel;
    QTabWidget* m_pages;
    QWidget* m_questionTab;
    QWidget* m_typeTab;
    QWidget* m_choicesTab;
    QWidget* m_explanationTab;
    widgets::DBMemo* m_questionEdit; // Q_TEXT
    QComboBox* m_typeBox;            // Q_TYPE
    QListWidget* m_sectionList;      // Q_SECT
    widgets::DBEdit* m_choiceEdits[6];
    widgets::DBCheckBox* m_keyBoxes[6];
    widgets::DBMemo* m_explanationEdit; // Q_EXPL
    widgets::DBNavigator* m_navigator;
    QPushButton* m_saveButton;   // Save
    QPushButton* m_cancelButton; // Cancel
    QStatusBar* m_statusBar;
    QLabel* m_statusPanels[4];

signals:
    void aboutRequested();

public slots:
    void saveItem();
    void cancelEdit();
    void addItem();
    void editItem();
    void deleteItem();
    void emptyQuestionSet();
    void typeChanged();
    void sectionChosen();
    void typeTabEntered();
    void pagesResized();
    void closeSampler();
    void showAbout();
    void importQuestions();
    void exportQuestions();
    void userSetStateChanged();
    void userSetDataChanged();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void nameControls();
    // What the current record still lacks to be answered right, one sentence
    // each; empty for a finished item.
    QStringList draftGaps() const;
    void itemPosted();
    void buildMenus();
    void buildExchangeActions(QMenu* file);
    // Reads the user set afresh, so that the window shows what its file
    // holds, as after an import that was undone.
    void showStoredSet();
    QWidget* buildRightSide();
    QWidget* buildQuestionTab();
    QWidget* buildTypeTab();
    QWidget* buildChoicesTab();
    QWidget* buildExplanationTab();
    QWidget* buildBottomBand();
    void bindControls();

    void initialise();
    void prepareShowing();
    void finishClosing();
    void enableActions(bool flag);
    bool run(const std::function<void()>& action);
    bool editing() const;
    void setPanel(int index, const QString& text);

    platform::Services& m_services;
    SamplerData& m_dm;
    store::Table& m_table;
    // Set while the type box and the section list are set from the record,
    // so that only the user's choices start an edit.
    bool m_loading = false;
};

} // namespace sampler
