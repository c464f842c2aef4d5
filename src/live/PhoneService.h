#pragma once

#include "app/CheckinBook.h"
#include "live/PhoneSettings.h"

#include <QHostAddress>
#include <QImage>
#include <QObject>
#include <QStringList>
#include <QThread>
#include <QTimer>
#include <memory>

class DrawSession;
class LiveFeed;
class LiveServer;

// The guests' phones as a view of the show: the results page served from a
// thread of its own at an address of the laptop's, its QR code, and how many
// phones hold it now. Off unless the event or the operator turns it on.
class PhoneService : public QObject
{
    Q_OBJECT
public:
    static constexpr int AddressCheckMs = 5000;

    explicit PhoneService(DrawSession& session, QObject* parent = nullptr);
    ~PhoneService() override;

    // Reads [Phone] and serves the page when it says so.
    void open();
    // The menu's and the console's switch, kept in [Phone]; false when the
    // file could not be written (the page follows the switch all the same).
    bool setEnabled(bool on);
    bool enabled() const { return m_server != nullptr; }

    // http://address:port/ once listening; empty otherwise.
    const QString& url() const { return m_url; }
    // The URL's QR code, a pixel a module with its quiet zone; null when none.
    const QImage& qrCode() const { return m_qr; }
    int phones() const { return m_phones; }
    const QStringList& capped() const { return m_capped; }
    // Why the page is not served although turned on; empty when it is.
    const QString& problem() const { return m_problem; }

    // The address to advertise for `wanted` ([Phone] Address): an IPv4
    // address as given, an interface's first IPv4 address, or the first up,
    // non-loopback, non-virtual interface's; loopback when there is none.
    static QHostAddress advertisedAddress(const QString& wanted);

signals:
    // The address, the QR code, the phones or the problem changed.
    void changed();

private:
    void start();
    void stop();
    // The show's answer to a phone's check-in, as the page reads it.
    QByteArray answerOf(const CheckinBook::Answer& answer) const;

    DrawSession& m_session;
    PhoneSettings m_settings;
    QThread m_thread;
    LiveServer* m_server = nullptr;
    std::unique_ptr<LiveFeed> m_feed;
    QString m_url;
    QImage m_qr;
    int m_phones = 0;
    QStringList m_capped;
    QString m_problem;
    // The laptop's address can change during the show (a Wi-Fi rejoined):
    // the page moves with it, and its QR code.
    QTimer m_addressCheck;
    QHostAddress m_address;
};
