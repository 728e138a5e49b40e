#include "AboutBox.h"

#include "StartWindow.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace app {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("aboutBox"));
    setWindowTitle(QStringLiteral("About Quizlark TCP/IP 4.0"));
    auto* v = new QVBoxLayout(this);
    auto* banner = new QLabel(this);
    banner->setPixmap(productBanner());
    v->addWidget(banner, 0, Qt::AlignHCenter);
    auto* text = new QLabel(
        QStringLiteral("<p><b>Quizlark TCP/IP 4.0</b><br>Practice exams for Exam 70-059, "
                       "Internetworking with Microsoft TCP/IP on Microsoft Windows NT 4.0.</p>"
                       "<p>Seven practice exams, a random exam of any length and an exam of "
                       "your own questions, each with a score report by exam section.</p>"
                       "<p>Every item and explanation in this program was written by the "
                       "Quizlark team.</p>"),
        this);
    text->setWordWrap(true);
    text->setFixedWidth(320);
    v->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    v->addWidget(buttons);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace app
