#pragma once

#include <QByteArray>

// Temporary files that must not outlive a process ended by a signal. A save writes a new
// file beside its target; where the file system has unnamed files it gets its name only
// for the instant before the rename, elsewhere (NFS, SMB, vfat) it has one for the whole
// save, and a SIGTERM, SIGHUP or SIGINT then would leave it behind, one per run.
namespace removal_on_signal {

// Handles SIGTERM, SIGHUP and SIGINT: the files named at that moment are removed and the
// process then ends by the same signal, as it would have without the handler. A signal
// that is ignored (as under nohup, or SIGINT in a script's background job) stays ignored.
// For programs that end on these signals; a program that installs nothing is unaffected.
void install();

// A name to remove if such a signal ends the process while it is held; it is forgotten
// when the holder goes or takes another name.
class Name
{
public:
    Name() = default;
    ~Name();
    Name(const Name &) = delete;
    Name &operator=(const Name &) = delete;

    // Holds name from now on. It is held before the file is made, so that no moment is
    // left between the two; removing a name not yet made is harmless.
    void set(const QByteArray &name);
    void clear();
    const QByteArray &bytes() const { return m_bytes; }
    const char *constData() const { return m_bytes.constData(); }
    bool isEmpty() const { return m_bytes.isEmpty(); }

private:
    QByteArray m_bytes;
    int m_slot = -1;
};

} // namespace removal_on_signal
