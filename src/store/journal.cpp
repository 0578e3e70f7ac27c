#include "store/journal.h"

#include "store/file_io.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QIODevice>

#include <cerrno>

namespace store {

namespace {

constexpr quint32 kMagic = 0x4e4e484a; // "NNHJ"
constexpr quint32 kVersion = 1;

using Action = Journal::Action;

bool holdsContent(const DataDir &dir, const QString &file, bool exists, const QByteArray &bytes)
{
    return stillHolds(dir, file, exists ? stampOf(bytes) : FileStamp{});
}

StoreError changedError(const DataDir &dir, const QString &file)
{
    return StoreError{dir.resolve(file), 0, changedOutsideReason()};
}

// Carries one action out; an action found done already is left alone, so
// that a start can run the whole journal again after a crash anywhere.
MaybeError forward(const DataDir &dir, const Action &a, bool *changed)
{
    switch (a.kind) {
    case Action::Replace: {
        if (holdsContent(dir, a.file, true, a.newBytes))
            return std::nullopt;
        const FileStamp old = a.oldExists ? stampOf(a.oldBytes) : FileStamp{};
        return replaceFileIfUnchanged(dir, a.file, a.to, a.newBytes, old, changed);
    }
    case Action::Rename:
        if (!dir.exists(a.file) && dir.exists(a.to))
            return std::nullopt;
        return renameNoReplace(dir, a.file, a.to);
    case Action::Remove:
        if (!dir.exists(a.file))
            return std::nullopt;
        if (!holdsContent(dir, a.file, true, a.oldBytes)) {
            *changed = true;
            return changedError(dir, a.file);
        }
        return removeFile(dir, a.file);
    }
    return std::nullopt;
}

// Takes one action back, if it was carried out.
MaybeError backward(const DataDir &dir, const Action &a)
{
    switch (a.kind) {
    case Action::Replace:
        if (holdsContent(dir, a.file, a.oldExists, a.oldBytes))
            return std::nullopt;
        if (!holdsContent(dir, a.file, true, a.newBytes))
            return changedError(dir, a.file);
        if (!a.oldExists)
            return removeFile(dir, a.file);
        return replaceFile(dir, a.file, a.to, a.oldBytes);
    case Action::Rename:
        if (dir.exists(a.to) && !dir.exists(a.file))
            return renameNoReplace(dir, a.to, a.file);
        return std::nullopt;
    case Action::Remove:
        if (dir.exists(a.file))
            return std::nullopt;
        return replaceFile(dir, a.file, scratchNameFor(a.file), a.oldBytes);
    }
    return std::nullopt;
}

QByteArray digest(const QByteArray &payload)
{
    return QCryptographicHash::hash(payload, QCryptographicHash::Sha256);
}

} // namespace

Journal::Journal(const QString &step) : step_(step) {}

void Journal::replace(const QString &file, bool oldExists, const QByteArray &oldBytes,
                      const QByteArray &newBytes, const QString &scratch)
{
    actions_.append(Action{Action::Replace, file, scratch, oldExists, oldExists ? oldBytes : QByteArray(),
                           newBytes});
}

void Journal::rename(const QString &from, const QString &to)
{
    actions_.append(Action{Action::Rename, from, to, true, {}, {}});
}

void Journal::remove(const QString &file, const QByteArray &oldBytes)
{
    actions_.append(Action{Action::Remove, file, {}, true, oldBytes, {}});
}

QByteArray Journal::serialise() const
{
    QByteArray payload;
    {
        QDataStream out(&payload, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_6_0);
        out << kMagic << kVersion << step_ << quint32(actions_.size());
        for (const Action &a : actions_)
            out << quint8(a.kind) << a.file << a.to << a.oldExists << a.oldBytes << a.newBytes;
    }
    return payload + digest(payload);
}

bool Journal::parse(const QByteArray &bytes, Journal *out)
{
    const qsizetype n = QCryptographicHash::hashLength(QCryptographicHash::Sha256);
    if (bytes.size() < n)
        return false;
    const QByteArray payload = bytes.left(bytes.size() - n);
    if (digest(payload) != bytes.right(n))
        return false;
    QDataStream in(payload);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0, version = 0, count = 0;
    Journal j{QString()};
    in >> magic >> version >> j.step_ >> count;
    if (magic != kMagic || version != kVersion)
        return false;
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        Action a;
        quint8 kind = 0;
        in >> kind >> a.file >> a.to >> a.oldExists >> a.oldBytes >> a.newBytes;
        if (kind < Action::Replace || kind > Action::Remove)
            return false;
        a.kind = Action::Kind(kind);
        j.actions_.append(a);
    }
    if (in.status() != QDataStream::Ok || !in.atEnd())
        return false;
    *out = j;
    return true;
}

MaybeError Journal::run(const DataDir &dir, bool *changed) const
{
    bool changedHere = false;
    if (!changed)
        changed = &changedHere;
    *changed = false;
    // Before anything is written: every file still as the step read it,
    // every file writable, every new name free.
    for (const Action &a : actions_) {
        if (a.kind == Action::Rename) {
            if (!dir.exists(a.file))
                return StoreError{a.file, 0, reasonForErrno(ENOENT)};
            if (dir.exists(a.to))
                return StoreError{a.to, 0, reasonForErrno(EEXIST)};
        } else if (!holdsContent(dir, a.file, a.oldExists, a.oldBytes)) {
            *changed = true;
            return changedError(dir, a.file);
        }
        if (MaybeError e = checkWritable(dir, a.file))
            return e;
    }

    if (MaybeError e = replaceFile(dir, journalFile(), scratchNameFor(journalFile()), serialise())) {
        // Written but not made durable: nothing has changed yet, so it goes.
        if (dir.exists(journalFile()))
            (void)removeFile(dir, journalFile());
        // The user knows the step's files, not the journal.
        if (!actions_.isEmpty())
            e->file = dir.resolve(actions_.first().file);
        return e;
    }
    for (qsizetype i = 0; i < actions_.size(); ++i) {
        MaybeError e = forward(dir, actions_.at(i), changed);
        if (!e)
            continue;
        // Every file that changed goes back, the failed one too (a replace
        // can fail after its rename, at the directory sync).
        MaybeError back;
        for (qsizetype j = i; j >= 0 && !back; --j)
            back = backward(dir, actions_.at(j));
        if (back)
            return StoreError{e->file, e->line,
                              e->reason + QStringLiteral("。元に戻すこともできませんでした（次の起動で作業を終えます）: ") +
                                  back->message()};
        (void)removeFile(dir, journalFile());
        return e;
    }
    // Done. A journal that could not be removed is harmless: the next
    // start finds every action done and only removes it.
    (void)removeFile(dir, journalFile());
    return std::nullopt;
}

MaybeError finishInterruptedStep(const DataDir &dir, QString *step)
{
    if (step)
        step->clear();
    if (!dir.exists(journalFile()))
        return std::nullopt;
    QByteArray bytes;
    if (MaybeError e = readBytes(dir, journalFile(), &bytes))
        return e;
    Journal j{QString()};
    if (!Journal::parse(bytes, &j))
        return StoreError{journalFile(), 0,
                          QStringLiteral("途中で止まった作業の記録が壊れているため、作業を終えられません")};
    if (step)
        *step = j.step();
    for (const Action &a : j.actions()) {
        bool changed = false;
        if (MaybeError e = forward(dir, a, &changed)) {
            const QString why = changed ? QStringLiteral("止まった後でほかのプログラムに変更されているため、上書きしません")
                                        : e->reason;
            return StoreError{e->file, e->line,
                              QStringLiteral("途中で止まった「%1」を終えられません（%2）。作業の記録「%3」を取り除くと、"
                                             "この作業を終えずに起動します")
                                  .arg(j.step(), why, journalFile())};
        }
    }
    return removeFile(dir, journalFile());
}

} // namespace store
