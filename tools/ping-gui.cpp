// ping-gui WINDOW: sends the window manager's ping (_NET_WM_PING) to an X
// window every few milliseconds and prints one line per answer: when the
// ping was sent (milliseconds of the real-time clock) and how long the
// answer took. The toolkit answers from its GUI thread, so a late answer is
// the time that thread was busy: what the hall sees as a frozen frame. Ends
// when the window is destroyed, or on SIGINT or SIGTERM.
#include <xcb/xcb.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <poll.h>

namespace {

constexpr double PeriodMs = 5.0;

volatile std::sig_atomic_t stopping = 0;

double nowMs()
{
    timespec time{};
    clock_gettime(CLOCK_REALTIME, &time);
    return double(time.tv_sec) * 1000.0 + double(time.tv_nsec) / 1e6;
}

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name),
                              nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: ping-gui WINDOW-ID\n");
        return 2;
    }
    const xcb_window_t window = xcb_window_t(std::strtoul(argv[1], nullptr, 0));
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "ping-gui: no X display\n");
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const xcb_atom_t protocols = atom(connection, "WM_PROTOCOLS");
    const xcb_atom_t ping = atom(connection, "_NET_WM_PING");
    // The answers go to the root window's structure watchers, which any client
    // may be; its substructure says when the window is destroyed.
    const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    std::signal(SIGINT, [](int) { stopping = 1; });
    std::signal(SIGTERM, [](int) { stopping = 1; });
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    std::map<uint32_t, double> sent;
    uint32_t serial = 1;
    double next = nowMs();
    bool gone = false;
    while (!stopping && !gone) {
        if (nowMs() >= next) {
            xcb_client_message_event_t event{};
            event.response_type = XCB_CLIENT_MESSAGE;
            event.format = 32;
            event.window = window;
            event.type = protocols;
            event.data.data32[0] = ping;
            event.data.data32[1] = serial;
            event.data.data32[2] = window;
            xcb_send_event(connection, 0, window, XCB_EVENT_MASK_NO_EVENT,
                           reinterpret_cast<const char*>(&event));
            xcb_flush(connection);
            sent[serial++] = nowMs();
            next += PeriodMs;
        }
        pollfd descriptor{xcb_get_file_descriptor(connection), POLLIN, 0};
        const int wait = int(next - nowMs());
        if (poll(&descriptor, 1, wait > 0 ? wait : 0) < 0 && errno != EINTR)
            break;
        while (xcb_generic_event_t* generic = xcb_poll_for_event(connection)) {
            const uint8_t type = generic->response_type & 0x7F;
            if (type == XCB_CLIENT_MESSAGE) {
                const auto* answer = reinterpret_cast<xcb_client_message_event_t*>(generic);
                const auto found = sent.find(answer->data.data32[1]);
                if (answer->type == protocols && answer->data.data32[0] == ping &&
                    answer->data.data32[2] == window && found != sent.end()) {
                    std::printf("%.1f %.1f\n", found->second, nowMs() - found->second);
                    sent.erase(found);
                }
            } else if (type == XCB_DESTROY_NOTIFY &&
                       reinterpret_cast<xcb_destroy_notify_event_t*>(generic)->window == window) {
                gone = true;
            }
            std::free(generic);
        }
        if (xcb_connection_has_error(connection))
            break;
    }
    // Pings still unanswered when the window went: the last stretch it was busy.
    if (!sent.empty())
        std::printf("%.1f %.1f unanswered\n", sent.begin()->second, nowMs() - sent.begin()->second);
    xcb_disconnect(connection);
    return 0;
}
