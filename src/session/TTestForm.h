#pragma once

#include <QMainWindow>
#include <memory>

#include "Responses.h"

class QLabel;
class QMenu;
class QAction;
class QScrollArea;

namespace platform {
class Services;
class ShapeButton;
} // namespace platform

namespace store {
class DataSource;
class Session;
class Table;
} // namespace store

namespace session {

// The exam window: where every exam is chosen, taken, graded and reviewed. It
// owns the table session and the exam window's three table handles.
class TTestForm final : public QMainWindow {
    Q_OBJECT
public:
    enum { ModeIdle = 0, ModeExam = 1, ModeReview = 3 };

    explicit TTestForm(platform::Services& services, QWidget* parent = nullptr);
    ~TTestForm() override;

    store::Session& tableSession() { return *m_session; }
    store::Table& dtQSet() { return *m_qset; }
    store::Table& dtCurrentSet() { return *m_currentSet; }
    store::Table& dtUserSet() { return *m_userSet; }
    store::DataSource* dsCurrentSet() const { return m_dsCurrentSet; }

    int Mode = ModeIdle;
    store::Responses Responses;

    QWidget* Panel4 = nullptr; // the start panel

signals:
    void aboutRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildStartPanel();
    void buildMenus();

    platform::Services& m_services;
    std::unique_ptr<store::Session> m_session;
    std::unique_ptr<store::Table> m_qset;
    std::unique_ptr<store::Table> m_currentSet;
    std::unique_ptr<store::Table> m_userSet;
    store::DataSource* m_dsQSet = nullptr;
    store::DataSource* m_dsCurrentSet = nullptr;
    store::DataSource* m_dsUserSet = nullptr;
};

} // namespace session
