#include "recovery/recovery_store.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kSuffix = QStringLiteral(".bdtj");
constexpr int kKeepDays = 7;

QString lockPath(const QString &journal)
{
    return journal + QStringLiteral(".lock");
}

// A lock that only a window that is no longer running leaves to others: never stale by age.
std::unique_ptr<QLockFile> lockFor(const QString &journal)
{
    auto lock = std::make_unique<QLockFile>(lockPath(journal));
    lock->setStaleLockTime(0);
    return lock;
}

bool makeFolder(const QString &path, int *error)
{
    if (QFileInfo(path).isDir())
        return true;
    if (!QDir().mkpath(path)) {
        *error = errno != 0 ? errno : EACCES;
        return false;
    }
    // Announcements being written are the operator's alone.
    ::chmod(QFile::encodeName(path).constData(), 0700);
    return true;
}

} // namespace

QString RecoveryStore::defaultFolder()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/broadcast-data-tool/recovery");
}

QString RecoveryStore::discardedFolder() const
{
    return m_folder + QStringLiteral("/discarded");
}

std::optional<RecoveryStore::Claim> RecoveryStore::claimNew(int *error)
{
    errno = 0;
    if (!makeFolder(m_folder, error))
        return std::nullopt;
    const QString name = QStringLiteral("journal-%1-%2-%3")
                             .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")))
                             .arg(QCoreApplication::applicationPid())
                             .arg(QRandomGenerator::global()->generate() % 100000);
    Claim claim{m_folder + u'/' + name + kSuffix, lockFor(m_folder + u'/' + name + kSuffix)};
    if (!claim.lock->tryLock(0)) {
        *error = claim.lock->error() == QLockFile::PermissionError ? EACCES : EEXIST;
        return std::nullopt;
    }
    QFile::setPermissions(lockPath(claim.path), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return claim;
}

std::vector<RecoveryStore::Claim> RecoveryStore::claimDead()
{
    std::vector<Claim> claims;
    const QFileInfoList journals = QDir(m_folder).entryInfoList(
        {QStringLiteral("*") + kSuffix}, QDir::Files | QDir::Hidden, QDir::Time);
    for (const QFileInfo &journal : journals) {
        Claim claim{journal.absoluteFilePath(), lockFor(journal.absoluteFilePath())};
        if (claim.lock->tryLock(0)) {
            // A rewrite the window did not finish: the journal itself is still whole.
            QFile::remove(claim.path + QStringLiteral(".new"));
            claims.push_back(std::move(claim));
        }
    }
    return claims; // QDir::Time lists the newest first
}

void RecoveryStore::discard(Claim &claim)
{
    int error = 0;
    if (makeFolder(discardedFolder(), &error)) {
        const QString target = discardedFolder() + u'/' + QFileInfo(claim.path).fileName();
        // Kept for a week from now, not from its last edit.
        if (QFile::rename(claim.path, target))
            ::utimensat(AT_FDCWD, QFile::encodeName(target).constData(), nullptr, 0);
    }
    // A journal that could not be moved stays where it is, and is offered again.
    release(claim);
}

void RecoveryStore::remove(Claim &claim)
{
    QFile::remove(claim.path);
    if (claim.lock) {
        claim.lock->unlock();
        claim.lock.reset();
    }
}

void RecoveryStore::release(Claim &claim)
{
    claim.lock.reset(); // QLockFile's destructor unlocks
}

void RecoveryStore::pruneDiscarded()
{
    const QDateTime limit = QDateTime::currentDateTime().addDays(-kKeepDays);
    const QFileInfoList kept = QDir(discardedFolder()).entryInfoList(QDir::Files | QDir::Hidden);
    for (const QFileInfo &file : kept) {
        if (file.lastModified() < limit)
            QFile::remove(file.absoluteFilePath());
    }
}
