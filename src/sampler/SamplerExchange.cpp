// Import and export of the user set in the exchange formats, from the
// sampler's File menu.
#include "ErrorReport.h"
#include "Services.h"
#include "Table.h"
#include "TestSampler.h"
#include "UserSetExchange.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace sampler {

namespace {

const QString kImportFilter = QStringLiteral(
    "GIFT files (*.gift *.txt);;Moodle XML files (*.xml);;Aiken files (*.txt);;All files (*)");
const QString kExportFilter = QStringLiteral("GIFT files (*.gift);;Moodle XML files (*.xml)");
// A longer list would make a message box taller than the screen.
constexpr int kListed = 10;
const QString kFinishEditing = QStringLiteral("Save or cancel the item being changed first.");

// Thrown out of the import when the user presses Cancel: the import's own
// undo then takes everything back.
struct ImportCancelled {};

} // namespace

void TestSampler::buildExchangeActions(QMenu* file)
{
    m_importAction = file->addAction(QStringLiteral("&Import…"));
    m_importAction->setObjectName(QStringLiteral("importAction"));
    connect(m_importAction, &QAction::triggered, this, &TestSampler::importQuestions);
    m_exportAction = file->addAction(QStringLiteral("Ex&port…"));
    m_exportAction->setObjectName(QStringLiteral("exportAction"));
    connect(m_exportAction, &QAction::triggered, this, &TestSampler::exportQuestions);
    file->addSeparator();
}

void TestSampler::importQuestions()
{
    using platform::MsgKind;
    if (editing()) {
        m_services.message(this, MsgKind::Information, kFinishEditing, platform::Ok);
        return;
    }
    const QString path = m_services.chooseOpenFile(this, QStringLiteral("Import questions"),
                                                   QString(), kImportFilter);
    if (path.isEmpty())
        return;
    formats::ImportPlan plan;
    try {
        plan = formats::readImportFile(path);
    } catch (const formats::ExchangeError& e) {
        m_services.message(this, MsgKind::Error,
                           QStringLiteral("Nothing was imported.\r") + e.message(), platform::Ok);
        return;
    }
    if (plan.result.questions.empty()) {
        m_services.message(this, MsgKind::Information,
                           formats::importSummary(plan.result, kListed) +
                               QStringLiteral("\rThe file holds no question for this set."),
                           platform::Ok);
        return;
    }
    const QString question = plan.result.questions.size() == 1
                                 ? QStringLiteral("\rAdd it to the question set?")
                                 : QStringLiteral("\rAdd them to the question set?");
    if (m_services.message(this, MsgKind::Confirmation,
                           formats::importSummary(plan.result, kListed) + question,
                           platform::Yes | platform::No) != platform::Yes)
        return;
    const int total = int(plan.result.questions.size());
    bool cancelled = false;
    const bool added = run([&] {
        if (!m_table.isOpen())
            m_table.open();
        // Closed before any message about the import shows.
        const std::unique_ptr<platform::Progress> progress = m_services.showProgress(
            this,
            total == 1 ? QStringLiteral("Importing 1 question...")
                       : QStringLiteral("Importing %1 questions...").arg(total),
            total);
        try {
            formats::addToUserSet(m_table, plan.result.questions, [&](int done) {
                if (progress && !progress->advance(done))
                    throw ImportCancelled{};
            });
        } catch (const ImportCancelled&) {
            cancelled = true;
        }
    });
    if (added && !cancelled) {
        // The set is no longer empty, and the posts of the import went
        // through the states an edit does: finish as Save does.
        setPanel(3, QStringLiteral(" Saved"));
        enableActions(true);
        return;
    }
    // Nothing of the import stays in the file, so nothing of it may stay on
    // screen either: an edit of a record the file does not hold would be
    // saved nowhere.
    showStoredSet();
    if (cancelled)
        m_services.message(this, MsgKind::Information,
                           QStringLiteral("The import was cancelled. Nothing was added to the "
                                          "question set."),
                           platform::Ok);
}

void TestSampler::showStoredSet()
{
    setPanel(3, QString());
    enableActions(true);
    run([this] {
        m_table.close();
        m_table.open();
    });
}

void TestSampler::exportQuestions()
{
    using platform::MsgKind;
    if (editing()) {
        m_services.message(this, MsgKind::Information, kFinishEditing, platform::Ok);
        return;
    }
    QString path = m_services.chooseSaveFile(this, QStringLiteral("Export questions"), QString(),
                                             kExportFilter);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".gift");
    run([&] {
        if (!m_table.isOpen())
            m_table.open();
        const auto records = formats::readUserSet(m_table);
        try {
            const auto outcome =
                formats::writeExportFile(path, formats::exportFormatForName(path), records);
            m_services.message(this, MsgKind::Information, formats::exportSummary(outcome, kListed),
                               platform::Ok);
        } catch (const formats::ExchangeError& e) {
            m_services.message(this, MsgKind::Error,
                               QStringLiteral("Nothing was exported.\r") + e.message(),
                               platform::Ok);
        }
    });
}

} // namespace sampler
