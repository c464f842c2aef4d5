#include "live/LiveFeed.h"

#include "app/DrawSession.h"
#include "areas/TextAreas.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QByteArray compact(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QJsonArray array(const std::vector<QString>& names)
{
    QJsonArray list;
    for (const QString& name : names)
        list.append(name);
    return list;
}

} // namespace

LiveFeed::LiveFeed(DrawSession& session, PhoneNames names, QObject* parent)
    : QObject(parent), m_session(session), m_names(std::move(names))
{
    rebuild();
    // The stop's line may be known only when the prize's last winner landed.
    const QString fingerprint = m_session.fingerprint();
    for (int i = static_cast<int>(m_prizes.size()) - 1; i >= 0; --i) {
        if (m_session.engine().award(i).drawn) {
            m_prizes[size_t(i)].fingerprint = fingerprint;
            buildPrize(i);
            m_results = results();
            break;
        }
    }
    connect(&session, &DrawSession::prizeDrawn, this, [this](int prize) { prizeChanged("prize", prize); });
    connect(&session, &DrawSession::winnerReplaced, this, [this](int prize, int row) {
        if (prize >= 0 && size_t(prize) < m_prizes.size() && row >= 0 &&
            size_t(row) < m_prizes[size_t(prize)].winners.size())
            m_prizes[size_t(prize)].replaced.push_back(m_prizes[size_t(prize)].winners[size_t(row)]);
        prizeChanged("replace", prize);
    });
    connect(&session, &DrawSession::restarted, this, [this] {
        m_finished = false;
        m_prizes.clear();
        rebuild();
        publish("reset");
    });
    const auto edited = [this] {
        const QByteArray before = m_results;
        rebuild();
        if (m_results != before)
            publish("reset");
    };
    connect(&session, &DrawSession::prizesChanged, this, edited);
    // The titles: a move of an area changes nothing the phones show.
    connect(&session, &DrawSession::layoutChanged, this, [this] {
        const QByteArray before = m_results;
        m_results = results();
        if (m_results != before)
            publish("reset");
    });
    connect(&session, &DrawSession::resultScreenRequested, this, [this] {
        if (m_finished)
            return;
        m_finished = true;
        publish("finished");
    });
}

void LiveFeed::setNames(PhoneNames names)
{
    m_names = std::move(names);
    rebuild();
    publish("reset");
}

void LiveFeed::buildPrize(int index)
{
    const AwardItem& award = m_session.engine().award(index);
    Prize& prize = m_prizes[size_t(index)];
    prize.winners.clear();
    for (const tstring& winner : award.winners)
        prize.winners.push_back(QString::fromStdWString(winner));
    std::vector<QString> shown;
    for (const QString& winner : prize.winners)
        shown.push_back(m_names.shown(winner));
    std::vector<QString> replaced;
    for (const QString& absent : prize.replaced)
        replaced.push_back(m_names.shown(absent));
    prize.json = compact(QJsonObject{{"index", index},
                                     {"award", QString::fromStdWString(award.awardName)},
                                     {"prize", QString::fromStdWString(award.prizeName)},
                                     {"count", award.winnerCount},
                                     {"drawn", award.drawn != 0},
                                     {"winners", array(shown)},
                                     {"replaced", array(replaced)},
                                     {"fingerprint", award.drawn ? prize.fingerprint : QString()}});
}

void LiveFeed::rebuild()
{
    const int count = m_session.engine().prizeCount();
    m_prizes.resize(size_t(std::max(0, count)));
    for (int i = 0; i < count; ++i) {
        // A prize no longer drawn, or drawn again, forgets who gave way.
        if (!m_session.engine().award(i).drawn) {
            m_prizes[size_t(i)].replaced.clear();
            m_prizes[size_t(i)].fingerprint.clear();
        }
        buildPrize(i);
    }
    m_results = results();
}

QByteArray LiveFeed::results() const
{
    const AreaEditor& areas = m_session.areas();
    QByteArray json = compact(QJsonObject{{"version", m_version},
                                          {"title", areas.area(AreaMainTitle).m_titleName},
                                          {"subtitle", areas.area(AreaSubTitle).m_titleName},
                                          {"finished", m_finished},
                                          {"masked", m_names.masked()},
                                          {"prizes", QJsonArray()}});
    // The prizes are kept as JSON of their own: a stop builds its prize's only.
    QByteArray prizes;
    for (const Prize& prize : m_prizes) {
        if (!prizes.isEmpty())
            prizes += ',';
        prizes += prize.json;
    }
    // A key's quotes cannot appear unescaped inside a string, so this is the key.
    const QByteArray empty = "\"prizes\":[]";
    const qsizetype at = json.indexOf(empty);
    json.insert(at + empty.size() - 1, prizes);
    return json;
}

void LiveFeed::prizeChanged(const QByteArray& event, int index)
{
    if (index < 0 || index >= m_session.engine().prizeCount())
        return;
    if (size_t(index) >= m_prizes.size())
        rebuild();
    m_prizes[size_t(index)].fingerprint = m_session.fingerprint();
    buildPrize(index);
    publish(event, index);
}

void LiveFeed::publish(const QByteArray& event, int prize)
{
    ++m_version;
    m_results = results();
    QByteArray data;
    if (event == "reset")
        data = m_results;
    else if (event == "finished")
        data = compact(QJsonObject{{"version", m_version}, {"finished", true}});
    else
        data = "{\"version\":" + QByteArray::number(m_version) +
               ",\"prize\":" + m_prizes[size_t(prize)].json + '}';
    emit updated(LiveUpdate{m_version, event, data, m_results});
}

LiveUpdate LiveFeed::current() const
{
    return LiveUpdate{m_version, "reset", m_results, m_results};
}
