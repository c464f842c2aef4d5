#include "live/PhoneService.h"

#include "app/DrawSession.h"
#include "data/DrawData.h"
#include "live/LiveFeed.h"
#include "live/LiveServer.h"
#include "live/QrCode.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkInterface>
#include <QPointer>
#include <QSignalBlocker>
#include <algorithm>

namespace {

// Interfaces of containers, virtual machines and tunnels: phones are not there.
bool looksVirtual(const QNetworkInterface& interface)
{
    if (interface.type() == QNetworkInterface::Virtual)
        return true;
    static const char* const prefixes[] = {"docker", "veth", "br-", "virbr", "vmnet", "vboxnet", "tun",
                                           "tap",    "wg",   "zt",  "lxc",   "lxd",   "podman",  "cni"};
    for (const char* prefix : prefixes) {
        if (interface.name().startsWith(QLatin1String(prefix)))
            return true;
    }
    return false;
}

QHostAddress firstIpv4(const QNetworkInterface& interface)
{
    for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
        if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol)
            return entry.ip();
    }
    return QHostAddress();
}

} // namespace

PhoneService::PhoneService(DrawSession& session, QObject* parent) : QObject(parent), m_session(session)
{
    qRegisterMetaType<LiveUpdate>();
    m_thread.setObjectName(QStringLiteral("phones"));
    m_addressCheck.setInterval(AddressCheckMs);
    connect(&m_addressCheck, &QTimer::timeout, this, [this] {
        if (m_server && advertisedAddress(m_settings.address) != m_address) {
            stop();
            start();
        }
    });
}

PhoneService::~PhoneService()
{
    // Its views may be gone already: nobody hears of the page going away with the show.
    const QSignalBlocker quiet(this);
    stop();
}

QHostAddress PhoneService::advertisedAddress(const QString& wanted)
{
    QHostAddress given;
    if (!wanted.isEmpty() && given.setAddress(wanted) && given.protocol() == QAbstractSocket::IPv4Protocol)
        return given;
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& interface : interfaces) {
        const auto flags = interface.flags();
        const bool up =
            flags.testFlag(QNetworkInterface::IsUp) && flags.testFlag(QNetworkInterface::IsRunning);
        if (!wanted.isEmpty()) {
            if (interface.name() == wanted && up && !firstIpv4(interface).isNull())
                return firstIpv4(interface);
            continue;
        }
        if (up && !flags.testFlag(QNetworkInterface::IsLoopBack) && !looksVirtual(interface) &&
            !firstIpv4(interface).isNull())
            return firstIpv4(interface);
    }
    return QHostAddress(QHostAddress::LocalHost);
}

void PhoneService::open()
{
    m_settings = PhoneSettings::read(m_session.folder());
    if (m_settings.enabled)
        start();
}

bool PhoneService::setEnabled(bool on)
{
    const bool written = PhoneSettings::writeEnabled(m_session.folder(), on);
    m_settings = PhoneSettings::read(m_session.folder());
    m_settings.enabled = on;
    if (on && !m_server)
        start();
    else if (!on && m_server)
        stop();
    return written;
}

void PhoneService::start()
{
    const QHostAddress address = advertisedAddress(m_settings.address);
    m_address = address;
    m_addressCheck.start();
    if (!m_settings.address.isEmpty() && address.isLoopback() && m_settings.address != address.toString())
        m_problem = QStringLiteral("找不到地址 %1, 只在本机可用").arg(m_settings.address);
    else
        m_problem.clear();
    m_feed = std::make_unique<LiveFeed>(
        m_session, PhoneNames(ParticipantFields(m_session.folder()), m_settings.maskNames));
    LiveServer::Limits limits;
    limits.perAddress = m_settings.perAddress;
    m_server = new LiveServer(limits);
    m_server->moveToThread(&m_thread);
    connect(m_feed.get(), &LiveFeed::updated, m_server, &LiveServer::publish);
    connect(m_server, &LiveServer::phonesChanged, this, [this](int phones, const QStringList& capped) {
        m_phones = phones;
        m_capped = capped;
        emit changed();
    });
    connect(m_server, &LiveServer::checkinAsked, this,
            [this](quint64 ask, const QString& name, const QString& code, const QString& device) {
                const QPointer<PhoneService> self(this);
                m_session.checkinDesk().checkIn(
                    name, code, device, [self, ask](const CheckinBook::Answer& answer) {
                        if (!self || !self->m_server)
                            return;
                        const bool wrong =
                            !answer.ok && answer.message == QString::fromWCharArray(CheckinBook::Wrong);
                        const QByteArray json = self->answerOf(answer);
                        LiveServer* server = self->m_server;
                        QMetaObject::invokeMethod(
                            server, [server, ask, wrong, json] { server->answerCheckin(ask, wrong, json); });
                    });
            });
    connect(m_server, &LiveServer::listening, this, [this, address](quint16 port) {
        if (port == 0) {
            m_url.clear();
            m_qr = QImage();
            m_problem = QStringLiteral("端口 %1 到 %2 都已被占用")
                            .arg(m_settings.port)
                            .arg(m_settings.port + PhoneSettings::PortsTried);
        } else {
            m_url = QStringLiteral("http://%1:%2/").arg(address.toString()).arg(port);
            m_qr = QrCode::image(m_url);
        }
        emit changed();
    });
    m_thread.start();
    QList<QHostAddress> addresses{QHostAddress(QHostAddress::LocalHost)};
    if (!address.isLoopback())
        addresses.prepend(address);
    const LiveUpdate first = m_feed->current();
    LiveServer* server = m_server;
    const quint16 port = m_settings.port;
    const QString advertised = address.toString();
    QMetaObject::invokeMethod(server, [server, first, addresses, port, advertised] {
        server->publish(first);
        server->listen(addresses, port, PhoneSettings::PortsTried + 1, advertised);
    });
}

void PhoneService::stop()
{
    if (!m_server)
        return;
    m_addressCheck.stop();
    m_feed.reset();
    LiveServer* server = m_server;
    m_server = nullptr;
    QMetaObject::invokeMethod(
        server, [server] { delete server; }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
    m_url.clear();
    m_qr = QImage();
    m_phones = 0;
    m_capped.clear();
    m_problem.clear();
    emit changed();
}

QByteArray PhoneService::answerOf(const CheckinBook::Answer& answer) const
{
    QJsonObject json{{"ok", answer.ok}, {"message", answer.message}};
    if (answer.ok) {
        const PhoneNames& names = m_feed->names();
        json.insert("name", names.shown(QString::fromStdWString(answer.line)));
        // What that person has won already, as the page lists the prizes.
        QJsonArray won;
        for (const AwardItem& award : m_session.engine().awards()) {
            if (std::find(award.winners.begin(), award.winners.end(), answer.line) != award.winners.end())
                won.append(QJsonObject{{"award", QString::fromStdWString(award.awardName)},
                                       {"prize", QString::fromStdWString(award.prizeName)}});
        }
        json.insert("won", won);
    }
    return QJsonDocument(json).toJson(QJsonDocument::Compact);
}
