// The sampler's window: menus, tool bar, item list, header, tabs, bottom band
// and status bar. Its behaviour lives in SamplerActions.cpp.
#include "TestSampler.h"

#include "Accessibility.h"
#include "BoundControls.h"
#include "Contrast.h"
#include "DataSource.h"
#include "ErrorReport.h"
#include "SamplerData.h"
#include "ShadowLabel.h"
#include "Table.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace sampler {

namespace {

constexpr int kChoiceLeft = 44;
constexpr int kChoiceTop = 34;
constexpr int kChoiceStep = 30;

QIcon commandIcon(const QWidget* w, const char* themeName, QStyle::StandardPixmap fallback)
{
    return QIcon::fromTheme(QLatin1String(themeName), w->style()->standardIcon(fallback));
}

// The section list. Gaining the focus, a plain list makes its first row
// current, which looks chosen and reported a change of section; this one
// keeps "no section" as it is until the user picks a row.
class SectionList final : public QListWidget {
public:
    using QListWidget::QListWidget;

protected:
    void focusInEvent(QFocusEvent* event) override
    {
        const bool hadCurrent = currentIndex().isValid();
        QListWidget::focusInEvent(event);
        if (!hadCurrent && selectedItems().isEmpty())
            selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }
};

QLabel* caption(const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setWordWrap(true);
    return l;
}

} // namespace

TestSampler::TestSampler(platform::Services& services, SamplerData& dm, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      m_services(services), m_dm(dm), m_table(dm.userSet())
{
    setObjectName(QStringLiteral("testSampler"));
    setWindowTitle(QStringLiteral("Quizlark Test Sampler"));
    setSizeGripEnabled(false);
    setMinimumSize(646, 462);
    resize(646, 481);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    buildMenus();
    outer->setMenuBar(m_menuBar);

    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->addAction(m_addItemAction);
    m_toolBar->addAction(m_editItemAction);
    m_toolBar->addAction(m_deleteItemAction);
    outer->addWidget(m_toolBar);

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName(QStringLiteral("splitter"));
    m_splitter->setChildrenCollapsible(false);
    m_itemList = new widgets::DBList(m_splitter);
    m_itemList->setObjectName(QStringLiteral("itemList"));
    m_itemList->setMinimumWidth(40);
    m_itemList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_itemList, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        m_listMenu->popup(m_itemList->viewport()->mapToGlobal(at));
    });
    m_splitter->addWidget(m_itemList);
    m_splitter->addWidget(buildRightSide());
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({125, 646 - 125});
    outer->addWidget(m_splitter, 1);

    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("statusBar"));
    m_statusBar->setSizeGripEnabled(true);
    const int widths[4] = {70, 80, 100, 100};
    for (int i = 0; i < 4; ++i) {
        m_statusPanels[i] = new QLabel(m_statusBar);
        m_statusPanels[i]->setObjectName(QStringLiteral("statusPanel%1").arg(i));
        m_statusPanels[i]->setFixedWidth(widths[i]);
        m_statusPanels[i]->setFrameShape(QFrame::StyledPanel);
        m_statusPanels[i]->setFrameShadow(QFrame::Sunken);
        m_statusBar->addWidget(m_statusPanels[i]);
    }
    outer->addWidget(m_statusBar);

    nameControls();
    bindControls();
    initialise();
}

void TestSampler::buildMenus()
{
    m_addItemAction = new QAction(commandIcon(this, "document-new", QStyle::SP_FileIcon),
                                  QStringLiteral("&Add new item"), this);
    m_addItemAction->setObjectName(QStringLiteral("addItemAction"));
    m_editItemAction =
        new QAction(commandIcon(this, "document-edit", QStyle::SP_FileDialogDetailedView),
                    QStringLiteral("&Edit item"), this);
    m_editItemAction->setObjectName(QStringLiteral("editItemAction"));
    m_deleteItemAction = new QAction(commandIcon(this, "edit-delete", QStyle::SP_TrashIcon),
                                     QStringLiteral("&Delete Item"), this);
    m_deleteItemAction->setObjectName(QStringLiteral("deleteItemAction"));
    connect(m_addItemAction, &QAction::triggered, this, &TestSampler::addItem);
    connect(m_editItemAction, &QAction::triggered, this, &TestSampler::editItem);
    connect(m_deleteItemAction, &QAction::triggered, this, &TestSampler::deleteItem);

    m_menuBar = new QMenuBar(this);
    m_menuBar->setObjectName(QStringLiteral("menuBar"));
    QMenu* file = m_menuBar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("fileMenu"));
    buildExchangeActions(file);
    m_exitAction = file->addAction(QStringLiteral("E&xit"));
    m_exitAction->setObjectName(QStringLiteral("exitAction"));
    connect(m_exitAction, &QAction::triggered, this, &TestSampler::closeSampler);

    QMenu* items = m_menuBar->addMenu(QStringLiteral("&Items"));
    items->setObjectName(QStringLiteral("itemsMenu"));
    items->addAction(m_addItemAction);
    items->addAction(m_editItemAction);
    items->addAction(m_deleteItemAction);
    items->addSeparator();
    m_emptySetAction = items->addAction(QStringLiteral("E&mpty question set"));
    m_emptySetAction->setObjectName(QStringLiteral("emptySetAction"));
    connect(m_emptySetAction, &QAction::triggered, this, &TestSampler::emptyQuestionSet);

    QMenu* help = m_menuBar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("helpMenu"));
    m_aboutAction = help->addAction(QStringLiteral("A&bout"));
    m_aboutAction->setObjectName(QStringLiteral("aboutAction"));
    connect(m_aboutAction, &QAction::triggered, this, &TestSampler::showAbout);

    m_listMenu = new QMenu(this);
    m_listMenu->setObjectName(QStringLiteral("listMenu"));
    m_listMenu->addAction(m_addItemAction);
    m_listMenu->addAction(m_editItemAction);
    m_listMenu->addAction(m_deleteItemAction);
}

void TestSampler::nameControls()
{
    widgets::installAccessibleFactories();
    m_itemList->setAccessibleName(QStringLiteral("Items"));
    m_questionEdit->setAccessibleName(QStringLiteral("Question text"));
    m_explanationEdit->setAccessibleName(QStringLiteral("Explanation text"));
    m_typeBox->setAccessibleName(QStringLiteral("Item type"));
    m_typeBox->view()->setAccessibleName(QStringLiteral("Item types"));
    m_pages->setAccessibleName(QStringLiteral("Item pages"));
    m_sectionList->setAccessibleName(QStringLiteral("Item section"));
    for (int i = 0; i < 6; ++i)
        m_choiceEdits[i]->setAccessibleName(QStringLiteral("Choice %1").arg(QChar(u'a' + i)));
    const char* const hints[4] = {"First item", "Prior item", "Next item", "Last item"};
    for (int i = 0; i < 4; ++i)
        m_navigator->button(i)->setAccessibleName(QLatin1String(hints[i]));
}

void TestSampler::setColourScheme(const widgets::ColourScheme* scheme)
{
    widgets::applySchemePalette(this, scheme);
    if (scheme) {
        QPalette band = m_headerPanel->palette();
        band.setColor(QPalette::Window, scheme->bannerBackground);
        m_headerPanel->setPalette(band);
        m_headerLabel->setTextColour(scheme->bannerText);
        m_headerLabel->setShadowColour(Qt::transparent);
    } else {
        m_headerLabel->setTextColour(QColor(0, 255, 255));
        m_headerLabel->setShadowColour(Qt::black);
    }
}

QWidget* TestSampler::buildRightSide()
{
    auto* right = new QWidget(this);
    auto* v = new QVBoxLayout(right);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);

    m_headerPanel = new QWidget(right);
    m_headerPanel->setObjectName(QStringLiteral("headerPanel"));
    m_headerPanel->setAutoFillBackground(true);
    QPalette grey = m_headerPanel->palette();
    // A grey on which the aqua heading reads at 5:1.
    grey.setColor(QPalette::Window, QColor(96, 96, 96));
    m_headerPanel->setPalette(grey);
    auto* hv = new QHBoxLayout(m_headerPanel);
    hv->setContentsMargins(8, 4, 8, 4);
    m_headerLabel = new widgets::ShadowLabel(QString(), m_headerPanel);
    m_headerLabel->setObjectName(QStringLiteral("headerLabel"));
    QFont verdana(QStringLiteral("Verdana"));
    verdana.setPointSizeF(12);
    verdana.setBold(true);
    m_headerLabel->setFont(verdana);
    m_headerLabel->setTextColour(QColor(0, 255, 255));
    m_headerLabel->setShadowColour(Qt::black);
    m_headerLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_headerLabel->setTextFormat(Qt::PlainText);
    hv->addWidget(m_headerLabel, 1);
    v->addWidget(m_headerPanel);

    m_pages = new QTabWidget(right);
    m_pages->setObjectName(QStringLiteral("pages"));
    m_questionTab = buildQuestionTab();
    m_typeTab = buildTypeTab();
    m_choicesTab = buildChoicesTab();
    m_explanationTab = buildExplanationTab();
    m_pages->addTab(m_questionTab, QStringLiteral("Test question"));
    m_pages->addTab(m_typeTab, QStringLiteral("Type, Section"));
    m_pages->addTab(m_choicesTab, QStringLiteral("Responce choices"));
    m_pages->addTab(m_explanationTab, QStringLiteral("Explanation"));
    m_pages->installEventFilter(this);
    m_choicesTab->installEventFilter(this);
    connect(m_pages, &QTabWidget::currentChanged, this, [this](int index) {
        if (m_pages->widget(index) == m_typeTab)
            typeTabEntered();
        pagesResized();
    });
    v->addWidget(m_pages, 1);

    v->addWidget(buildBottomBand());
    return right;
}

QWidget* TestSampler::buildQuestionTab()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("questionTab"));
    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(8, 8, 8, 8);
    v->addWidget(caption(QStringLiteral("Enter the question text in the box bellow."), page));
    m_questionEdit = new widgets::DBMemo(page);
    m_questionEdit->setObjectName(QStringLiteral("questionEdit"));
    m_questionEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    v->addWidget(m_questionEdit, 1);
    return page;
}

QWidget* TestSampler::buildTypeTab()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("typeTab"));
    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(8, 8, 8, 8);
    v->addWidget(caption(QStringLiteral("Select item type:"), page));
    m_typeBox = new QComboBox(page);
    m_typeBox->setObjectName(QStringLiteral("typeBox"));
    m_typeBox->addItem(QStringLiteral("Single responce"));
    m_typeBox->addItem(QStringLiteral("Multiple responces"));
    m_typeBox->setMinimumWidth(220);
    auto* row = new QHBoxLayout;
    row->addWidget(m_typeBox);
    row->addStretch(1);
    v->addLayout(row);
    v->addSpacing(12);
    v->addWidget(caption(QStringLiteral("Select item section:"), page));
    m_sectionList = new SectionList(page);
    m_sectionList->setObjectName(QStringLiteral("sectionList"));
    m_sectionList->setSelectionMode(QAbstractItemView::SingleSelection);
    v->addWidget(m_sectionList, 1);
    connect(m_typeBox, &QComboBox::activated, this, [this] {
        if (!m_loading)
            typeChanged();
    });
    // A chosen row, not a current one: the focus alone chooses nothing.
    connect(m_sectionList, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_loading && !m_sectionList->selectedItems().isEmpty())
            sectionChosen();
    });
    return page;
}

QWidget* TestSampler::buildChoicesTab()
{
    // Placed by hand: the fields' widths follow the page, as their rule says.
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("choicesTab"));
    auto* text =
        caption(QStringLiteral("Enter the responce choices and mark the correct choice(s)."), page);
    text->setGeometry(8, 8, 560, 20);
    text->setWordWrap(false);
    const QString letters = QStringLiteral("abcdef");
    for (int i = 0; i < 6; ++i) {
        m_keyBoxes[i] = new widgets::DBCheckBox(letters.mid(i, 1) + QLatin1Char('.'), page);
        m_keyBoxes[i]->setObjectName(QStringLiteral("keyBox%1").arg(i + 1));
        m_keyBoxes[i]->setGeometry(8, kChoiceTop + i * kChoiceStep + 2, kChoiceLeft - 10, 20);
        m_choiceEdits[i] = new widgets::DBEdit(page);
        m_choiceEdits[i]->setObjectName(QStringLiteral("choiceEdit%1").arg(i + 1));
        m_choiceEdits[i]->setGeometry(kChoiceLeft, kChoiceTop + i * kChoiceStep, 300, 24);
    }
    return page;
}

QWidget* TestSampler::buildExplanationTab()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("explanationTab"));
    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(8, 8, 8, 8);
    v->addWidget(caption(QStringLiteral("Enter the explanation text."), page));
    m_explanationEdit = new widgets::DBMemo(page);
    m_explanationEdit->setObjectName(QStringLiteral("explanationEdit"));
    m_explanationEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    v->addWidget(m_explanationEdit, 1);
    return page;
}

QWidget* TestSampler::buildBottomBand()
{
    auto* band = new QWidget(this);
    band->setObjectName(QStringLiteral("bottomBand"));
    auto* row = new QHBoxLayout(band);
    row->setContentsMargins(6, 6, 6, 6);
    m_navigator = new widgets::DBNavigator(band);
    m_navigator->setObjectName(QStringLiteral("navigator"));
    m_navigator->setHints({QStringLiteral("First item"), QStringLiteral("Prior item"),
                           QStringLiteral("Next item"), QStringLiteral("Last item")});
    row->addWidget(m_navigator);
    row->addStretch(1);
    m_saveButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogSaveButton),
                                   QStringLiteral("Save"), band);
    m_saveButton->setObjectName(QStringLiteral("saveButton"));
    m_cancelButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                                     QStringLiteral("Cancel"), band);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    for (QPushButton* b : {m_saveButton, m_cancelButton}) {
        b->setMinimumWidth(80);
        b->setAutoDefault(false);
        row->addWidget(b);
    }
    m_saveButton->setDefault(true);
    connect(m_saveButton, &QPushButton::clicked, this, &TestSampler::saveItem);
    connect(m_cancelButton, &QPushButton::clicked, this, &TestSampler::cancelEdit);
    return band;
}

void TestSampler::bindControls()
{
    store::DataSource* ds = m_dm.userSetSource();
    const widgets::ActionRunner runner = [this](const std::function<void()>& action) {
        run(action);
    };
    m_questionEdit->bind(ds, QStringLiteral("Q_TEXT"));
    m_questionEdit->setRunner(runner);
    m_explanationEdit->bind(ds, QStringLiteral("Q_EXPL"));
    m_explanationEdit->setRunner(runner);
    for (int i = 0; i < 6; ++i) {
        m_choiceEdits[i]->bind(ds, QStringLiteral("Q%1").arg(i + 1));
        m_choiceEdits[i]->setRunner(runner);
        m_keyBoxes[i]->bind(ds, QStringLiteral("A%1").arg(i + 1));
        m_keyBoxes[i]->setRunner(runner);
    }
    m_navigator->setDataSource(ds);
    m_navigator->setRunner(runner);
    m_itemList->bind(ds, QStringLiteral("Q_ID"));
    m_itemList->setRunner(runner);
    // Connected after the bound controls, so that the handlers see the
    // controls already showing the new record.
    connect(ds, &store::DataSource::stateChanged, this, &TestSampler::userSetStateChanged);
    connect(ds, &store::DataSource::dataChanged, this, &TestSampler::userSetDataChanged);
    connect(ds, &store::DataSource::recordPosted, this, &TestSampler::itemPosted);
}

QString TestSampler::panelText(int index) const
{
    return m_statusPanels[index]->text();
}

QString TestSampler::headerText() const
{
    return m_headerLabel->text();
}

void TestSampler::setPanel(int index, const QString& text)
{
    m_statusPanels[index]->setText(text);
}

} // namespace sampler
