#include "ProgramDir.h"

#include "BankCompiler.h"

#include <QDir>
#include <QFile>
#include <stdexcept>

namespace testing {

QString fixtureBankDir()
{
    return QStringLiteral(QUIZLARK_FIXTURE_DIR "/bank");
}

QString fixturePicturesDir()
{
    return QStringLiteral(QUIZLARK_FIXTURE_DIR "/pictures");
}

ProgramDir::ProgramDir(bool withBank) : m_previous(QDir::currentPath())
{
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary program folder");
    if (withBank) {
        QStringList errors;
        const auto items = bank::readSource(fixtureBankDir(), fixturePicturesDir(), &errors);
        if (!errors.isEmpty())
            throw std::runtime_error(errors.join(QLatin1Char('\n')).toStdString());
        bank::writeBank(items, m_dir.filePath(QStringLiteral("tcpip.DAT")));
        bank::ensureUserSet(m_dir.filePath(QStringLiteral("tcpipusr.DAT")));
        QDir().mkpath(m_dir.filePath(QStringLiteral("pictures")));
        for (const QString& f : QDir(fixturePicturesDir()).entryList(QDir::Files))
            QFile::copy(QDir(fixturePicturesDir()).filePath(f),
                        m_dir.filePath(QStringLiteral("pictures/") + f));
    }
    QDir::setCurrent(m_dir.path());
}

ProgramDir::~ProgramDir()
{
    // A fixture replaced before the old one went (a test that failed before
    // its cleanup) must not send the next test's files back to where the run
    // started, the source tree.
    if (QDir::current().canonicalPath() != QDir(m_dir.path()).canonicalPath())
        return;
    QDir::setCurrent(QDir(m_previous).exists() ? m_previous : QDir::tempPath());
}

} // namespace testing
