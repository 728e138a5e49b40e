#pragma once

#include <QDialog>
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

namespace platform {
class Services;
class ShadowLabel;
} // namespace platform

namespace store {
class DBCheckBox;
class DBEdit;
class DBList;
class DBMemo;
class DBNavigator;
class Table;
} // namespace store

namespace sampler {

class TDM;

// The editor of the user question set. It opens TDM's handle on the set
// while it is shown and closes it when it is hidden.
class TSamplerForm final : public QDialog {
    Q_OBJECT
public:
    TSamplerForm(platform::Services& services, TDM& dm, QWidget* parent = nullptr);

    QString panelText(int index) const;
    QString headerText() const;

    QMenuBar* MainMenu1;
    QAction* Exit1;
    QAction* Emptyquestionset1;
    QAction* About1;
    QAction* AddAct;
    QAction* EditAct;
    QAction* DelAct;
    QToolBar* ToolBar1;
    QMenu* PopupMenu1;
    QSplitter* Splitter1;
    store::DBList* DBList1;
    QWidget* HeaderPanel;
    platform::ShadowLabel* HeaderLabel;
    QTabWidget* PageControl1;
    QWidget* TabSheet1;
    QWidget* TabSheet2;
    QWidget* TabSheet3;
    QWidget* TabSheet4;
    store::DBMemo* DBMemo1; // Q_TEXT
    QComboBox* ComboBox1;   // Q_TYPE
    QListWidget* ListBox1;  // Q_SECT
    store::DBEdit* DBEdit[6];
    store::DBCheckBox* DBCheckBox[6];
    store::DBMemo* DBMemo2; // Q_EXPL
    store::DBNavigator* DBNavigator1;
    QPushButton* BitBtn1; // Save
    QPushButton* BitBtn2; // Cancel
    QStatusBar* StatusBar1;
    QLabel* Panels[4];

signals:
    void aboutRequested();

public slots:
    void BitBtn1Click();
    void BitBtn2Click();
    void AddActExecute();
    void EditActExecute();
    void DelActExecute();
    void Emptyquestionset1Click();
    void ComboBox1Change();
    void ListBox1Click();
    void TabSheet2Enter();
    void PageControl1Resize();
    void Exit1Click();
    void About1Click();
    void dsUserSetStateChange();
    void dsUserSetDataChange();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    QWidget* buildRightSide();
    QWidget* buildQuestionTab();
    QWidget* buildTypeTab();
    QWidget* buildChoicesTab();
    QWidget* buildExplanationTab();
    QWidget* buildBottomBand();
    void bindControls();

    void FormCreate();
    void FormShow();
    void FormClose();
    void EnableActions(bool flag);
    bool run(const std::function<void()>& action);
    bool editing() const;
    void setPanel(int index, const QString& text);

    platform::Services& m_services;
    TDM& m_dm;
    store::Table& m_table;
    // Set while the type box and the section list are set from the record,
    // so that only the user's choices start an edit.
    bool m_loading = false;
};

} // namespace sampler
