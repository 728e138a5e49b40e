// The sampler's window: menus, tool bar, item list, header, tabs, bottom band
// and status bar. Its behaviour lives in SamplerActions.cpp.
#include "TSamplerForm.h"

#include "BoundControls.h"
#include "DataSource.h"
#include "ErrorReport.h"
#include "ShadowLabel.h"
#include "TDM.h"
#include "Table.h"

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

QLabel* caption(const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setWordWrap(true);
    return l;
}

} // namespace

TSamplerForm::TSamplerForm(platform::Services& services, TDM& dm, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      m_services(services), m_dm(dm), m_table(dm.dtUserSet())
{
    setObjectName(QStringLiteral("SamplerForm"));
    setWindowTitle(QStringLiteral("Quizlark Test Sampler"));
    setSizeGripEnabled(false);
    setMinimumSize(646, 462);
    resize(646, 481);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    buildMenus();
    outer->setMenuBar(MainMenu1);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->addAction(AddAct);
    ToolBar1->addAction(EditAct);
    ToolBar1->addAction(DelAct);
    outer->addWidget(ToolBar1);

    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setChildrenCollapsible(false);
    DBList1 = new store::DBList(Splitter1);
    DBList1->setObjectName(QStringLiteral("DBList1"));
    DBList1->setMinimumWidth(40);
    DBList1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBList1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(DBList1->viewport()->mapToGlobal(at)); });
    Splitter1->addWidget(DBList1);
    Splitter1->addWidget(buildRightSide());
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({125, 646 - 125});
    outer->addWidget(Splitter1, 1);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(true);
    const int widths[4] = {70, 80, 100, 100};
    for (int i = 0; i < 4; ++i) {
        Panels[i] = new QLabel(StatusBar1);
        Panels[i]->setObjectName(QStringLiteral("Panel%1").arg(i));
        Panels[i]->setFixedWidth(widths[i]);
        Panels[i]->setFrameShape(QFrame::StyledPanel);
        Panels[i]->setFrameShadow(QFrame::Sunken);
        StatusBar1->addWidget(Panels[i]);
    }
    outer->addWidget(StatusBar1);

    bindControls();
    FormCreate();
}

void TSamplerForm::buildMenus()
{
    AddAct = new QAction(commandIcon(this, "document-new", QStyle::SP_FileIcon),
                         QStringLiteral("&Add new item"), this);
    AddAct->setObjectName(QStringLiteral("AddAct"));
    EditAct = new QAction(commandIcon(this, "document-edit", QStyle::SP_FileDialogDetailedView),
                          QStringLiteral("&Edit item"), this);
    EditAct->setObjectName(QStringLiteral("EditAct"));
    DelAct = new QAction(commandIcon(this, "edit-delete", QStyle::SP_TrashIcon),
                         QStringLiteral("&Delete Item"), this);
    DelAct->setObjectName(QStringLiteral("DelAct"));
    connect(AddAct, &QAction::triggered, this, &TSamplerForm::AddActExecute);
    connect(EditAct, &QAction::triggered, this, &TSamplerForm::EditActExecute);
    connect(DelAct, &QAction::triggered, this, &TSamplerForm::DelActExecute);

    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    QMenu* file = MainMenu1->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    Exit1 = file->addAction(QStringLiteral("E&xit"));
    Exit1->setObjectName(QStringLiteral("Exit1"));
    connect(Exit1, &QAction::triggered, this, &TSamplerForm::Exit1Click);

    QMenu* items = MainMenu1->addMenu(QStringLiteral("&Items"));
    items->setObjectName(QStringLiteral("Items1"));
    items->addAction(AddAct);
    items->addAction(EditAct);
    items->addAction(DelAct);
    items->addSeparator();
    Emptyquestionset1 = items->addAction(QStringLiteral("E&mpty question set"));
    Emptyquestionset1->setObjectName(QStringLiteral("Emptyquestionset1"));
    connect(Emptyquestionset1, &QAction::triggered, this, &TSamplerForm::Emptyquestionset1Click);

    QMenu* help = MainMenu1->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    About1 = help->addAction(QStringLiteral("A&bout"));
    About1->setObjectName(QStringLiteral("About1"));
    connect(About1, &QAction::triggered, this, &TSamplerForm::About1Click);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->addAction(AddAct);
    PopupMenu1->addAction(EditAct);
    PopupMenu1->addAction(DelAct);
}

QWidget* TSamplerForm::buildRightSide()
{
    auto* right = new QWidget(this);
    auto* v = new QVBoxLayout(right);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);

    HeaderPanel = new QWidget(right);
    HeaderPanel->setObjectName(QStringLiteral("HeaderPanel"));
    HeaderPanel->setAutoFillBackground(true);
    QPalette grey = HeaderPanel->palette();
    grey.setColor(QPalette::Window, QColor(128, 128, 128));
    HeaderPanel->setPalette(grey);
    auto* hv = new QHBoxLayout(HeaderPanel);
    hv->setContentsMargins(8, 4, 8, 4);
    HeaderLabel = new platform::ShadowLabel(QString(), HeaderPanel);
    HeaderLabel->setObjectName(QStringLiteral("HeaderLabel"));
    QFont verdana(QStringLiteral("Verdana"));
    verdana.setPointSizeF(12);
    verdana.setBold(true);
    HeaderLabel->setFont(verdana);
    HeaderLabel->setTextColour(QColor(0, 255, 255));
    HeaderLabel->setShadowColour(Qt::black);
    HeaderLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    HeaderLabel->setTextFormat(Qt::PlainText);
    hv->addWidget(HeaderLabel, 1);
    v->addWidget(HeaderPanel);

    PageControl1 = new QTabWidget(right);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    TabSheet1 = buildQuestionTab();
    TabSheet2 = buildTypeTab();
    TabSheet3 = buildChoicesTab();
    TabSheet4 = buildExplanationTab();
    PageControl1->addTab(TabSheet1, QStringLiteral("Test question"));
    PageControl1->addTab(TabSheet2, QStringLiteral("Type, Section"));
    PageControl1->addTab(TabSheet3, QStringLiteral("Responce choices"));
    PageControl1->addTab(TabSheet4, QStringLiteral("Explanation"));
    PageControl1->installEventFilter(this);
    TabSheet3->installEventFilter(this);
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
        if (PageControl1->widget(index) == TabSheet2)
            TabSheet2Enter();
        PageControl1Resize();
    });
    v->addWidget(PageControl1, 1);

    v->addWidget(buildBottomBand());
    return right;
}

QWidget* TSamplerForm::buildQuestionTab()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet1"));
    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(8, 8, 8, 8);
    v->addWidget(caption(QStringLiteral("Enter the question text in the box bellow."), page));
    DBMemo1 = new store::DBMemo(page);
    DBMemo1->setObjectName(QStringLiteral("DBMemo1"));
    DBMemo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    v->addWidget(DBMemo1, 1);
    return page;
}

QWidget* TSamplerForm::buildTypeTab()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet2"));
    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(8, 8, 8, 8);
    v->addWidget(caption(QStringLiteral("Select item type:"), page));
    ComboBox1 = new QComboBox(page);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->addItem(QStringLiteral("Single responce"));
    ComboBox1->addItem(QStringLiteral("Multiple responces"));
    ComboBox1->setMinimumWidth(220);
    auto* row = new QHBoxLayout;
    row->addWidget(ComboBox1);
    row->addStretch(1);
    v->addLayout(row);
    v->addSpacing(12);
    v->addWidget(caption(QStringLiteral("Select item section:"), page));
    ListBox1 = new QListWidget(page);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    v->addWidget(ListBox1, 1);
    connect(ComboBox1, &QComboBox::activated, this, [this] {
        if (!m_loading)
            ComboBox1Change();
    });
    connect(ListBox1, &QListWidget::currentRowChanged, this, [this] {
        if (!m_loading)
            ListBox1Click();
    });
    return page;
}

QWidget* TSamplerForm::buildChoicesTab()
{
    // Placed by hand: the fields' widths follow the page, as their rule says.
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet3"));
    auto* text =
        caption(QStringLiteral("Enter the responce choices and mark the correct choice(s)."), page);
    text->setGeometry(8, 8, 560, 20);
    text->setWordWrap(false);
    const QString letters = QStringLiteral("abcdef");
    for (int i = 0; i < 6; ++i) {
        DBCheckBox[i] = new store::DBCheckBox(letters.mid(i, 1) + QLatin1Char('.'), page);
        DBCheckBox[i]->setObjectName(QStringLiteral("DBCheckBox%1").arg(i + 1));
        DBCheckBox[i]->setGeometry(8, kChoiceTop + i * kChoiceStep + 2, kChoiceLeft - 10, 20);
        DBEdit[i] = new store::DBEdit(page);
        DBEdit[i]->setObjectName(QStringLiteral("DBEdit%1").arg(i + 1));
        DBEdit[i]->setGeometry(kChoiceLeft, kChoiceTop + i * kChoiceStep, 300, 24);
    }
    return page;
}

QWidget* TSamplerForm::buildExplanationTab()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet4"));
    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(8, 8, 8, 8);
    v->addWidget(caption(QStringLiteral("Enter the explanation text."), page));
    DBMemo2 = new store::DBMemo(page);
    DBMemo2->setObjectName(QStringLiteral("DBMemo2"));
    DBMemo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    v->addWidget(DBMemo2, 1);
    return page;
}

QWidget* TSamplerForm::buildBottomBand()
{
    auto* band = new QWidget(this);
    band->setObjectName(QStringLiteral("Panel2"));
    auto* row = new QHBoxLayout(band);
    row->setContentsMargins(6, 6, 6, 6);
    DBNavigator1 = new store::DBNavigator(band);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    DBNavigator1->setHints({QStringLiteral("First item"), QStringLiteral("Prior item"),
                            QStringLiteral("Next item"), QStringLiteral("Last item")});
    row->addWidget(DBNavigator1);
    row->addStretch(1);
    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogSaveButton),
                              QStringLiteral("Save"), band);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                              QStringLiteral("Cancel"), band);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    for (QPushButton* b : {BitBtn1, BitBtn2}) {
        b->setMinimumWidth(80);
        b->setAutoDefault(false);
        row->addWidget(b);
    }
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &TSamplerForm::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TSamplerForm::BitBtn2Click);
    return band;
}

void TSamplerForm::bindControls()
{
    store::DataSource* ds = m_dm.dsUserSet();
    const store::ActionRunner runner = [this](const std::function<void()>& action) { run(action); };
    DBMemo1->bind(ds, QStringLiteral("Q_TEXT"));
    DBMemo1->setRunner(runner);
    DBMemo2->bind(ds, QStringLiteral("Q_EXPL"));
    DBMemo2->setRunner(runner);
    for (int i = 0; i < 6; ++i) {
        DBEdit[i]->bind(ds, QStringLiteral("Q%1").arg(i + 1));
        DBEdit[i]->setRunner(runner);
        DBCheckBox[i]->bind(ds, QStringLiteral("A%1").arg(i + 1));
        DBCheckBox[i]->setRunner(runner);
    }
    DBNavigator1->setDataSource(ds);
    DBNavigator1->setRunner(runner);
    DBList1->bind(ds, QStringLiteral("Q_ID"));
    DBList1->setRunner(runner);
    // Connected after the bound controls, so that the handlers see the
    // controls already showing the new record.
    connect(ds, &store::DataSource::stateChanged, this, &TSamplerForm::dsUserSetStateChange);
    connect(ds, &store::DataSource::dataChanged, this, &TSamplerForm::dsUserSetDataChange);
}

QString TSamplerForm::panelText(int index) const
{
    return Panels[index]->text();
}

QString TSamplerForm::headerText() const
{
    return HeaderLabel->text();
}

void TSamplerForm::setPanel(int index, const QString& text)
{
    Panels[index]->setText(text);
}

} // namespace sampler
