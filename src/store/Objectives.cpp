#include "Objectives.h"

#include "Session.h"
#include "Table.h"
#include "TableError.h"
#include "TableFile.h"

#include <QFileInfo>
#include <algorithm>

namespace store {

namespace {

const QStringList& tagColumns()
{
    static const QStringList columns{QStringLiteral("T_OBJECTIVE"), QStringLiteral("T_FACT")};
    return columns;
}

} // namespace

const std::vector<ExamObjective>& examObjectives()
{
    // The wording is the exam's own objective list; an item's section is its
    // objective's, so this table also decides where every bank item is scored.
    static const std::vector<ExamObjective> list = {
        {QStringLiteral("plan-network-configuration"), 1,
         QStringLiteral("Given a scenario, identify valid network configurations."),
         QStringLiteral("network configurations")},
        {QStringLiteral("select-services"), 2,
         QStringLiteral("Given a scenario, select the appropriate services to install when using "
                        "TCP/IP on a Windows NT Server computer."),
         QStringLiteral("services to install")},
        {QStringLiteral("multiple-adapters"), 2,
         QStringLiteral("On a Windows NT Server computer, configure TCP/IP to support multiple "
                        "network adapters."),
         QStringLiteral("multiple adapters")},
        {QStringLiteral("dhcp-scopes"), 2,
         QStringLiteral("Configure scopes by using DHCP Manager."), QStringLiteral("DHCP scopes")},
        {QStringLiteral("wins-server"), 2, QStringLiteral("Install and configure a WINS server."),
         QStringLiteral("WINS")},
        {QStringLiteral("wins-server/lmhosts-import"), 2,
         QStringLiteral("Import LMHOSTS files to WINS."), QStringLiteral("LMHOSTS import")},
        {QStringLiteral("wins-server/multihomed"), 2,
         QStringLiteral("Run WINS on a multihomed computer."), QStringLiteral("multihomed WINS")},
        {QStringLiteral("wins-server/replication"), 2,
         QStringLiteral("Configure WINS replication."), QStringLiteral("WINS replication")},
        {QStringLiteral("wins-server/static-mappings"), 2,
         QStringLiteral("Configure static mappings in the WINS database."),
         QStringLiteral("static mappings")},
        {QStringLiteral("subnet-masks"), 2, QStringLiteral("Configure subnet masks."),
         QStringLiteral("subnet masks")},
        {QStringLiteral("ip-router"), 2,
         QStringLiteral("Configure a Windows NT Server computer to function as an IP router."),
         QStringLiteral("routing")},
        {QStringLiteral("ip-router/dhcp-relay"), 2,
         QStringLiteral("Install and configure the DHCP Relay Agent."),
         QStringLiteral("DHCP Relay Agent")},
        {QStringLiteral("dns-server"), 2,
         QStringLiteral("Install and configure the DNS Server service on a Windows NT Server "
                        "computer."),
         QStringLiteral("DNS")},
        {QStringLiteral("dns-server/integration"), 2,
         QStringLiteral("Integrate DNS with other name servers."),
         QStringLiteral("DNS integration")},
        {QStringLiteral("dns-server/root-server"), 2,
         QStringLiteral("Connect a DNS server to a DNS root server."),
         QStringLiteral("DNS root server")},
        {QStringLiteral("dns-server/roles"), 2, QStringLiteral("Configure DNS server roles."),
         QStringLiteral("DNS roles")},
        {QStringLiteral("hosts-lmhosts"), 2, QStringLiteral("Configure HOSTS and LMHOSTS files."),
         QStringLiteral("HOSTS and LMHOSTS")},
        {QStringLiteral("tcpip-printing"), 2,
         QStringLiteral("Configure a Windows NT Server computer to support TCP/IP printing."),
         QStringLiteral("TCP/IP printing")},
        {QStringLiteral("snmp"), 2, QStringLiteral("Configure SNMP."), QStringLiteral("SNMP")},
        {QStringLiteral("unix-connectivity"), 3,
         QStringLiteral("Given a scenario, identify which utility to use to connect to a "
                        "TCP/IP-based UNIX host."),
         QStringLiteral("UNIX connectivity")},
        {QStringLiteral("ras"), 3,
         QStringLiteral("Configure a RAS server and dial-up networking for use on a TCP/IP "
                        "network."),
         QStringLiteral("RAS")},
        {QStringLiteral("browsing"), 3,
         QStringLiteral("Configure and support browsing in a multiple-domain routed network."),
         QStringLiteral("browsing")},
        {QStringLiteral("monitor-traffic"), 4,
         QStringLiteral("Given a scenario, identify which tool to use to monitor TCP/IP traffic."),
         QStringLiteral("traffic monitoring")},
        {QStringLiteral("ip-addressing-problems"), 5,
         QStringLiteral("Diagnose and resolve IP addressing problems."),
         QStringLiteral("IP addressing")},
        {QStringLiteral("diagnostic-utilities"), 5,
         QStringLiteral("Use TCP/IP utilities to diagnose IP configuration problems; identify "
                        "which utility to use."),
         QStringLiteral("diagnostic utilities")},
        {QStringLiteral("name-resolution-problems"), 5,
         QStringLiteral("Diagnose and resolve name resolution problems."),
         QStringLiteral("name resolution")},
    };
    return list;
}

std::vector<const ExamObjective*> mainObjectives()
{
    std::vector<const ExamObjective*> list;
    for (const ExamObjective& o : examObjectives())
        if (!o.name.contains(QLatin1Char('/')))
            list.push_back(&o);
    return list;
}

const ExamObjective* findExamObjective(const QString& name)
{
    for (const ExamObjective& o : examObjectives())
        if (o.name == name)
            return &o;
    return nullptr;
}

QString mainObjectiveOf(const QString& name)
{
    return name.section(QLatin1Char('/'), 0, 0);
}

QString sectionObjective(int section)
{
    for (const ExamObjective& o : examObjectives())
        if (o.section == section)
            return o.name;
    return {};
}

void writeItemTags(Session& session, const QString& bankPath, const QHash<int, ItemTag>& tags)
{
    std::vector<std::pair<qint64, QStringList>> rows;
    rows.reserve(static_cast<size_t>(tags.size()));
    for (auto it = tags.cbegin(); it != tags.cend(); ++it)
        rows.emplace_back(it.key(), QStringList{it->objective, it->fact});
    std::sort(rows.begin(), rows.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    platform::TableFile file(QFileInfo(bankPath).absoluteFilePath(), session.passwords(), true,
                             platform::TableFile::Missing::Fail, bankSchema());
    file.writeSideTable(tagColumns(), rows);
}

QHash<int, ItemTag> readItemTags(Session& session, const QString& bankPath)
{
    platform::TableFile file(QFileInfo(bankPath).absoluteFilePath(), session.passwords(), false,
                             platform::TableFile::Missing::Fail, bankSchema());
    QHash<int, ItemTag> tags;
    for (auto& [key, texts] : file.readSideTable(tagColumns()))
        tags.insert(static_cast<int>(key), {texts.value(0), texts.value(1)});
    return tags;
}

ItemObjectives ItemObjectives::read(Session& session, const QString& bankPath,
                                    const QString& userSetPath)
{
    ItemObjectives found;
    found.m_bank = readItemTags(session, bankPath);
    {
        Table bank(session, bankPath, bankSchema());
        bank.open();
        const int key = bank.fieldIndex(QStringLiteral("Q_ID"));
        const int exam = bank.fieldIndex(QStringLiteral("Q_EXAM_N"));
        for (bank.first(); !bank.eof(); bank.next())
            found.m_bankExams.insert(bank.valueAt(key).toInt(), bank.valueAt(exam).toInt());
        bank.close();
    }
    try {
        // The user set may be held by the test sampler or be damaged; its
        // items then count under no objective rather than hiding the bank's.
        Table user(session, userSetPath, userSetSchema());
        user.open();
        const int key = user.fieldIndex(QStringLiteral("Q_ID"));
        const int sect = user.fieldIndex(QStringLiteral("Q_SECT"));
        for (user.first(); !user.eof(); user.next())
            found.m_userSections.insert(user.valueAt(key).toInt(), user.valueAt(sect).toInt());
        user.close();
    } catch (const platform::TableError&) {
    }
    return found;
}

QString ItemObjectives::objectiveOf(int id, bool userItem) const
{
    if (userItem) {
        const auto it = m_userSections.constFind(id);
        return it == m_userSections.constEnd() ? QString() : sectionObjective(*it);
    }
    const QString name = mainObjectiveOf(m_bank.value(id).objective);
    return findExamObjective(name) ? name : QString();
}

QHash<QString, double> ItemObjectives::examShares() const
{
    QHash<QString, double> shares;
    int total = 0;
    for (auto it = m_bankExams.cbegin(); it != m_bankExams.cend(); ++it) {
        const QString objective = it.value() != 0 ? objectiveOf(it.key(), false) : QString();
        if (objective.isEmpty())
            continue;
        shares[objective] += 1.0;
        ++total;
    }
    for (double& s : shares)
        s /= total;
    return shares;
}

std::vector<int> ItemObjectives::practiceItemsOf(const QStringList& objectives) const
{
    std::vector<int> ids;
    for (auto it = m_bankExams.cbegin(); it != m_bankExams.cend(); ++it)
        if (it.value() != 0 && objectives.contains(objectiveOf(it.key(), false)))
            ids.push_back(it.key());
    std::sort(ids.begin(), ids.end());
    return ids;
}

QString ItemObjectives::detailedObjectiveOf(int id) const
{
    return m_bank.value(id).objective;
}

QString ItemObjectives::factOf(int id) const
{
    return m_bank.value(id).fact;
}

QString ItemObjectives::wording(const QString& objective)
{
    const ExamObjective* o = findExamObjective(objective);
    return o ? o->wording : QString();
}

} // namespace store
