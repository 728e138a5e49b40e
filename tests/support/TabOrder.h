// Tab order checks for any window: the cycle Tab goes through, whether it
// keeps to reading order, and the controls it never reaches.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QWidget>
#include <QtTest>
#include <algorithm>
#include <cstdlib>

namespace testing {

// The control a focus widget stands for: a spin box's inner line edit is
// the spin box.
inline QWidget* control(QWidget* w)
{
    if (w && w->parentWidget() && w->parentWidget()->focusProxy() == w)
        return w->parentWidget();
    return w;
}

inline QString nameOf(QWidget* w)
{
    if (!w)
        return QStringLiteral("<none>");
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                     : w->objectName();
}

// Presses Tab until the focus comes back to where it began; the controls
// passed on the way, the first one first.
inline QList<QWidget*> tabCycle(QWidget* window)
{
    QList<QWidget*> cycle;
    QWidget* first = control(QApplication::focusWidget());
    if (!first)
        return cycle;
    cycle << first;
    for (int guard = 0; guard < 80; ++guard) {
        QTest::keyClick(window->windowHandle(), Qt::Key_Tab);
        QWidget* now = control(QApplication::focusWidget());
        if (now == first || !now || cycle.contains(now))
            break;
        cycle << now;
    }
    return cycle;
}

// Empty when each control of the cycle stands after the one before in
// reading order, the single step back to the top aside; otherwise what is
// out of order.
inline QString readingOrderFault(QWidget* window, const QList<QWidget*>& cycle)
{
    // Where the focus is drawn: a tab widget's tab bar, not its pages.
    const auto box = [window](QWidget* w) {
        if (w->focusProxy())
            w = w->focusProxy();
        return QRect(w->mapTo(window, QPoint(0, 0)), w->size());
    };
    int backSteps = 0;
    QString out;
    for (int i = 0; i < cycle.size(); ++i) {
        const QRect a = box(cycle[i]);
        const QRect b = box(cycle[(i + 1) % cycle.size()]);
        const bool sameLine =
            std::abs(a.center().y() - b.center().y()) < std::min(a.height(), b.height()) / 2 + 1;
        // Into a control from the area that holds it (a scrolled page) is
        // forward too.
        const bool forward = a.contains(b) || (sameLine ? b.center().x() > a.center().x()
                                                        : b.center().y() > a.center().y());
        if (!forward) {
            ++backSteps;
            out += nameOf(cycle[i]) + QStringLiteral(" -> ") +
                   nameOf(cycle[(i + 1) % cycle.size()]) + QLatin1Char(' ');
        }
    }
    return backSteps <= 1 ? QString() : out;
}

// The controls on screen that take the focus by Tab but that Tab never
// reached; of a group of radio buttons, Tab visits the chosen one only.
inline QStringList unreached(QWidget* window, const QList<QWidget*>& cycle)
{
    QStringList out;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisible() || !w->isEnabled() || !(w->focusPolicy() & Qt::TabFocus) ||
            w->objectName().startsWith(QLatin1String("qt_")) || w->focusProxy())
            continue;
        if (cycle.contains(control(w)))
            continue;
        auto* b = qobject_cast<QAbstractButton*>(w);
        if (b && b->autoExclusive()) {
            bool sibling = false;
            for (QWidget* c : cycle)
                sibling = sibling || (c->parentWidget() == w->parentWidget() &&
                                      qobject_cast<QAbstractButton*>(c));
            if (sibling)
                continue;
        }
        out << nameOf(w);
    }
    return out;
}

// Shows the window and checks its Tab cycle: the controls named, in reading
// order, none left out. Check QTest::currentTestFailed() after it.
inline void checkTabOrder(QWidget* window, const QStringList& expected)
{
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    const QList<QWidget*> cycle = tabCycle(window);
    QStringList names;
    for (QWidget* w : cycle)
        names << nameOf(w);
    QVERIFY2(!cycle.isEmpty(), "no control has the focus");
    // Joined, so that a failure shows both orders, not only their sizes.
    QCOMPARE(names.join(QLatin1Char(' ')), expected.join(QLatin1Char(' ')));
    const QString fault = readingOrderFault(window, cycle);
    QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("out of reading order: ") + fault));
    const QStringList missed = unreached(window, cycle);
    QVERIFY2(missed.isEmpty(),
             qPrintable(QStringLiteral("never reached: ") + missed.join(QLatin1Char(' '))));
    window->hide();
}

} // namespace testing
