#pragma once

#include <QString>
#include <QTemporaryDir>

namespace testing {

// A temporary program folder holding the small test bank (compiled by the
// real bank compiler), an empty user set and the pictures. It becomes the
// working directory while it lives.
class ProgramDir final {
public:
    explicit ProgramDir(bool withBank = true);
    ~ProgramDir();
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// Folder of the fixture bank's source and pictures.
QString fixtureBankDir();
QString fixturePicturesDir();

} // namespace testing
