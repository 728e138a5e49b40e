#pragma once

#include "Responses.h"

#include <QDialog>
#include <QListWidget>
#include <QPixmap>
#include <array>
#include <functional>

class QPushButton;

namespace platform {
class Services;
}

namespace results {

// Index of an entry's state picture in ImageList1.
enum ReviewIcon : int { Incomplete = 0, Complete = 1, Marked = 2, Incorrect = 3 };

// The entry's ReviewIcon, kept beside its picture so that tests and callers
// can read it without looking at pixels.
inline constexpr int kIconRole = Qt::UserRole + 1;

// The list of the review window: a click on empty space clears the
// selection, so that "go to" then has nothing to go to.
class ReviewList final : public QListWidget {
    Q_OBJECT
public:
    explicit ReviewList(QWidget* parent = nullptr);

    // Typing an item's number selects it: "3" then "6" is item 36. The
    // digits typed count as one number until a key that is no digit, or
    // until kTypingPause has passed on clock (in days) since the last one.
    static constexpr double kTypingPause = 1.0 / 86400.0;
    void setClock(std::function<double()> clock) { m_clock = std::move(clock); }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::function<double()> m_clock;
    QString m_typed;
    double m_lastDigit = 0;
};

class ItemsReview final : public QDialog {
    Q_OBJECT
public:
    explicit ItemsReview(platform::Services& services, QWidget* parent = nullptr);

    // Exam mode: unanswered, answered and marked items.
    void fillProgressList(const store::Responses& responses);
    // Review mode: correct and incorrect items.
    void fillResultList(const store::Responses& responses);

    // "k  LETTERS": the item number, two blanks, the chosen letters.
    static QString entryText(int itemNumber, const store::ItemResponse& response);
    static ReviewIcon progressIcon(const store::ItemResponse& response);
    static ReviewIcon resultIcon(const store::ItemResponse& response);
    // What the icon says, in the legend's words.
    static QString iconText(ReviewIcon icon, bool results);
    const QPixmap& picture(int index) const { return m_pictures[static_cast<size_t>(index)]; }

    QWidget* m_reviewLegend; // legend of review mode
    QWidget* m_examLegend;   // legend of exam mode
    ReviewList* m_itemList;
    QPushButton* m_goToButton;
    QPushButton* m_returnButton;

public slots:
    void itemSelected();
    void goToSelectedItem();
    void itemDoubleClicked();
    void returnToExam();

signals:
    // 1-based number of the item to show; the window closes after it.
    void goToItemRequested(int itemNumber);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* legendRow(const QString& name, std::initializer_list<std::pair<int, const char*>>);
    void fill(const store::Responses& responses, bool results);
    void finishClosing();

    platform::Services& m_services;
    std::array<QPixmap, 4> m_pictures;
};

} // namespace results
