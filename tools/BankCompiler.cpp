#include "BankCompiler.h"

#include "DataFolder.h"
#include "ItemRules.h"
#include "Objectives.h"
#include "Schemas.h"
#include "Session.h"
#include "Table.h"
#include "TableError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <cstdio>

namespace bank {

const QVector<Objective>& objectives()
{
    // The program words and counts results by the same list.
    static const QVector<Objective> list = [] {
        QVector<Objective> l;
        for (const store::ExamObjective& o : store::examObjectives())
            l.push_back({o.name, o.section});
        return l;
    }();
    return list;
}

const Objective* findObjective(const QString& name)
{
    for (const Objective& o : objectives())
        if (o.name == name)
            return &o;
    return nullptr;
}

namespace {

const QSet<QString>& knownMembers()
{
    static const QSet<QString> names = {
        QStringLiteral("id"),       QStringLiteral("section"),     QStringLiteral("objective"),
        QStringLiteral("multiple"), QStringLiteral("text"),        QStringLiteral("choices"),
        QStringLiteral("key"),      QStringLiteral("explanation"), QStringLiteral("sim"),
        QStringLiteral("pict1"),    QStringLiteral("pict2"),       QStringLiteral("fact")};
    return names;
}

store::ItemContent contentOf(const SourceItem& item)
{
    store::ItemContent c;
    c.id = item.id;
    c.exam = item.exam;
    c.section = item.section;
    c.multiple = item.multiple;
    c.text = item.text;
    c.explanation = item.explanation;
    c.choices = item.choices;
    c.key = item.key;
    c.sim = item.sim;
    return c;
}

class ItemReader {
public:
    ItemReader(const QString& file, const QString& picturesDir, QStringList* errors)
        : m_file(file), m_pictures(picturesDir), m_errors(errors)
    {
    }

    bool read(const QJsonObject& o, int exam, SourceItem* item)
    {
        m_where = QStringLiteral("%1: item %2")
                      .arg(m_file, o.value(QStringLiteral("id")).toVariant().toString());
        bool ok = true;
        for (const QString& k : o.keys())
            if (!knownMembers().contains(k))
                ok = error(QStringLiteral("unknown member \"%1\"").arg(k));
        item->file = m_file;
        item->exam = exam;
        const QJsonValue id = o.value(QStringLiteral("id"));
        if (!id.isDouble() || id.toDouble() != static_cast<int>(id.toDouble()) || id.toInt() < 1)
            ok = error(QStringLiteral("\"id\" must be a positive whole number"));
        item->id = id.toInt();
        const QJsonValue sect = o.value(QStringLiteral("section"));
        item->section = sect.toInt(-1);
        if (!sect.isDouble())
            ok = error(QStringLiteral("\"section\" must be a whole number"));
        const QJsonValue objective = o.value(QStringLiteral("objective"));
        item->objective = objective.toString();
        const Objective* known = findObjective(item->objective);
        if (!objective.isString() || item->objective.isEmpty())
            ok = error(QStringLiteral("\"objective\" is missing or empty"));
        else if (!known)
            ok = error(QStringLiteral("unknown objective \"%1\"").arg(item->objective));
        else if (known->section != item->section && item->section >= 1 && item->section <= 5)
            ok = error(QStringLiteral("objective \"%1\" belongs to section %2, not %3")
                           .arg(item->objective)
                           .arg(known->section)
                           .arg(item->section));
        // Optional here, so that small test banks need none; the shipped bank's
        // checks require one on every item.
        const QJsonValue fact = o.value(QStringLiteral("fact"));
        item->fact = fact.toString();
        static const QRegularExpression tag(
            QStringLiteral("^[a-z0-9]+(-[a-z0-9]+)*/[a-z0-9]+(-[a-z0-9]+)*$"));
        if (!fact.isUndefined() && (!fact.isString() || !tag.match(item->fact).hasMatch()))
            ok = error(QStringLiteral("\"fact\" must be a topic and a fact in lower-case words "
                                      "joined by hyphens, parted by a slash "
                                      "(\"dhcp/lease-renewal-times\")"));
        const QJsonValue multiple = o.value(QStringLiteral("multiple"));
        if (!multiple.isUndefined() && !multiple.isBool())
            ok = error(QStringLiteral("\"multiple\" must be true or false"));
        item->multiple = multiple.toBool(false);
        item->text = o.value(QStringLiteral("text")).toString();
        item->explanation = o.value(QStringLiteral("explanation")).toString();
        item->sim = o.value(QStringLiteral("sim")).toString();

        const QJsonValue choices = o.value(QStringLiteral("choices"));
        const QJsonArray list = choices.toArray();
        if (!choices.isUndefined() && !choices.isArray())
            ok = error(QStringLiteral("\"choices\" must be a list of texts"));
        if (list.size() > 6)
            ok = error(QStringLiteral("more than six choices"));
        for (int i = 0; i < list.size() && i < 6; ++i) {
            if (!list.at(i).isString())
                ok = error(QStringLiteral("choice %1 is not a text").arg(QChar(u'a' + i)));
            item->choices[static_cast<size_t>(i)] = list.at(i).toString();
        }

        const QString key = o.value(QStringLiteral("key")).toString();
        if (key.isEmpty())
            ok = error(QStringLiteral("\"key\" is missing or empty"));
        for (const QChar c : key) {
            const int i = c.unicode() - u'a';
            if (i < 0 || i > 5) {
                ok = error(QStringLiteral("key letter \"%1\" is not one of a to f").arg(c));
                continue;
            }
            if (item->key[static_cast<size_t>(i)])
                ok = error(QStringLiteral("key letter \"%1\" is repeated").arg(c));
            item->key[static_cast<size_t>(i)] = true;
        }
        // The test sampler's Save refuses the same: a "Choose n." that the key
        // does not match.
        if (item->sim.isEmpty())
            for (const store::KeyProblem& p :
                 store::keyProblems(item->text, item->choices, item->key, item->multiple))
                if (p.kind == store::KeyProblem::ChooseCountDiffers)
                    ok = error(QStringLiteral("the question says \"Choose %1.\" but the key has "
                                              "%2 letter(s)")
                                   .arg(p.said)
                                   .arg(p.keys));
        // The same rules hold the rows of a bank file when the program opens it.
        for (const store::ItemProblem& p : store::bankItemProblems(contentOf(*item)))
            ok = error(p.what);
        // The program shows a simulation button for any Q_SIM, but only these
        // two start a simulation.
        if (!item->sim.isEmpty() && item->sim != QLatin1String("SIM1") &&
            item->sim != QLatin1String("SIM2"))
            ok = error(QStringLiteral("\"sim\" must be \"SIM1\" or \"SIM2\""));
        if (item->text.trimmed().isEmpty())
            ok = error(QStringLiteral("\"text\" is missing or empty"));
        if (item->explanation.trimmed().isEmpty())
            ok = error(QStringLiteral("\"explanation\" is missing or empty"));
        if (item->sim.isEmpty() &&
            std::count_if(item->choices.begin(), item->choices.end(),
                          [](const QString& c) { return !c.trimmed().isEmpty(); }) < 2)
            ok = error(QStringLiteral("an item needs at least two choices"));
        item->pict1 = o.value(QStringLiteral("pict1")).toString();
        item->pict2 = o.value(QStringLiteral("pict2")).toString();
        for (const QString* p : {&item->pict1, &item->pict2}) {
            if (p->isEmpty())
                continue;
            if (p->contains(QLatin1Char('/')) || p->contains(QLatin1Char('\\')))
                ok = error(QStringLiteral("picture \"%1\" must be a plain file name").arg(*p));
            else if (!QFileInfo::exists(QDir(m_pictures).filePath(*p)))
                ok = error(QStringLiteral("picture \"%1\" not found in %2").arg(*p, m_pictures));
        }
        return ok;
    }

    bool error(const QString& what)
    {
        *m_errors << QStringLiteral("%1: %2").arg(m_where, what);
        return false;
    }

private:
    QString m_file;
    QString m_pictures;
    QStringList* m_errors;
    QString m_where;
};

} // namespace

QVector<SourceItem> readSource(const QString& sourceDir, const QString& picturesDir,
                               QStringList* errors)
{
    QVector<SourceItem> items;
    const QDir dir(sourceDir);
    const QStringList files = dir.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name);
    if (files.isEmpty())
        *errors << QStringLiteral("%1: no *.json source file").arg(sourceDir);
    for (const QString& name : files) {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::ReadOnly)) {
            *errors << QStringLiteral("%1: cannot be read").arg(name);
            continue;
        }
        QJsonParseError perr;
        const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &perr);
        if (perr.error != QJsonParseError::NoError) {
            *errors << QStringLiteral("%1: not valid JSON at offset %2: %3")
                           .arg(name)
                           .arg(perr.offset)
                           .arg(perr.errorString());
            continue;
        }
        const QJsonObject root = doc.object();
        const QJsonValue exam = root.value(QStringLiteral("exam"));
        if (!exam.isDouble() || exam.toInt(-1) < 0 || exam.toInt(-1) > 7) {
            *errors << QStringLiteral("%1: \"exam\" must be 0 to 7").arg(name);
            continue;
        }
        ItemReader reader(name, picturesDir, errors);
        const QJsonArray list = root.value(QStringLiteral("items")).toArray();
        for (const QJsonValue& v : list) {
            SourceItem item;
            if (reader.read(v.toObject(), exam.toInt(), &item))
                items.push_back(item);
        }
    }
    std::sort(items.begin(), items.end(),
              [](const SourceItem& a, const SourceItem& b) { return a.id < b.id; });
    for (qsizetype i = 0; i < items.size(); ++i) {
        const int expected = static_cast<int>(i) + 1;
        if (items[i].id != expected) {
            if (i > 0 && items[i].id == items[i - 1].id)
                *errors << QStringLiteral("%1: item %2: id repeated (also in %3)")
                               .arg(items[i].file)
                               .arg(items[i].id)
                               .arg(items[i - 1].file);
            else
                *errors << QStringLiteral("%1: item %2: ids must run 1..N without gaps; "
                                          "expected %3")
                               .arg(items[i].file)
                               .arg(items[i].id)
                               .arg(expected);
            break;
        }
    }
    return items;
}

void writeBank(const QVector<SourceItem>& items, const QString& bankPath)
{
    store::Session session(QString::fromLatin1(store::kSessionName));
    session.registerPassword(QString::fromLatin1(store::kTablePassword));
    const QString target = QFileInfo(bankPath).absoluteFilePath();

    const QHash<qint64, QString> notes =
        QFileInfo::exists(target) ? store::readNotes(session, target) : QHash<qint64, QString>();

    const QString fresh = target + QStringLiteral(".new");
    QFile::remove(fresh);
    {
        store::Table t(session, fresh, store::bankSchema(), true);
        t.setExclusive(true);
        t.open();
        t.beginBatch();
        for (const SourceItem& it : items) {
            t.append();
            t.setValue(QStringLiteral("Q_ID"), it.id);
            t.setValue(QStringLiteral("Q_EXAM_N"), it.exam);
            t.setValue(QStringLiteral("Q_SECT"), it.section);
            t.setValue(QStringLiteral("Q_TEXT"), it.text);
            t.setValue(QStringLiteral("Q_EXPL"), it.explanation);
            t.setValue(QStringLiteral("Q_TYPE"), it.multiple);
            for (int i = 0; i < 6; ++i) {
                t.setValue(QStringLiteral("Q%1").arg(i + 1), it.choices[static_cast<size_t>(i)]);
                t.setValue(QStringLiteral("A%1").arg(i + 1), it.key[static_cast<size_t>(i)]);
            }
            t.setValue(QStringLiteral("Q_SIM"), it.sim);
            t.setValue(QStringLiteral("PICT1"),
                       it.pict1.isEmpty() ? QString() : QStringLiteral("pictures/") + it.pict1);
            t.setValue(QStringLiteral("PICT2"),
                       it.pict2.isEmpty() ? QString() : QStringLiteral("pictures/") + it.pict2);
            if (notes.contains(it.id))
                t.setValue(QStringLiteral("U_MEMO"), notes.value(it.id));
            t.post();
        }
        t.commitBatch();
        t.close();
    }
    try {
        // Beside the items table, whose fields stay as the program reads them.
        QHash<int, store::ItemTag> tags;
        for (const SourceItem& it : items)
            tags.insert(it.id, {it.objective, it.fact});
        store::writeItemTags(session, fresh, tags);
    } catch (...) {
        QFile::remove(fresh);
        throw;
    }
    // rename(2) replaces the old bank in one step, so a reader sees either
    // the old or the new file, never a half-written one.
    if (std::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(target).constData()) !=
        0) {
        QFile::remove(fresh);
        throw platform::TableError(
            platform::TableError::CantOpen,
            QStringLiteral("Cannot move the new bank into place at %1.").arg(target));
    }
}

void ensureUserSet(const QString& path)
{
    store::ensureUserSet(path);
}

} // namespace bank
