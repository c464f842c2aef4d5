#include "live/LiveFeed.h"

#include "app/DrawSession.h"
#include "areas/TextAreas.h"

#include <QDateTime>
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
    : QObject(parent), m_session(session), m_names(std::move(names)),
      // Versions go on growing across restarts, so a phone's Last-Event-ID
      // from an earlier run never names an event of this one.
      m_version(QDateTime::currentMSecsSinceEpoch())
{
    rebuild();
    connect(&session, &DrawSession::prizeDrawn, this, [this](int prize) { prizeChanged("prize", prize); });
    connect(&session, &DrawSession::revealChanged, this, [this](int prize) {
        if (!m_session.reveal().landing())
            prizeChanged("prize", prize);
    });
    connect(&session, &DrawSession::winnerReplaced, this,
            [this](int prize, int) { prizeChanged("replace", prize); });
    connect(&session, &DrawSession::restarted, this, [this] {
        m_finished = false;
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
    // Opened or closed, the page's form changes; a guest checking in changes nothing it shows.
    connect(&session.checkinDesk(), &CheckinDesk::changed, this, [this] {
        const CheckinDesk& desk = m_session.checkinDesk();
        if (CheckinBook::nameOf(desk.mode()) != m_checkin || desk.isOpen() != m_checkinOpen)
            publish("reset");
    });
    // A commitment shown, a digit typed: the phones show them as the screen does.
    connect(&session, &DrawSession::witnessChanged, this, [this] {
        const QJsonValue now = witness();
        if (now == m_witness)
            return;
        m_witness = now;
        publish("witness");
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
    const WinnersLedger& ledger = m_session.ledger();
    // A prize shown one at a time names only those who have landed.
    std::vector<QString> shown;
    const int landed = m_session.shownWinners(index);
    for (int i = 0; i < landed; ++i)
        shown.push_back(m_names.shown(QString::fromStdWString(award.winners[size_t(i)])));
    std::vector<QString> replaced;
    for (const tstring& absent : ledger.absentOf(award))
        replaced.push_back(m_names.shown(QString::fromStdWString(absent)));
    // The audience sees no journal line when the event hides it; nor do the phones.
    const bool drawn = m_session.engine().hasWinners(index);
    const bool fingerprinted = drawn && !m_session.fingerprint().isEmpty();
    QJsonObject prize{{"index", index},
                      {"award", QString::fromStdWString(award.awardName)},
                      {"prize", QString::fromStdWString(award.prizeName)},
                      {"count", award.winnerCount},
                      {"drawn", drawn},
                      {"winners", array(shown)},
                      {"replaced", array(replaced)},
                      {"fingerprint", fingerprinted ? ledger.fingerprintOf(award) : QString()}};
    // A witnessed draw's reveal: each phone checks the commitment and the seed itself.
    if (drawn && award.witness) {
        const WitnessStream& stream = *award.witness;
        prize.insert("witness", QJsonObject{{"prize", stream.committedPrize},
                                            {"commitment", Commitment::hex(stream.commitment)},
                                            {"secret", Commitment::hex(stream.secret)},
                                            {"digits", QString::fromStdString(stream.digits)},
                                            {"admittedSha256", stream.admittedSha256},
                                            {"seed", stream.seed.hex()}});
    }
    m_prizes[size_t(index)] = compact(prize);
}

QJsonValue LiveFeed::witness() const
{
    const WitnessDesk& desk = m_session.witness();
    const auto& commit = desk.commit();
    if (!commit || !m_session.engine().running())
        return QJsonValue::Null;
    return QJsonObject{{"prize", commit->prize},
                       {"commitment", Commitment::hex(commit->commitment)},
                       {"attempt", desk.attempt()},
                       {"digits", desk.digits()},
                       {"needed", desk.minDigits()}};
}

void LiveFeed::rebuild()
{
    const int count = m_session.engine().prizeCount();
    m_prizes.resize(size_t(std::max(0, count)));
    for (int i = 0; i < count; ++i)
        buildPrize(i);
    m_results = results();
}

QByteArray LiveFeed::results()
{
    m_checkin = CheckinBook::nameOf(m_session.checkinDesk().mode());
    m_checkinOpen = m_session.checkinDesk().isOpen();
    const AreaEditor& areas = m_session.areas();
    QByteArray json = compact(QJsonObject{{"version", m_version},
                                          {"title", areas.area(AreaMainTitle).m_titleName},
                                          {"subtitle", areas.area(AreaSubTitle).m_titleName},
                                          {"finished", m_finished},
                                          {"masked", m_names.masked()},
                                          {"checkin", m_checkin},
                                          {"checkinOpen", m_checkinOpen},
                                          {"witness", witness()},
                                          {"prizes", QJsonArray()}});
    // The prizes are kept as JSON of their own: a stop builds its prize's only.
    QByteArray prizes;
    for (const QByteArray& prize : m_prizes) {
        if (!prizes.isEmpty())
            prizes += ',';
        prizes += prize;
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
    else if (event == "witness")
        data = compact(QJsonObject{{"version", m_version}, {"witness", witness()}});
    else
        data =
            "{\"version\":" + QByteArray::number(m_version) + ",\"prize\":" + m_prizes[size_t(prize)] + '}';
    emit updated(LiveUpdate{m_version, event, data, m_results});
}

LiveUpdate LiveFeed::current() const
{
    return LiveUpdate{m_version, "reset", m_results, m_results};
}
