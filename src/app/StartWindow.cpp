#include "StartWindow.h"

#include "ShapeButton.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace app {

namespace {

// The panel under the banner: a blue outline around the three buttons.
class OutlinePanel final : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        p.setPen(QPen(QColor(0, 0, 255), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(12, 6, -13, -7));
    }
};

} // namespace

QPixmap productBanner()
{
    QPixmap pm(232, 48);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 232, 48);
    g.setColorAt(0.0, QColor(0, 0, 128));
    g.setColorAt(0.6, QColor(64, 0, 128));
    g.setColorAt(1.0, QColor(0, 128, 128));
    p.fillRect(pm.rect(), g);
    // A lark's wing: three sweeping strokes on the left.
    p.setPen(QPen(QColor(255, 255, 255, 170), 2.2, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i) {
        QPainterPath wing;
        wing.moveTo(10, 34 - i * 5);
        wing.cubicTo(20, 12 - i * 3, 34, 10 - i * 2, 44, 16 + i * 2);
        p.drawPath(wing);
    }
    QFont title(QStringLiteral("Arial"));
    title.setPixelSize(21);
    title.setBold(true);
    title.setItalic(true);
    p.setFont(title);
    p.setPen(QColor(0, 0, 0, 120));
    p.drawText(QRect(53, 3, 180, 26), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Quizlark"));
    p.setPen(Qt::white);
    p.drawText(QRect(52, 2, 180, 26), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Quizlark"));
    QFont sub(QStringLiteral("Arial"));
    sub.setPixelSize(12);
    sub.setBold(true);
    p.setFont(sub);
    p.setPen(QColor(255, 230, 120));
    p.drawText(QRect(54, 27, 176, 18), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("TCP/IP 4.0  \u00b7  Exam 70-059"));
    return pm;
}

StartWindow::StartWindow(const QString& programDir, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::WindowMinimizeButtonHint)
{
    setObjectName(QStringLiteral("startWindow"));
    QDir::setCurrent(programDir);
    setWindowTitle(QStringLiteral("Quizlark TCP/IP 4.0"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(2, 2, 2, 2);
    v->setSpacing(0);
    auto* banner = new QLabel(this);
    banner->setObjectName(QStringLiteral("banner"));
    banner->setPixmap(productBanner());
    banner->setFixedSize(232, 48);
    banner->setAccessibleName(QStringLiteral("Quizlark TCP/IP 4.0"));
    v->addWidget(banner, 0, Qt::AlignHCenter);

    auto* panel = new OutlinePanel(this);
    panel->setObjectName(QStringLiteral("buttonPanel"));
    panel->setFixedWidth(232);
    auto* pv = new QVBoxLayout(panel);
    pv->setContentsMargins(4 + 43, 4 + 12, 4 + 43, 4 + 12);
    pv->setSpacing(10);
    QFont buttonFont(QStringLiteral("Arial"));
    buttonFont.setPixelSize(13);
    buttonFont.setBold(true);
    m_startTestingButton =
        new widgets::ShapeButton(QStringLiteral("Start &Testing"), QColor(0, 0, 128), panel);
    m_startTestingButton->setObjectName(QStringLiteral("startTestingButton"));
    m_samplerButton =
        new widgets::ShapeButton(QStringLiteral("Test &Sampler"), QColor(128, 0, 128), panel);
    m_samplerButton->setObjectName(QStringLiteral("samplerButton"));
    m_exitButton = new widgets::ShapeButton(QStringLiteral("E&xit"), QColor(0, 128, 128), panel);
    m_exitButton->setObjectName(QStringLiteral("exitButton"));
    for (widgets::ShapeButton* b : {m_startTestingButton, m_samplerButton, m_exitButton}) {
        b->setFixedSize(138, 34);
        b->setFont(buttonFont);
        b->setAutoDefault(false);
        pv->addWidget(b, 0, Qt::AlignHCenter);
    }
    v->addWidget(panel, 0, Qt::AlignHCenter);
    connect(m_startTestingButton, &QPushButton::clicked, this, &StartWindow::startTesting);
    connect(m_samplerButton, &QPushButton::clicked, this, &StartWindow::openSampler);
    connect(m_exitButton, &QPushButton::clicked, this, &StartWindow::exitProgram);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void StartWindow::startTesting()
{
    emit startTestingRequested();
}

void StartWindow::openSampler()
{
    emit samplerRequested();
}

void StartWindow::exitProgram()
{
    close();
}

void StartWindow::keyPressEvent(QKeyEvent* event)
{
    // Only Exit and the close command end the program; a dialog's Escape
    // would otherwise hide the start window and leave nothing on screen.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void StartWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    emit closed();
}

} // namespace app
