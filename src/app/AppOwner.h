#pragma once

#include <QObject>
#include <QStringList>
#include <memory>

namespace platform {
class Services;
}
namespace session {
class TTestForm;
class TNameForm;
class TPict1Form;
class TPict2Form;
class TSimForm1;
class TSimForm2;
} // namespace session
namespace store {
class TProgressForm;
}
namespace results {
class TScoreForm;
class TReviewForm;
class TNoteForm;
} // namespace results
namespace options {
class TOptionsForm;
}
namespace sampler {
class TDM;
class TSamplerForm;
} // namespace sampler

namespace app {

class TMainForm;
class TAboutForm;

// Creates every window of the program once, in the start-up order, wires
// them together and keeps them until the program ends. There are no globals:
// a test may build as many owners as it likes.
class AppOwner final : public QObject {
    Q_OBJECT
public:
    AppOwner(platform::Services& services, const QString& programDir);
    ~AppOwner() override;

    TMainForm* MainForm() const { return m_main.get(); }
    session::TTestForm* TestForm() const { return m_test.get(); }
    store::TProgressForm* ProgressForm() const { return m_progress.get(); }
    results::TScoreForm* ScoreForm() const { return m_score.get(); }
    session::TNameForm* NameForm() const { return m_name.get(); }
    results::TReviewForm* ReviewForm() const { return m_review.get(); }
    results::TNoteForm* NoteForm() const { return m_note.get(); }
    options::TOptionsForm* OptionsForm() const { return m_options.get(); }
    sampler::TDM* DM() const { return m_dm.get(); }
    TAboutForm* AboutForm() const { return m_about.get(); }
    sampler::TSamplerForm* SamplerForm() const { return m_sampler.get(); }
    session::TPict1Form* Pict1Form() const { return m_pict1.get(); }
    session::TPict2Form* Pict2Form() const { return m_pict2.get(); }
    session::TSimForm1* SimForm1() const { return m_sim1.get(); }
    session::TSimForm2* SimForm2() const { return m_sim2.get(); }

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
    std::unique_ptr<TMainForm> m_main;
    std::unique_ptr<session::TTestForm> m_test;
    std::unique_ptr<store::TProgressForm> m_progress;
    std::unique_ptr<results::TScoreForm> m_score;
    std::unique_ptr<session::TNameForm> m_name;
    std::unique_ptr<results::TReviewForm> m_review;
    std::unique_ptr<results::TNoteForm> m_note;
    std::unique_ptr<options::TOptionsForm> m_options;
    std::unique_ptr<sampler::TDM> m_dm;
    std::unique_ptr<TAboutForm> m_about;
    std::unique_ptr<sampler::TSamplerForm> m_sampler;
    std::unique_ptr<session::TPict1Form> m_pict1;
    std::unique_ptr<session::TPict2Form> m_pict2;
    std::unique_ptr<session::TSimForm1> m_sim1;
    std::unique_ptr<session::TSimForm2> m_sim2;
};

} // namespace app
