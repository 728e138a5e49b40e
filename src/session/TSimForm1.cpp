#include "TSimForm1.h"

#include "SimDiagram.h"
#include "SimTile.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace session {

namespace {

const char* const kStart[4] = {"TCP/IP Printing Service", "LPR", "LPQ", "LPD Service"};
const char* const kKey[4] = {"LPQ", "TCP/IP Printing Service", "LPR", "LPD Service"};

} // namespace

TSimForm1::TSimForm1(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("SimForm1"));
    setWindowTitle(QStringLiteral("Select and Place"));
    setFixedSize(592, 431);

    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setGeometry(0, 0, 592, 361);
    Panel2->setAutoFillBackground(true);
    QPalette white = Panel2->palette();
    white.setColor(QPalette::Window, Qt::white);
    Panel2->setPalette(white);
    Image1 = new QLabel(Panel2);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(Panel2->rect());
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setPixmap(printingServicesDiagram());

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 361, 592, 70);
    auto* line = new QFrame(Panel1);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(0, 0, 592, 2);

    const QPoint sources[4] = {{4, 8}, {168, 8}, {4, 40}, {168, 40}};
    for (int i = 0; i < 4; ++i)
        LP[i] = new SimTile(QStringLiteral("LP%1").arg(i + 1), QRect(sources[i], QSize(158, 27)),
                            SimTile::Bevel::Lowered, Panel1);
    const QPoint targets[4] = {{52, 46}, {334, 33}, {41, 275}, {291, 298}};
    for (int i = 0; i < 4; ++i)
        LP[i + 4] = new SimTile(QStringLiteral("LP%1").arg(i + 5),
                                QRect(targets[i], QSize(157, 27)), SimTile::Bevel::None, Panel2);
    for (SimTile* tile : LP)
        tile->installEventFilter(this);

    OKBtn = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"),
                            Panel1);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(399, 36, 91, 30);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                                QStringLiteral("Cancel"), Panel1);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(495, 36, 92, 30);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    ResetSimulations();
}

void TSimForm1::ResetSimulations()
{
    for (int i = 0; i < 4; ++i) {
        LP[i]->setText(QString::fromLatin1(kStart[i]));
        LP[i + 4]->clear();
    }
}

bool TSimForm1::targetsHoldKey() const
{
    for (int i = 0; i < 4; ++i)
        if (LP[i + 4]->text() != QLatin1String(kKey[i]))
            return false;
    return true;
}

bool TSimForm1::LP1DragOver(SimTile* sender, const QMimeData* data) const
{
    return sender && SimTile::dragged(this, data);
}

void TSimForm1::LP1DragDrop(SimTile* sender, const QMimeData* data)
{
    dropOn(sender, SimTile::dragged(this, data));
}

void TSimForm1::dropOn(SimTile* target, SimTile* source)
{
    SimTile::swapCaptions(target, source);
}

bool TSimForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (auto* tile = qobject_cast<SimTile*>(watched);
        tile && SimTile::routeDragEvent(
                    event, [&](const QMimeData* data) { return LP1DragOver(tile, data); },
                    [&](const QMimeData* data) { LP1DragDrop(tile, data); }))
        return true;
    return QDialog::eventFilter(watched, event);
}

void TSimForm1::showEvent(QShowEvent* event)
{
    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

} // namespace session
