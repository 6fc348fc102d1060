#include "files/removal_on_signal.h"

#include <array>
#include <atomic>
#include <csignal>
#include <unistd.h>

namespace removal_on_signal {
namespace {

// A handler may only read what it finds here: plain pointers to bytes that stay in place
// while they are held. More names than this at once are not held (a save holds one).
constexpr std::size_t kSlots = 32;
std::array<std::atomic<const char *>, kSlots> g_names{};

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

void removeAndEnd(int signal)
{
    for (const auto &slot : g_names) {
        if (const char *name = slot.load())
            ::unlink(name);
    }
    // Ends by the signal itself, so that the parent sees what ended it; it is blocked
    // until the handler returns.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace

void install()
{
    for (const int signal : kSignals) {
        struct sigaction current{};
        if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN)
            continue;
        struct sigaction action{};
        action.sa_handler = removeAndEnd;
        sigemptyset(&action.sa_mask);
        for (const int other : kSignals)
            sigaddset(&action.sa_mask, other);
        ::sigaction(signal, &action, nullptr);
    }
}

Name::~Name()
{
    clear();
}

void Name::set(const QByteArray &name)
{
    clear();
    m_bytes = name;
    for (std::size_t i = 0; i < kSlots; ++i) {
        const char *expected = nullptr;
        if (g_names[i].compare_exchange_strong(expected, m_bytes.constData())) {
            m_slot = int(i);
            return;
        }
    }
}

void Name::clear()
{
    if (m_slot >= 0)
        g_names[std::size_t(m_slot)].store(nullptr);
    m_slot = -1;
    m_bytes.clear();
}

} // namespace removal_on_signal
