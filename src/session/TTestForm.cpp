#include "TTestForm.h"

#include "DataSource.h"
#include "Schemas.h"
#include "Services.h"
#include "Session.h"
#include "ShapeButton.h"
#include "Table.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QVBoxLayout>

namespace session {

TTestForm::TTestForm(platform::Services& services, QWidget* parent)
    : QMainWindow(parent), m_services(services)
{
    setObjectName(QStringLiteral("TestForm"));
    m_session = std::make_unique<store::Session>(QString::fromLatin1(store::kSessionName));
    // No table may be opened without the password, so it comes first.
    m_session->registerPassword(QString::fromLatin1(store::kTablePassword));
    m_qset = std::make_unique<store::Table>(*m_session, QString::fromLatin1(store::kBankFile),
                                            store::bankSchema());
    m_currentSet = std::make_unique<store::Table>(
        *m_session, QString::fromLatin1(store::kCurrentSetFile), store::currentSetSchema(), true);
    m_userSet = std::make_unique<store::Table>(*m_session, QString::fromLatin1(store::kUserSetFile),
                                               store::userSetSchema());
    m_dsQSet = new store::DataSource(m_qset.get(), this);
    m_dsCurrentSet = new store::DataSource(m_currentSet.get(), this);
    m_dsUserSet = new store::DataSource(m_userSet.get(), this);

    setWindowTitle(QStringLiteral("Quizlark TCP/IP 4.0"));
    setWindowState(Qt::WindowMaximized);
    setMinimumSize(732, 502);
    Mode = ModeIdle;
    buildMenus();
    buildStartPanel();
}

TTestForm::~TTestForm()
{
    delete m_dsQSet;
    delete m_dsCurrentSet;
    delete m_dsUserSet;
}

void TTestForm::buildMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Options..."))->setObjectName(QStringLiteral("Preferences1"));
    file->addSeparator();
    QAction* exit = file->addAction(QStringLiteral("E&xit"));
    exit->setObjectName(QStringLiteral("Exit1"));
    connect(exit, &QAction::triggered, this, &QWidget::close);
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    QAction* about = help->addAction(QStringLiteral("Ab&out"));
    about->setObjectName(QStringLiteral("About1"));
    connect(about, &QAction::triggered, this, &TTestForm::aboutRequested);
}

void TTestForm::buildStartPanel()
{
    Panel4 = new QWidget(this);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    Panel4->setAutoFillBackground(true);
    QPalette pal = Panel4->palette();
    pal.setColor(QPalette::Window, Qt::white);
    Panel4->setPalette(pal);
    auto* v = new QVBoxLayout(Panel4);
    v->addStretch(1);
    auto addLabel = [&](const QString& text, int px, bool bold) {
        auto* l = new QLabel(text, Panel4);
        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(px);
        f.setBold(bold);
        l->setFont(f);
        l->setAlignment(Qt::AlignCenter);
        v->addWidget(l);
    };
    addLabel(QStringLiteral("Exam 70-059"), 24, true);
    addLabel(QStringLiteral("Internetworking with Microsoft TCP/IP on Microsoft Windows NT 4.0"),
             18, true);
    v->addSpacing(24);
    addLabel(QStringLiteral("Please select the practice exam you want to begin."), 14, false);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (int i = 0; i < 7; ++i) {
        auto* b = new platform::ShapeButton(QStringLiteral("&%1").arg(QChar(u'A' + i)),
                                            QColor(128, 0, 128), Panel4);
        b->setObjectName(QStringLiteral("fcShapeBtn%1").arg(i + 1));
        b->setFixedSize(60, 34);
        row->addWidget(b);
    }
    row->addStretch(1);
    v->addLayout(row);
    auto* row2 = new QHBoxLayout;
    row2->addStretch(1);
    const char* names[3] = {"AllQBtn", "RandomBtn", "UserBtn"};
    const char* captions[3] = {"All &Questions", "&Random Exam", "&User Exam"};
    for (int i = 0; i < 3; ++i) {
        auto* b = new platform::ShapeButton(QString::fromLatin1(captions[i]), QColor(0, 0, 128),
                                            Panel4);
        b->setObjectName(QLatin1String(names[i]));
        b->setFixedSize(140, 34);
        row2->addWidget(b);
    }
    row2->addStretch(1);
    v->addLayout(row2);
    v->addStretch(2);
    setCentralWidget(Panel4);
}

void TTestForm::closeEvent(QCloseEvent* event)
{
    event->accept();
}

} // namespace session
