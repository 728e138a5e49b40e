#include "SamplerData.h"

#include "DataSource.h"
#include "Schemas.h"
#include "Table.h"

namespace sampler {

SamplerData::SamplerData(store::Session& session, QObject* parent)
    : QObject(parent),
      m_userSet(std::make_unique<store::Table>(session, QString::fromLatin1(store::kUserSetFile),
                                               store::userSetSchema()))
{
    setObjectName(QStringLiteral("samplerData"));
    m_dsUserSet = new store::DataSource(m_userSet.get(), this);
    m_dsUserSet->setObjectName(QStringLiteral("dsUserSet"));
}

SamplerData::~SamplerData()
{
    delete m_dsUserSet;
}

} // namespace sampler
