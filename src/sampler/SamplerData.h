#pragma once

#include <QObject>
#include <memory>

namespace store {
class DataSource;
class Session;
class Table;
} // namespace store

namespace sampler {

// Holds the test sampler's own handle on the user question set. It uses the
// table session the exam window owns, so it is created after that window.
class SamplerData final : public QObject {
    Q_OBJECT
public:
    explicit SamplerData(store::Session& session, QObject* parent = nullptr);
    ~SamplerData() override;
    store::Table& userSet() { return *m_userSet; }
    store::DataSource* userSetSource() const { return m_dsUserSet; }

private:
    std::unique_ptr<store::Table> m_userSet;
    store::DataSource* m_dsUserSet;
};

} // namespace sampler
