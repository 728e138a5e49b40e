#pragma once

#include <QObject>
#include <QStringList>
#include <memory>

namespace widgets {
class ProgressWindow;
} // namespace widgets

namespace platform {
class Services;
}
namespace session {
class ExamWindow;
class NameDialog;
class Exhibit1Window;
class Exhibit2Window;
class PrintingSimulation;
class SubnetMaskSimulation;
} // namespace session
namespace results {
class ScoreReport;
class ItemsReview;
class NoteWindow;
class HistoryWindow;
} // namespace results
namespace options {
class OptionsDialog;
}
namespace sampler {
class SamplerData;
class TestSampler;
} // namespace sampler

namespace app {

class StartWindow;
class AboutBox;

// Creates every window of the program once, in the start-up order, wires
// them together and keeps them until the program ends. There are no globals:
// a test may build as many owners as it likes.
class AppOwner final : public QObject {
    Q_OBJECT
public:
    AppOwner(platform::Services& services, const QString& programDir);
    ~AppOwner() override;

    StartWindow* startWindow() const { return m_main.get(); }
    session::ExamWindow* examWindow() const { return m_test.get(); }
    widgets::ProgressWindow* progressWindow() const { return m_progress.get(); }
    results::ScoreReport* scoreReport() const { return m_score.get(); }
    session::NameDialog* nameDialog() const { return m_name.get(); }
    results::ItemsReview* itemsReview() const { return m_review.get(); }
    results::NoteWindow* noteWindow() const { return m_note.get(); }
    options::OptionsDialog* optionsDialog() const { return m_options.get(); }
    sampler::SamplerData* samplerData() const { return m_dm.get(); }
    AboutBox* aboutBox() const { return m_about.get(); }
    sampler::TestSampler* testSampler() const { return m_sampler.get(); }
    session::Exhibit1Window* exhibit1Window() const { return m_exhibit1.get(); }
    session::Exhibit2Window* exhibit2Window() const { return m_exhibit2.get(); }
    session::PrintingSimulation* printingSimulation() const { return m_printingSimulation.get(); }
    session::SubnetMaskSimulation* subnetMaskSimulation() const
    {
        return m_subnetMaskSimulation.get();
    }

    results::HistoryWindow* historyWindow() const { return m_history.get(); }

    // Object names in the order the windows were created.
    const QStringList& creationOrder() const { return m_order; }

    // Brings this instance forward for a later start of the program: the
    // window the user was last working in, restored if minimised.
    void bringForward();

private:
    void startTesting();
    void startSampler();
    template <typename T> void made(const std::unique_ptr<T>& w);

    platform::Services& m_services;
    QStringList m_order;
    std::unique_ptr<StartWindow> m_main;
    std::unique_ptr<session::ExamWindow> m_test;
    std::unique_ptr<widgets::ProgressWindow> m_progress;
    std::unique_ptr<results::ScoreReport> m_score;
    std::unique_ptr<session::NameDialog> m_name;
    std::unique_ptr<results::ItemsReview> m_review;
    std::unique_ptr<results::NoteWindow> m_note;
    std::unique_ptr<options::OptionsDialog> m_options;
    std::unique_ptr<sampler::SamplerData> m_dm;
    std::unique_ptr<AboutBox> m_about;
    std::unique_ptr<sampler::TestSampler> m_sampler;
    std::unique_ptr<session::Exhibit1Window> m_exhibit1;
    std::unique_ptr<session::Exhibit2Window> m_exhibit2;
    std::unique_ptr<session::PrintingSimulation> m_printingSimulation;
    std::unique_ptr<session::SubnetMaskSimulation> m_subnetMaskSimulation;
    std::unique_ptr<results::HistoryWindow> m_history;
};

} // namespace app
